#include "online/ServiceSettings.h"

#include <cctype>

#include "base/FileRead.h"
#include "base/Numbers.h"
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

std::string HostPortProblem(const std::string& text) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos) return "\"" + text + "\" has no \":PORT\"";
  const std::string host = text.substr(0, colon);
  if (!ParseNumberIn<int>(text.substr(colon + 1), 1, 65535))
    return "the port of \"" + text + "\" is not a number from 1 to 65535";
  const bool bracketed = host.size() > 2 && host.front() == '[' && host.back() == ']';
  const std::string name = bracketed ? host.substr(1, host.size() - 2) : host;
  bool sound = !name.empty() && name.front() != '-' && name.front() != '.';
  for (const char c : name) {
    const bool letterOrDigit = std::isalnum(static_cast<unsigned char>(c)) != 0;
    sound = sound && (letterOrDigit || c == '.' || c == '-' || (bracketed && c == ':'));
  }
  if (!sound) return "\"" + host + "\" is not a host name or address";
  return "";
}

ServiceEndpoints LoadServiceEndpoints(const std::string& programFolder) {
  ServiceEndpoints endpoints =
      EndpointsFor(FirstLineOf(platform::JoinPath(programFolder, kServiceHostFileName)),
                   FirstLineOf(platform::JoinPath(programFolder, kProbeSiteFileName)));
  const std::string support = FirstLineOf(platform::JoinPath(programFolder, kSupportPageFileName));
  if (!support.empty()) endpoints.supportAddress = support;
  return endpoints;
}

SettingsAttempt FetchSettingsOnce(TagTableFetcher& fetcher, const ServiceEndpoints& endpoints,
                                  const ManualResetEvent* stop) {
  SettingsAttempt attempt;
  const FetchResult page = fetcher.Fetch(endpoints.settingsPageAddress, stop);
  attempt.status = page.status;
  attempt.detail = page.detail;
  attempt.loaded = !page.Value(kSettingsKeys[SettingCorvanesUrl]).empty();
  const std::string notFunctioning =
      StringOf(IDS_SERVER_NOT_FUNCTIONING) + " (" + endpoints.supportAddress + ")";
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
      const int probe = fetcher.Fetch(endpoints.probeAddress, stop).status;
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

SettingsFetchResult FetchServiceSettings(TagTableFetcher& fetcher,
                                         const ServiceEndpoints& endpoints,
                                         ISettingsFetchHost& host, const ManualResetEvent& stop,
                                         std::chrono::milliseconds retryDelay) {
  host.SetStatusText(StringOf(IDS_CONNECTING));
  host.Repaint();
  for (;;) {
    const SettingsAttempt attempt = FetchSettingsOnce(fetcher, endpoints, &stop);
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
