// catalogue add / show, stick scan, send: the media pages' catalogues and list files, what a page
// lists from the stick, and one file sent to the stick as the page's batch sends it. The stick is
// a folder presented as the PSP's drive (CliStick.h).
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "app/AppConfig.h"
#include "base/DateText.h"
#include "base/FileRead.h"
#include "cli/Cli.h"
#include "cli/CliStick.h"
#include "media/CatalogueAdd.h"
#include "media/FileList.h"
#include "media/GroupFolders.h"
#include "media/MediaBatch.h"
#include "media/MediaTypes.h"
#include "media/PhotoConvert.h"
#include "media/PspSideScan.h"
#include "psp/StickLayout.h"

namespace pspkvx::cli {
namespace {

struct MediaOptions {
  std::string page;
  std::string list;
  std::vector<std::string> paths;
  std::string stick;
  std::string group;
  std::string file;
  std::string onExists;
  int mode = -1;  // -1: the configured photo copy mode
  bool avc = false;
};

const std::map<std::string, int> kPages = {
    {"video", MediaVideo}, {"music", MediaMusic}, {"photo", MediaPhoto}, {"saves", kScanSavesPage}};

int PageNumber(const std::string& page) {
  return kPages.at(page);
}

CLI::Option* AddPageOption(CLI::App* command, std::string& page, bool withSaves) {
  std::vector<std::string> names = {"video", "music", "photo"};
  if (withSaves) names.emplace_back("saves");
  std::string help = "The page: ";
  for (size_t i = 0; i < names.size(); ++i)
    help += (i ? (i + 1 == names.size() ? " or " : ", ") : "") + names[i];
  return command->add_option("--page", page, help)->required()->check(CLI::IsMember(names));
}

// --group names one folder of the stick's music or photo folder.
void CheckGroup(const std::string& group, int page) {
  if (group.empty()) return;
  if (page != MediaMusic && page != MediaPhoto)
    throw CliError(kExitUsage, "--group is for the music and photo pages");
  if (const std::string problem = StickNameProblem(group); !problem.empty())
    throw CliError(kExitUsage, "--group must be one folder name: \"" + group + "\" " + problem);
}

std::string SizeText(const MediaEntry& entry) {
  return entry.IsFolder() ? "" : FormatSize(static_cast<uint64_t>(entry.size));
}

nlohmann::json EntryJson(const MediaEntry& entry) {
  return {{"name", Latin1ToUtf8(entry.name)},
          {"path", Latin1ToUtf8(entry.path)},
          {"size", entry.size},
          {"modified", entry.modified},
          {"attributes", entry.attributes},
          {"size_text", SizeText(entry)},
          {"date_text", DateTimeText(entry.modified)}};
}

// The list file's entries; a file that is there but cannot be read as a list file is refused.
int LoadList(MediaCatalogue& catalogue, const std::string& path) {
  const int loaded = LoadFileList(catalogue, path);
  catalogue.Sort();
  return loaded;
}

std::string RefusedText(int code, const std::string& path) {
  switch (code) {
    case FileListWrongMagic:
      return path + " is not a PSPKVX list file";
    case FileListNewerVersion:
      return path + " was written by a newer PSPKVX";
    default: {
      const std::string problem = InputFileProblem(path);
      return problem.empty() ? path + " is not a PSPKVX list file" : problem;
    }
  }
}

void CatalogueAdd(const Context& context, const MediaOptions& options) {
  RequireOutputFile(options.list);
  const int kind = PageNumber(options.page);
  MediaCatalogue catalogue;
  if (InputFileProblem(options.list).empty()) {
    // Never overwrite a file this is not the list of.
    const int loaded = LoadFileList(catalogue, options.list);
    if (loaded != FileListLoaded)
      throw CliError(kExitFailed, RefusedText(loaded, options.list) + "; it was left as it is");
  }
  CliMessageHost host(false);
  std::vector<std::string> skipped;
  for (const std::string& path : options.paths) {
    const AddOutcome outcome = AddToCatalogue(catalogue, kind, AbsolutePath(path), &host);
    if (outcome == AddOutcome::Failed)
      throw CliError(kExitFailed, host.Messages("cannot add " + path) + " " + path +
                                      "; the list was left as it is");
    if (outcome == AddOutcome::NotThisType) skipped.push_back(path);
  }
  catalogue.Sort();
  catalogue.SettleNewEntries();
  if (!SaveFileList(catalogue, options.list))
    throw CliError(kExitFailed, "could not write " + options.list);
  for (const std::string& path : skipped)
    std::cerr << "pspkvx-cli: left out " << path << ": not a file of the " << options.page
              << " page\n";
  if (context.json) {
    nlohmann::json left = nlohmann::json::array();
    for (const std::string& path : skipped)
      left.push_back(Latin1ToUtf8(path));
    PrintJson({{"entries", catalogue.Size()}, {"skipped", left}});
  } else {
    std::cout << catalogue.Size() << " entries in " << options.list << "\n";
  }
}

void CatalogueShow(const Context& context, const MediaOptions& options) {
  MediaCatalogue catalogue;
  const int loaded = LoadList(catalogue, options.list);
  if (loaded != FileListLoaded) PrintFailureLine(RefusedText(loaded, options.list));
  const std::vector<MediaEntry> entries = catalogue.Entries();
  if (context.json) {
    nlohmann::json rows = nlohmann::json::array();
    for (const MediaEntry& entry : entries)
      rows.push_back(EntryJson(entry));
    nlohmann::json out = {{"entries", rows}};
    if (loaded != FileListLoaded) out["refused"] = loaded;
    PrintJson(out);
    return;
  }
  for (const MediaEntry& entry : entries)
    std::cout << entry.name << "\t" << SizeText(entry) << "\t" << DateTimeText(entry.modified)
              << "\t" << entry.path << "\n";
}

void StickScan(const Context& context, const MediaOptions& options) {
  const int page = PageNumber(options.page);
  CheckGroup(options.group, page);
  CliStick stick(options.stick, false);
  const std::vector<MediaEntry> rows = ScanPspSide(stick.Files(), page, options.group);
  if (context.json) {
    nlohmann::json out = nlohmann::json::array();
    for (const MediaEntry& row : rows)
      out.push_back({{"name", Latin1ToUtf8(row.name)},
                     {"folder", row.IsFolder()},
                     {"size", row.size},
                     {"size_text", SizeText(row)},
                     {"date_text", DateTimeText(row.modified)}});
    PrintJson({{"rows", out}});
    return;
  }
  for (const MediaEntry& row : rows)
    std::cout << row.name << (row.IsFolder() ? "/" : "") << "\t" << SizeText(row) << "\t"
              << DateTimeText(row.modified) << "\n";
}

// The photo copy mode the photo page would use.
int ConfiguredPhotoMode(const Context& context) {
  const std::string folder = context.ProgramFolder();
  RequireReadableConfig(folder);
  AppConfig config{};
  LoadConfig(config, folder, context.platform.DocumentsFolder());
  return config.PhotoCopyMode >= 0 && config.PhotoCopyMode <= 3 ? config.PhotoCopyMode : 0;
}

void Send(Context& context, const MediaOptions& options) {
  const int page = PageNumber(options.page);
  CheckGroup(options.group, page);
  const int answer = OverwriteAnswer(options.onExists);
  if (const std::string problem = InputFileProblem(options.file); !problem.empty())
    throw CliError(kExitFailed, problem);
  const std::string path = AbsolutePath(options.file);
  const auto entry = EntryOfFile(path);
  if (!entry) throw CliError(kExitFailed, "cannot read " + options.file);
  if (page == MediaVideo && LowerExtension(path) != "mp4")
    throw CliError(kExitFailed, options.file + " is not an MP4 video: it is sent once converted");
  const int mode = page != MediaPhoto  ? 0
                   : options.mode >= 0 ? options.mode
                                       : ConfiguredPhotoMode(context);

  CliStick stick(options.stick, CliMessageHost(MbExistingDestination, answer));
  CliMediaWindow window("", RenamePath(options.onExists));
  const MediaStick media{stick.Platform(), stick.Drive(), stick.Files(), stick.Host(), window};
  const BatchStep step = SendPageEntry(media, page, *entry, options.group, mode, nullptr);
  const bool ok = step.converted ? step.result == PhotoConverted || step.result == PhotoSkipped
                                 : step.result >= 0;
  const std::string message =
      ok ? "" : stick.Host().Messages(step.error.empty() ? "the file was not sent" : step.error);
  if (context.json) {
    nlohmann::json out = {{"result", step.result},
                          {"destination", PathOrNull(step.destination)},
                          {"thumbnail", PathOrNull(step.thumbnail)}};
    if (!ok) out["message"] = message;
    PrintJson(out);
  } else if (ok) {
    const bool kept = step.result != 0;
    std::cout << (kept ? "kept " : "sent to ") << AbsolutePath(step.destination)
              << (kept ? " (--on-exists overwrite replaces it)" : "") << "\n";
  }
  if (!ok) {
    PrintFailureLine(message);
    context.exitCode = kExitFailed;
  }
}

}  // namespace

void RegisterMediaCommands(CLI::App& app, Context& context) {
  static MediaOptions options;
  auto* catalogue = app.add_subcommand("catalogue", "The media pages' lists of files on the PC");
  catalogue->require_subcommand(1);

  auto* add = catalogue->add_subcommand(
      "add", "Add files and folders to a list file as the page's add button does");
  AddPageOption(add, options.page, false);
  add->add_option("--list", options.list, "The list file (made when it is not there)")->required();
  add->add_option("PATH", options.paths, "Files, and folders with everything below them")
      ->required();
  AddJsonFlag(add, context);
  add->callback([&context] { CatalogueAdd(context, options); });

  auto* show =
      catalogue->add_subcommand("show", "Show a list file's entries as the page lists them");
  show->add_option("--list", options.list, "The list file")->required();
  AddJsonFlag(show, context);
  show->callback([&context] { CatalogueShow(context, options); });

  auto* stick = app.add_subcommand("stick", "What the pages list from a memory stick");
  stick->require_subcommand(1);
  auto* scan = stick->add_subcommand("scan", "List a page's files on the stick");
  AddPageOption(scan, options.page, true);
  scan->add_option("--stick", options.stick, "The stick's root folder")->required();
  scan->add_option("--group", options.group, "The open group folder (music and photo pages)");
  AddJsonFlag(scan, context);
  scan->callback([&context] { StickScan(context, options); });

  auto* send = app.add_subcommand("send", "Send one file to the stick as the page's batch does");
  send->add_option("FILE", options.file, "The file to send")->required();
  AddPageOption(send, options.page, false);
  send->add_option("--stick", options.stick, "The stick's root folder")->required();
  send->add_option("--group", options.group, "The group folder to send into (music and photos)");
  send->add_option("--mode", options.mode,
                   "Photos: the copy mode, 0 as it is (JPEG files), 1 fit inside 480x272, 2 "
                   "stretch to 480x272, 3 cover 480x272 and cut the centre (default: PSPKVX's "
                   "setting)")
      ->check(CLI::Range(0, 3));
  send->add_flag("--avc", options.avc,
                 "Videos: AVC encoding (an MP4's own header decides for an MP4 file)");
  AddOnExistsOption(send, options.onExists, "the file");
  AddJsonFlag(send, context);
  send->callback([&context] { Send(context, options); });
}

}  // namespace pspkvx::cli
