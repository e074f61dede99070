#include <cstdlib>

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

}  // namespace

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
