// The endpoints of the reference saves service on a cpp-httplib server: the settings page and
// everything its keys point to, in the reply forms the client reads.
#pragma once

#include <httplib.h>

#include <functional>
#include <string>

#include "service/ServiceDatabase.h"

namespace pspkvx::service {

// Paths of the endpoints (the settings page path is the client's own).
inline constexpr char kIndexPath[] = "/alphakavex.asp";
inline constexpr char kGamesPath[] = "/corvanes.asp";
inline constexpr char kCommunityGamesPath[] = "/community.asp";
inline constexpr char kSavesPath[] = "/saves.asp";
inline constexpr char kCommunitySavesPath[] = "/community_saves.asp";
inline constexpr char kUserSavesPath[] = "/usersaves.asp";
inline constexpr char kDescriptionPath[] = "/savedesc.asp";
inline constexpr char kDownloadPath[] = "/download.asp";
inline constexpr char kTreePath[] = "/tree.asp";
inline constexpr char kPicturePrefix[] = "/png/";
inline constexpr char kReleasePrefix[] = "/release/";
// Appended to a release's address: its signature.
inline constexpr char kSignatureSuffix[] = ".sig";

// Longest query value the service takes; anything longer is answered with 400.
inline constexpr size_t kMaxQueryValue = 256;

// One line per request goes to log.
using RequestLog = std::function<void(const std::string& line)>;

// The log line of one answered request.
std::string RequestLogLine(const httplib::Request& request, const httplib::Response& response);

// Registers every endpoint, the checks that answer hostile queries with 400, the handler that
// turns an internal failure into a 500 (the server keeps serving), and the request log.
void InstallRoutes(httplib::Server& server, ServiceDatabase& database, const RequestLog& log);

}  // namespace pspkvx::service
