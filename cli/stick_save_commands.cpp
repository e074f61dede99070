// saves list / saves backup / save install / save delete: the game saves on a memory stick
// (CliStick.h).
#include <filesystem>
#include <iostream>
#include <iterator>
#include <vector>

#include "base/LittleEndian.h"
#include "cli/Cli.h"
#include "cli/CliStick.h"
#include "saves/SaveBackup.h"
#include "saves/SaveDiscovery.h"
#include "saves/SaveInstall.h"
#include "saves/SaveList.h"
#include "saves/SaveRemoval.h"
#include "saves/SaveStick.h"

namespace pspkvx::cli {
namespace {

struct StickOptions {
  std::string stick;
  std::string file;
  std::string folder;
  std::vector<std::string> folders;
  std::string output;
  bool force = false;
  bool yes = false;
  bool no = false;
};

SaveStick StickOf(CliStick& stick) {
  return {stick.Platform(), stick.Drive(), stick.Files(), stick.Host()};
}

// The file as a received container buffer: its 32-bit length, then its bytes.
std::vector<uint8_t> ReadContainerBuffer(const std::string& path) {
  std::vector<uint8_t> bytes = ReadInputFile(path);
  if (bytes.size() > UINT32_MAX) throw CliError(kExitFailed, "too large for a save: " + path);
  PrependLe32Length(bytes);
  return bytes;
}

void ListSaves(const Context& context, const StickOptions& options) {
  CliStick stick(options.stick, false);
  const std::vector<SaveRow> rows =
      BuildSaveRows(stick.Platform(), stick.Drive(), ScanSaves(stick.Platform(), stick.Drive()));
  if (context.json) {
    nlohmann::json saves = nlohmann::json::array();
    for (const SaveRow& row : rows)
      saves.push_back({{"title", Latin1ToUtf8(row.title)},
                       {"folder", Latin1ToUtf8(row.folder)},
                       {"date", row.date},
                       {"size", row.size},
                       {"bytes", row.bytes},
                       {"icon", Latin1ToUtf8(row.icon)}});
    PrintJson({{"saves", saves}});
    return;
  }
  if (rows.empty()) std::cout << EmptySaveListText(stick.Drive()) << "\n";
  for (const SaveRow& row : rows)
    std::cout << row.folder << "\t" << row.title << "\t" << row.date << "\t" << row.size << "\n";
}

void Install(const Context& context, const StickOptions& options) {
  std::vector<uint8_t> buffer = ReadContainerBuffer(options.file);
  CliStick stick(options.stick, options.yes);
  SaveInstallReport report;
  const int result = InstallSave(StickOf(stick), buffer, true, &report);
  if (result != 0) throw CliError(kExitFailed, stick.Host().Messages("the save was not installed"));
  if (context.json) {
    PrintJson({{"folder", Latin1ToUtf8(report.folder)},
               {"title", report.title},
               {"installed", report.installed},
               {"replaced", report.replaced}});
    return;
  }
  if (report.installed)
    std::cout << (report.replaced ? "replaced " : "installed ") << report.folder << "\n";
  else
    std::cout << "kept the save already in " << report.folder << " (--yes overwrites it)\n";
}

void Delete(const Context& context, const StickOptions& options) {
  if (!IsSaveFolderName(options.folder))
    throw CliError(kExitUsage, "FOLDER must be the name of a save folder: " + options.folder);
  CliStick stick(options.stick, false);
  const std::string path = SaveFolderPath(stick.Drive(), options.folder);
  const auto status = stick.Platform().QueryPath(path);
  if (!status || status->kind != platform::PathKind::Folder)
    throw CliError(kExitFailed, "there is no save " + options.folder + " on the stick");
  if (DeleteTree(StickOf(stick), path) != 0)
    throw CliError(kExitFailed, stick.Host().Messages("the save was not deleted"));
  if (context.json)
    PrintJson({{"deleted", Latin1ToUtf8(options.folder)}});
  else
    std::cout << "deleted " << options.folder << "\n";
}

void Backup(const Context& context, const StickOptions& options) {
  for (const std::string& folder : options.folders)
    if (!IsSaveFolderName(folder))
      throw CliError(kExitUsage, "FOLDER must be the name of a save folder: " + folder);
  CliStick stick(options.stick, false);
  RequireFolder(options.output, true);
  std::error_code made;
  std::filesystem::create_directories(options.output, made);
  if (made)
    throw CliError(kExitFailed,
                   "could not make the folder " + options.output + ": " + made.message());
  nlohmann::json files = nlohmann::json::array();
  for (const std::string& folder : options.folders) {
    const SaveBackupResult result =
        BackupSave(stick.Platform(), stick.Drive(), folder, options.output, options.force);
    if (!result.ok())
      throw CliError(kExitFailed,
                     result.exists ? result.error + " (--force replaces it)" : result.error);
    files.push_back(Latin1ToUtf8(AbsolutePath(result.path)));
    if (!context.json) std::cout << "wrote " << AbsolutePath(result.path) << "\n";
  }
  if (context.json) PrintJson({{"files", files}});
}

}  // namespace

void RegisterStickSaveCommands(CLI::App& app, Context& context) {
  static StickOptions options;
  auto* saves = app.add_subcommand("saves", "The game saves on a memory stick");
  saves->require_subcommand(1);
  auto* list = saves->add_subcommand("list", "List the saves on the stick as PSPKVX shows them");
  list->add_option("--stick", options.stick, "The stick's root folder")->required();
  AddJsonFlag(list, context);
  list->callback([&context] { ListSaves(context, options); });

  auto* backup = saves->add_subcommand(
      "backup", "Write saves of the stick as save files (FOLDER.pspsave) into a folder on the PC");
  backup->add_option("FOLDER", options.folders, "The saves' folder names")->required();
  backup->add_option("--stick", options.stick, "The stick's root folder")->required();
  backup
      ->add_option("-o,--output", options.output,
                   "The folder the files go into (made when missing)")
      ->required();
  backup->add_flag("--force", options.force, "Replace save files that are already there");
  AddJsonFlag(backup, context);
  backup->callback([&context] { Backup(context, options); });

  // "save" is made by RegisterSaveCommands; install and delete join it.
  auto* save = app.get_subcommand("save");
  auto* install = save->add_subcommand("install", "Install a save container onto the stick");
  install->add_option("FILE", options.file, "The container file")->required();
  install->add_option("--stick", options.stick, "The stick's root folder")->required();
  auto* yes = install->add_flag("--yes", options.yes, "Overwrite a save that is already there");
  auto* no = install->add_flag("--no", options.no, "Keep a save that is already there");
  yes->excludes(no);
  AddJsonFlag(install, context);
  install->callback([&context] { Install(context, options); });

  auto* remove = save->add_subcommand("delete", "Delete a save folder from the stick");
  remove->add_option("FOLDER", options.folder, "The save's folder name")->required();
  remove->add_option("--stick", options.stick, "The stick's root folder")->required();
  AddJsonFlag(remove, context);
  remove->callback([&context] { Delete(context, options); });
}

}  // namespace pspkvx::cli
