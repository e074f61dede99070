#include "update/LatestVersion.h"

#include "base/StringTable.h"
#include "online/ServiceTags.h"

namespace pspkvx {
namespace {

std::string VersionUrl(const TagTable& tags) {
  std::string value;
  tags.LookupTag(kSettingsKeys[SettingVersionUrl], value);
  return value;
}

}  // namespace

LatestRelease FetchLatestVersion(const ReleaseLookup& lookup, IMessageBoxHost* boxes,
                                 const ManualResetEvent* stop) {
  LatestRelease latest;
  latest.address = VersionUrl(lookup.tags);
  if (latest.address.empty()) {
    lookup.fetcher.WaitWhileBusy();
    FetchSettingsOnce(lookup.fetcher, lookup.endpoints, stop);
    lookup.fetcher.WaitWhileBusy();
    latest.address = VersionUrl(lookup.tags);
  }
  if (stop && stop->IsSet()) return {};
  if (latest.address.empty()) {
    if (boxes) ShowMessage(*boxes, StringOf(IDS_UPDATE_LOOKUP_FAILED));
    return latest;
  }
  latest.release = ParseVersionUrl(latest.address);
  return latest;
}

int KnownLatestVersion(const TagTable& tags) {
  const std::string value = VersionUrl(tags);
  return value.empty() ? 0 : ParseVersionUrl(value).version;
}

}  // namespace pspkvx
