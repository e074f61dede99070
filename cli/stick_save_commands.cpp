// saves list / save install / save delete: the game saves on a memory stick. The stick is a
// folder presented as the PSP's drive (the simulated PSP on letter P), so the detection, the
// paths and the writes are PSPKVX's own.
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <memory>
#include <vector>

#include "app/AppConfig.h"
#include "base/LittleEndian.h"
#include "base/StringTable.h"
#include "cli/Cli.h"
#include "platform/SimulatedPsp.h"
#include "psp/PspDrive.h"
#include "psp/PspStick.h"
#include "saves/SaveDiscovery.h"
#include "saves/SaveInstall.h"
#include "saves/SaveList.h"
#include "saves/SaveRemoval.h"

namespace pspkvx::cli {
namespace {

struct StickOptions {
  std::string stick;
  std::string file;
  std::string folder;
  bool yes = false;
  bool no = false;
};

// Messages go to stderr (when the command fails); a question is answered as the flags say.
class CliMessageHost final : public IMessageBoxHost {
 public:
  explicit CliMessageHost(bool answerYes) : answerYes_(answerYes) {}
  int ShowMessageBox(const MessageBoxRequest& request) override {
    if (request.type == MbYesNo) return answerYes_ ? ResultYes : ResultNo;
    messages_ += (messages_.empty() ? "" : " ") + request.text;
    return ButtonSetForType(request.type).results[0];
  }
  void SetMessageShowing(bool) override {}
  // Every message shown, or the fallback when there was none.
  std::string Messages(const std::string& fallback) const {
    return messages_.empty() ? fallback : messages_;
  }

 private:
  bool answerYes_;
  std::string messages_;
};

// The stick's root as given: a missing folder is an unplugged PSP, but a file or a pipe is a
// mistake to name, not a PSP.
const std::string& StickRoot(const std::string& root) {
  RequireFolder(root, true);
  return root;
}

// The stick folder as the PSP's drive, found by one detection with the letter fixed on P.
class CliStick {
 public:
  CliStick(const std::string& root, bool answerYes)
      : platform_(platform::WithSimulatedPsp(platform::CreateSystemPlatform(), StickRoot(root),
                                             platform::SimulatedCapacityFromText(std::getenv(
                                                 platform::kSimulatedCapacityVariable)))),
        host_(answerYes) {
    config_.SearchForPsp = 0;
    config_.PspDriveLetter = platform::kSimulatedPspLetter;
    drive_ = std::make_unique<CPspDrive>(*platform_, config_, platform_->OsFamily());
    files_ = std::make_unique<PspStick>(*platform_, *drive_);
    drive_->Poll();
    if (!drive_->IsReady()) throw CliError(kExitFailed, StringOf(IDS_NO_PSP_DETECTED));
  }

  platform::Platform& Platform() { return *platform_; }
  CPspDrive& Drive() { return *drive_; }
  CliMessageHost& Host() { return host_; }
  SaveStick Stick() { return {*platform_, *drive_, *files_, host_}; }

 private:
  std::unique_ptr<platform::Platform> platform_;
  AppConfig config_{};
  std::unique_ptr<CPspDrive> drive_;
  std::unique_ptr<PspStick> files_;
  CliMessageHost host_;
};

// The file as a received container buffer: its 32-bit length, then its bytes.
std::vector<uint8_t> ReadContainerBuffer(const std::string& path) {
  std::vector<uint8_t> bytes = ReadInputFile(path);
  if (bytes.size() > UINT32_MAX) throw CliError(kExitFailed, "too large for a save: " + path);
  uint8_t length[4];
  WriteLe32(length, static_cast<uint32_t>(bytes.size()));
  bytes.insert(bytes.begin(), std::begin(length), std::end(length));
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
  const int result = InstallSave(stick.Stick(), buffer, true, &report);
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
  if (DeleteTree(stick.Stick(), path) != 0)
    throw CliError(kExitFailed, stick.Host().Messages("the save was not deleted"));
  if (context.json)
    PrintJson({{"deleted", Latin1ToUtf8(options.folder)}});
  else
    std::cout << "deleted " << options.folder << "\n";
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
