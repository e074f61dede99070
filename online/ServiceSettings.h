// The online service's settings page: where it is, and how the online worker fetches it into the
// TagTable (through its fetcher) with its status texts and its one-second retries. GUI-free: the
// worker hands in what shows the texts.
#pragma once

#include <chrono>
#include <string>

#include "base/ManualResetEvent.h"
#include "base/StringTable.h"
#include "online/TagTableFetcher.h"

namespace pspkvx {

inline constexpr char kSettingsPagePath[] = "/tolvexPSP_settings.asp";
inline constexpr char kDefaultServiceHost[] = "127.0.0.1:8377";
// The public site the connectivity probe asks when the service cannot be reached: any site
// whose home page is not in the service's reply format.
inline constexpr char kDefaultProbeAddress[] = "http://www.example.com/";
// Deployment settings, one line each, in the program folder.
inline constexpr char kServiceHostFileName[] = "service.host";
inline constexpr char kProbeSiteFileName[] = "service.probe";
inline constexpr char kSupportPageFileName[] = "service.support";

// Built once at start-up; constant afterwards.
struct ServiceEndpoints {
  std::string serviceBase;          // "http://HOST:PORT"
  std::string settingsPageAddress;  // serviceBase + kSettingsPagePath
  std::string probeAddress;
  // The maker's support page, named by the About box and the texts that point to it.
  std::string supportAddress = kSupportAddress;
};

// host is "HOST:PORT", or a whole "http://..." or "https://..." base address.
ServiceEndpoints EndpointsFor(const std::string& host,
                              const std::string& probeAddress = kDefaultProbeAddress);
// Why text is not a "HOST:PORT" of the service, or empty when it is: a host name or IPv4
// address (letters, digits, "." and "-"), or an IPv6 address in brackets, then ":" and a port
// from 1 to 65535.
std::string HostPortProblem(const std::string& text);

// Reads "service.host", "service.probe" and "service.support" from the program folder (their
// first line, white space trimmed); a missing or empty file gives the compiled default.
ServiceEndpoints LoadServiceEndpoints(const std::string& programFolder);

// One attempt of the fetch: the settings page, and when it could not be reached the
// connectivity probe; by the final status the status text to show (0: leave the text as it
// is). A set stop event ends a running request early.
struct SettingsAttempt {
  int status = FetchIdle;
  FetchDetail detail;  // of the settings page's request
  int textId = 0;
  std::string text;     // the text of textId, with the support address where it belongs
  bool loaded = false;  // CORVANES_URL has a value
};
SettingsAttempt FetchSettingsOnce(TagTableFetcher& fetcher, const ServiceEndpoints& endpoints,
                                  const ManualResetEvent* stop = nullptr);

// What the online worker shows the fetch through.
class ISettingsFetchHost {
 public:
  virtual ~ISettingsFetchHost() = default;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void Repaint() {}
  // False once the user has left the online page.
  virtual bool OnOnlinePage() = 0;
  // Runs once the settings are there, before the game-list text is shown (the newer-version
  // notice goes here).
  virtual void SettingsLoaded() {}
};

enum class SettingsFetchResult { Loaded, Stopped, LeftPage };

// Shows "Connecting...", fetches until CORVANES_URL has a value, retrying after retryDelay
// while the user stays on the online page, then shows "Receiving game list...".
SettingsFetchResult FetchServiceSettings(
    TagTableFetcher& fetcher, const ServiceEndpoints& endpoints, ISettingsFetchHost& host,
    const ManualResetEvent& stop, std::chrono::milliseconds retryDelay = std::chrono::seconds(1));

}  // namespace pspkvx
