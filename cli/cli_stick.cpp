#include <cstdlib>
#include <filesystem>

#include "base/StringTable.h"
#include "cli/Cli.h"
#include "cli/CliStick.h"
#include "platform/SimulatedPsp.h"

namespace pspkvx::cli {
namespace {

// The stick's root as given: a missing folder is an unplugged PSP, but a file or a pipe is a
// mistake to name, not a PSP.
const std::string& StickRoot(const std::string& root) {
  RequireFolder(root, true);
  return root;
}

constexpr char kRenamePrefix[] = "rename:";

}  // namespace

void AddOnExistsOption(CLI::App* command, std::string& onExists, const std::string& what) {
  onExists = "skip";
  command->add_option("--on-exists", onExists,
                      "When " + what +
                          " is already there: overwrite, skip (the default) or "
                          "rename:PATH");
}

int OverwriteAnswer(const std::string& onExists) {
  if (onExists == "overwrite") return ResultYes;
  if (onExists == "skip") return ResultCancel;
  if (!RenamePath(onExists).empty()) return ResultNo;
  throw CliError(kExitUsage,
                 "--on-exists must be overwrite, skip or rename:PATH, not \"" + onExists + "\"");
}

std::string RenamePath(const std::string& onExists) {
  return onExists.rfind(kRenamePrefix, 0) == 0 ? onExists.substr(sizeof kRenamePrefix - 1) : "";
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

nlohmann::json PathOrNull(const std::string& path) {
  return path.empty() ? nlohmann::json(nullptr) : nlohmann::json(Latin1ToUtf8(AbsolutePath(path)));
}

int CliMessageHost::ShowMessageBox(const MessageBoxRequest& request) {
  if (request.type == questionType_) return answer_;
  messages_ += (messages_.empty() ? "" : " ") + request.text;
  return ButtonSetForType(request.type).results[0];
}

CliStick::CliStick(const std::string& root, CliMessageHost host)
    : platform_(platform::WithSimulatedPsp(
          platform::CreateSystemPlatform(), StickRoot(root),
          platform::SimulatedCapacityFromText(std::getenv(platform::kSimulatedCapacityVariable)))),
      host_(std::move(host)) {
  config_.SearchForPsp = 0;
  config_.PspDriveLetter = platform::kSimulatedPspLetter;
  drive_ = std::make_unique<CPspDrive>(*platform_, config_, platform_->OsFamily());
  files_ = std::make_unique<PspStick>(*platform_, *drive_);
  drive_->Poll();
  if (!drive_->IsReady()) throw CliError(kExitFailed, StringOf(IDS_NO_PSP_DETECTED));
}

}  // namespace pspkvx::cli
