#include "online/ServiceSettings.h"

#include "base/FileRead.h"
#include "base/StringTable.h"
#include "online/HttpTransport.h"
#include "online/ServiceTags.h"
#include "platform/Platform.h"

namespace pspkvx {
namespace {

std::string Trimmed(const std::string& text) {
  const char* white = " \t\r\n\f\v";
  const size_t first = text.find_first_not_of(white);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(white) - first + 1);
}

// The first line of a small deployment file, trimmed; empty when there is none.
std::string FirstLineOf(const std::string& path) {
  constexpr uint64_t kMaxSettingBytes = 64 * 1024;
  const WholeFile file = ReadWholeFile(path, kMaxSettingBytes);
  if (!file.ok()) return "";
  const std::string text(file.bytes.begin(), file.bytes.end());
  return Trimmed(text.substr(0, text.find('\n')));
}

// One request under the callers' protocol; the lock is held by the caller.
int RequestAndWait(TagTable& table, const std::string& address) {
  table.WaitWhileBusy();
  table.RequestUrl(address);
  table.WaitWhileBusy();
  return table.RequestStatus();
}

}  // namespace

ServiceEndpoints EndpointsFor(const std::string& host, const std::string& probeAddress) {
  ServiceEndpoints endpoints;
  std::string base = Trimmed(host).empty() ? kDefaultServiceHost : Trimmed(host);
  if (!IsHttpAddress(base)) base = "http://" + base;
  while (base.size() > 8 && base.back() == '/')
    base.pop_back();
  endpoints.serviceBase = base;
  endpoints.settingsPageAddress = base + kSettingsPagePath;
  endpoints.probeAddress =
      Trimmed(probeAddress).empty() ? kDefaultProbeAddress : Trimmed(probeAddress);
  return endpoints;
}

ServiceEndpoints LoadServiceEndpoints(const std::string& programFolder) {
  return EndpointsFor(FirstLineOf(platform::JoinPath(programFolder, kServiceHostFileName)),
                      FirstLineOf(platform::JoinPath(programFolder, kProbeSiteFileName)));
}

SettingsAttempt FetchSettingsOnce(TagTable& table, const ServiceEndpoints& endpoints) {
  SettingsAttempt attempt;
  std::lock_guard<std::mutex> lock(table.CallerLock());
  attempt.status = RequestAndWait(table, endpoints.settingsPageAddress);
  std::string corvanes;
  table.LookupTag(kSettingsKeys[SettingCorvanesUrl], corvanes);
  attempt.loaded = !corvanes.empty();
  const std::string notFunctioning =
      StringOf(IDS_SERVER_NOT_FUNCTIONING) + " (" + kSupportAddress + ")";
  switch (attempt.status) {
    case FetchOk:
      break;
    case FetchOpenFailed:
      attempt.textId = IDS_SERVER_NOT_FUNCTIONING;
      attempt.text = notFunctioning;
      break;
    case FetchException: {
      // Is it the service or the connection? A public site that answers (with a page that is
      // not in the service's format) means the connection works.
      const int probe = RequestAndWait(table, endpoints.probeAddress);
      attempt.textId =
          probe == FetchParseFailed ? IDS_SERVER_NOT_FUNCTIONING : IDS_CANNOT_READ_SERVER;
      attempt.text = probe == FetchParseFailed ? notFunctioning : StringOf(IDS_CANNOT_READ_SERVER);
      break;
    }
    case FetchStopped:
      attempt.textId = IDS_CANNOT_READ_SERVER;
      attempt.text = StringOf(IDS_CANNOT_READ_SERVER);
      break;
    default:
      if (!attempt.loaded) {
        attempt.textId = IDS_CONNECTION_PROBLEM;
        attempt.text = StringOf(IDS_CONNECTION_PROBLEM);
      }
  }
  return attempt;
}

SettingsFetchResult FetchServiceSettings(TagTable& table, const ServiceEndpoints& endpoints,
                                         ISettingsFetchHost& host, const ManualResetEvent& stop,
                                         std::chrono::milliseconds retryDelay) {
  host.SetStatusText(StringOf(IDS_CONNECTING));
  host.Repaint();
  for (;;) {
    const SettingsAttempt attempt = FetchSettingsOnce(table, endpoints);
    if (attempt.textId != 0) host.SetStatusText(attempt.text);
    host.Repaint();
    if (stop.IsSet()) return SettingsFetchResult::Stopped;
    if (attempt.loaded) break;
    if (!host.OnOnlinePage()) return SettingsFetchResult::LeftPage;
    if (stop.WaitFor(retryDelay)) return SettingsFetchResult::Stopped;
  }
  host.SettingsLoaded();
  host.SetStatusText(StringOf(IDS_RECEIVING_GAME_LIST));
  host.Repaint();
  return SettingsFetchResult::Loaded;
}

}  // namespace pspkvx
