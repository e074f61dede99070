#include "ui/OptionsModel.h"

#include <atomic>

#include "app/AppConfig.h"
#include "base/ProgramEnvironment.h"
#include "base/StringFormat.h"
#include "base/StringTable.h"

namespace pspkvx {
namespace {

constexpr char kFirstLetter = 'D';
constexpr char kLastLetter = 'Z';
constexpr int kLetterCount = kLastLetter - kFirstLetter + 1;
constexpr int kAllRegions = 3;

}  // namespace

OptionsModel::OptionsModel(AppConfig& config)
    : config_(config),
      fixedDrive_(std::atomic_ref<int32_t>(config.SearchForPsp).load() == 0),
      checkAtStart_(config.NoUpdateCheckAtStart == 0),
      region_(kAllRegions) {
  config_.OnlineRegion = region_;
}

char OptionsModel::DriveLetter() const {
  return std::atomic_ref<char>(config_.PspDriveLetter).load();
}

void OptionsModel::Spin(int steps) {
  const char letter = DriveLetter();
  const int index = letter >= kFirstLetter && letter <= kLastLetter ? letter - kFirstLetter : 0;
  const int moved = ((index + steps % kLetterCount) % kLetterCount + kLetterCount) % kLetterCount;
  std::atomic_ref<char>(config_.PspDriveLetter).store(static_cast<char>(kFirstLetter + moved));
}

std::string OptionsModel::VersionText() const {
  return FormatString(IDS_CURRENT_VERSION, {ProgramVersion() / 100.0});
}

OptionsOutcome OptionsModel::Accept(const std::string& programFolder) {
  config_.OnlineRegion = region_;
  std::atomic_ref<int32_t>(config_.SearchForPsp).store(fixedDrive_ ? 0 : 1);
  config_.NoUpdateCheckAtStart = checkAtStart_ ? 0 : 1;
  saved_ = SaveConfig(config_, programFolder);
  return OptionsOutcome::Accepted;
}

}  // namespace pspkvx
