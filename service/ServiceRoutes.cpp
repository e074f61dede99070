#include "service/ServiceRoutes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <string_view>

#include "base/Names.h"
#include "base/Numbers.h"
#include "online/ServiceSettings.h"
#include "online/ServiceTags.h"
#include "service/ServiceWorkers.h"
#include "service/XmlReply.h"

namespace pspkvx::service {
namespace {

constexpr char kXmlType[] = "text/xml";
constexpr char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

// A query the service refuses: answered with 400 and the reason.
struct BadQuery : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The address the client reached the service under, from the Host header; other endpoint
// addresses are built on it so that they work on whatever name and port the client used.
bool HostIsSound(const std::string& host) {
  if (host.empty() || host.size() > 255) return false;
  for (unsigned char c : host)
    if (!std::isalnum(c) && c != '.' && c != '-' && c != ':' && c != '[' && c != ']') return false;
  return true;
}

std::string BaseOf(const httplib::Request& request) {
  std::string host = request.get_header_value("Host");
  if (host.empty()) host = "127.0.0.1:" + std::to_string(request.local_port);
  return "http://" + host;
}

// An integer query value in [low, high]; fallback when it is absent and not required.
int64_t IntParam(const httplib::Request& request, const char* name, int64_t low, int64_t high,
                 bool required = true, int64_t fallback = 0) {
  if (!request.has_param(name)) {
    if (required) throw BadQuery(std::string("missing ") + name);
    return fallback;
  }
  const auto value = ParseNumber<int64_t>(request.get_param_value(name));
  if (!value) throw BadQuery(std::string("bad ") + name);
  if (*value < low || *value > high) throw BadQuery(std::string(name) + " out of range");
  return *value;
}

int RegionParam(const httplib::Request& request) {
  return static_cast<int>(IntParam(request, "region_id", 0, 3));
}

// The cache-defeating counters the client appends carry no meaning, but must be numbers.
void CheckCounters(const httplib::Request& request) {
  IntParam(request, "rnd", -2147483648LL, 4294967295LL, false);
  IntParam(request, "random", -2147483648LL, 4294967295LL, false);
}

char InitialParam(const httplib::Request& request) {
  const std::string az = request.get_param_value("az");
  if (az.size() != 1 || !std::isalnum(static_cast<unsigned char>(az[0])))
    throw BadQuery("az must be one letter or digit");
  return static_cast<char>(std::toupper(static_cast<unsigned char>(az[0])));
}

// The file name at the end of a path (a picture, a release): one bare name, as the one rule for
// names from outside has it.
std::string BareNameParam(const std::string& name) {
  if (auto problem = BareNameProblem(name); !problem.empty()) throw BadQuery("the name " + problem);
  return name;
}

void Reply(httplib::Response& response, const XmlReply& reply) {
  response.set_content(reply.Finish(), kXmlType);
}

std::string PictureAddress(const std::string& base, const std::string& picture) {
  return picture.empty() ? std::string() : base + kPicturePrefix + picture;
}

std::string RatingText(double rating) {
  char text[16];
  std::snprintf(text, sizeof text, "%.0f", std::round(rating));
  return text;
}

// The fields of a save the saves lists carry.
void SaveFields(XmlReply& reply, const std::string& base, const SaveRow& save, bool withGame) {
  reply.Element("name", save.name);
  reply.Element("description", save.description.empty() ? "unused" : save.description);
  reply.Element("url", base + kDescriptionPath + "?save_id=" + std::to_string(save.id));
  reply.Element("png", PictureAddress(base, save.picture));
  reply.Element("game_title_id", save.gameTitleId);
  reply.Element("save_id", save.id);
  reply.Element("author", save.author);
  reply.Element("posted", save.posted);
  reply.Element("save_filesize", save.size);
  reply.Element("rating", RatingText(save.rating));
  reply.Element("votes", save.votes);
  if (withGame) {
    reply.Element("game_name", save.gameName);
    reply.Element("code_title_id", save.codeTitleId);
  }
}

// A game as the games lists carry it; its url is listAddress with the game's id.
void GameFolder(XmlReply& reply, const std::string& base, const GameRow& game,
                const std::string& listAddress) {
  reply.Open("folder");
  reply.Element("name", game.name);
  reply.Element("url", listAddress + "?game_id=" + std::to_string(game.id));
  reply.Element("png", PictureAddress(base, game.picture));
  reply.Element("game_title_id", game.titleId);
  reply.Element("released", game.released);
  reply.Close("folder");
}

std::string DownloadAddress(const std::string& base, int64_t saveId) {
  return base + kDownloadPath + "?save_id=" + std::to_string(saveId);
}

// ---- Endpoints ----

void SettingsPage(ServiceDatabase& db, const httplib::Request& request,
                  httplib::Response& response) {
  const std::string base = BaseOf(request);
  std::string version;
  if (const auto release = db.LatestRelease()) version = base + kReleasePrefix + release->fileName;
  // Every key the client registers, in its order; the values are this service's addresses.
  std::array<std::string, kSettingsKeyCount> values;
  values[SettingSavesUrl] = base + kTreePath + "?";
  values[SettingUploadUrl] = base + "/upload.asp?";
  values[SettingVersionUrl] = version;
  values[SettingPspTsVersionUrl] = version;
  values[SettingCorvanesUrl] = base + kGamesPath + "?";
  values[SettingCorvanesTsUrl] = base + kGamesPath + "?";
  values[SettingCommunityUrl] = base + kCommunityGamesPath + "?";
  values[SettingCommunityUserUrl] = base + kUserSavesPath + "?";
  values[SettingCommunityUserGameUrl] = base + kUserSavesPath + "?";
  values[SettingRegistrationUrl] = base + "/register.asp?";
  values[SettingDeleteSaveUrl] = base + "/delete.asp?";
  values[SettingPngUrl] = base + kPicturePrefix;
  values[SettingRatingsUrl] = base + "/rate.asp?";
  values[SettingResult] = "OK";
  values[SettingCheckUserUrl] = base + "/checkuser.asp?";
  values[SettingNumGamesListUrl] = base + "/numgames.asp?";
  values[SettingAlphaKavexUrl] = base + kIndexPath + "?";
  XmlReply reply;
  reply.Comment("PSPKVX reference saves service");
  for (size_t key = 0; key < kSettingsKeyCount; ++key)
    reply.Key(kSettingsKeys[key], values[key]);
  reply.Key("CODELIST_URL", base + "/codelist.asp?");
  response.set_content(kXmlDeclaration + reply.Finish(), "text/plain");
}

void LetterIndex(ServiceDatabase& db, const httplib::Request& request,
                 httplib::Response& response) {
  const int region = RegionParam(request);
  const int section =
      IntParam(request, "corvane", 0, 1, false, 1) == 1 ? kSectionOfficial : kSectionCommunity;
  CheckCounters(request);
  const auto counts = db.CountGamesByInitial(region, section);
  XmlReply reply;
  // Every initial, zeros included: the client keeps a block's value until a reply sets it.
  for (size_t i = 0; i < counts.size(); ++i)
    reply.Element(LetterBlockTag(kIndexInitials[i]).substr(1, 6), counts[i]);
  Reply(response, reply);
}

void GamesList(ServiceDatabase& db, int section, const httplib::Request& request,
               httplib::Response& response) {
  const int region = RegionParam(request);
  const char initial = InitialParam(request);
  CheckCounters(request);
  const std::string base = BaseOf(request);
  const char* savesPath = section == kSectionOfficial ? kSavesPath : kCommunitySavesPath;
  XmlReply reply;
  for (const GameRow& game : db.GamesByInitial(region, initial, section)) {
    GameFolder(reply, base, game, base + savesPath);
  }
  Reply(response, reply);
}

void SavesList(ServiceDatabase& db, int section, const httplib::Request& request,
               httplib::Response& response) {
  const int64_t gameId = IntParam(request, "game_id", 1, INT64_MAX);
  CheckCounters(request);
  const std::string base = BaseOf(request);
  XmlReply reply;
  for (const SaveRow& save : db.SavesOfGame(gameId, section)) {
    reply.Open("save");
    SaveFields(reply, base, save, false);
    reply.Close("save");
  }
  Reply(response, reply);
}

void UserSaves(ServiceDatabase& db, const httplib::Request& request, httplib::Response& response) {
  const int region = static_cast<int>(IntParam(request, "region_id", 0, 3, false, 3));
  CheckCounters(request);
  const std::string user = request.get_param_value("user_name");
  if (user.size() > 64) throw BadQuery("user_name too long");
  const std::string base = BaseOf(request);
  XmlReply reply;
  if (!user.empty()) {
    for (const SaveRow& save :
         db.SavesByAuthor(user, region, request.get_param_value("game_title_id"))) {
      reply.Open("save");
      SaveFields(reply, base, save, true);
      reply.Close("save");
    }
  }
  Reply(response, reply);
}

void Description(ServiceDatabase& db, const httplib::Request& request,
                 httplib::Response& response) {
  const int64_t saveId = IntParam(request, "save_id", 1, INT64_MAX);
  CheckCounters(request);
  XmlReply reply;
  if (const auto save = db.SaveById(saveId)) {
    reply.Open("save");
    reply.Element("name", save->name);
    reply.Element("description", save->description.empty() ? "unused" : save->description);
    reply.Element("download_url", DownloadAddress(BaseOf(request), save->id));
    reply.Element("download_size", save->size);
    reply.Close("save");
  }
  Reply(response, reply);
}

void Download(ServiceDatabase& db, const httplib::Request& request, httplib::Response& response) {
  const int64_t saveId = IntParam(request, "save_id", 1, INT64_MAX);
  CheckCounters(request);
  const auto container = db.SaveContainer(saveId);
  if (!container) {
    response.status = 404;
    response.set_content("no such save\n", "text/plain");
    return;
  }
  response.set_content(*container, "application/octet-stream");
}

void Blob(const std::optional<std::string>& bytes, const char* type, httplib::Response& response) {
  if (!bytes) {
    response.status = 404;
    response.set_content("not found\n", "text/plain");
    return;
  }
  response.set_content(*bytes, type);
}

// The tree of the saves page: initials, then the games of an initial, then the saves of a game
// with their files. An empty level is exactly "<result></result>".
void Tree(ServiceDatabase& db, const httplib::Request& request, httplib::Response& response) {
  CheckCounters(request);
  const std::string base = BaseOf(request);
  XmlReply reply;
  bool empty = true;
  if (request.has_param("game_id")) {
    const int64_t gameId = IntParam(request, "game_id", 1, INT64_MAX);
    for (const SaveRow& save : db.SavesOfGame(gameId, kSectionOfficial)) {
      empty = false;
      reply.Open("save");
      SaveFields(reply, base, save, true);
      reply.Open("file");
      reply.Element("name", save.name);
      reply.Element("download_url", DownloadAddress(base, save.id));
      reply.Element("download_size", save.size);
      reply.Close("file");
      reply.Close("save");
    }
  } else if (request.has_param("az")) {
    const char initial = InitialParam(request);
    const int region = static_cast<int>(IntParam(request, "region_id", 0, 3, false, 3));
    for (const GameRow& game : db.GamesByInitial(region, initial, kSectionOfficial)) {
      empty = false;
      GameFolder(reply, base, game, base + kTreePath);
    }
  } else {
    for (char initial : db.InitialsInUse()) {
      empty = false;
      reply.Open("folder");
      reply.Element("name", std::string(1, initial));
      reply.Element("url", base + kTreePath + "?az=" + initial);
      reply.Close("folder");
    }
  }
  response.set_content(empty ? std::string("<result></result>") : reply.Finish(), kXmlType);
}

void ResultReply(httplib::Response& response, const std::string& result) {
  XmlReply reply;
  reply.Key("RESULT", result);
  Reply(response, reply);
}

// Values that no endpoint takes: over-long, carrying control characters, or a host that could
// not be part of an address.
void CheckRequest(const httplib::Request& request) {
  if (request.has_header("Host") && !HostIsSound(request.get_header_value("Host")))
    throw BadQuery("bad Host header");
  // A pair with a second "=" would silently lose its first part.
  const size_t query = request.target.find('?');
  if (query != std::string::npos) {
    std::string_view rest = std::string_view(request.target).substr(query + 1);
    while (!rest.empty()) {
      const std::string_view pair = rest.substr(0, rest.find('&'));
      if (std::count(pair.begin(), pair.end(), '=') > 1) throw BadQuery("malformed query");
      rest.remove_prefix(std::min(rest.size(), pair.size() + 1));
    }
  }
  for (const auto& [name, value] : request.params) {
    if (name.size() > 64 || value.size() > kMaxQueryValue) throw BadQuery("query value too long");
    for (unsigned char c : name + value)
      if (c < 0x20 || c == 0x7F) throw BadQuery("control character in the query");
  }
}

void Refuse(httplib::Response& response, const std::string& reason) {
  response.status = 400;
  response.set_content("bad request: " + reason + "\n", "text/plain");
}

// Wraps a handler: a refused query becomes a 400 with its reason.
template <typename F>
httplib::Server::Handler Checked(F handler) {
  return [handler](const httplib::Request& request, httplib::Response& response) {
    try {
      handler(request, response);
    } catch (const BadQuery& bad) {
      Refuse(response, bad.what());
    }
  };
}

std::string Printable(const std::string& text, size_t limit) {
  std::string out;
  for (unsigned char c : text.substr(0, limit))
    out += (c < 0x20 || c >= 0x7F) ? '?' : char(c);
  if (text.size() > limit) out += "...";
  return out;
}

}  // namespace

std::string RequestLogLine(const httplib::Request& request, const httplib::Response& response) {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
  gmtime_r(&now, &utc);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &utc);
  const std::string target = request.target.empty() ? request.path : request.target;
  return std::string(when) + " " + Printable(request.remote_addr, 64) + " " +
         Printable(request.method, 16) + " " + Printable(target, 300) + " " +
         std::to_string(response.status) + " " + std::to_string(response.body.size());
}

void InstallRoutes(httplib::Server& server, ServiceDatabase& db, const RequestLog& log) {
  ServiceDatabase* d = &db;
  server.set_pre_routing_handler([](const httplib::Request& request, httplib::Response& response) {
    if (ServingBeyondLimit()) {
      // Every worker is taken: a quick answer now rather than a long silent wait.
      response.status = 503;
      response.set_header("Retry-After", "1");
      response.set_header("Connection", "close");
      response.set_content("busy, try again\n", "text/plain");
      return httplib::Server::HandlerResponse::Handled;
    }
    try {
      CheckRequest(request);
    } catch (const BadQuery& bad) {
      Refuse(response, bad.what());
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server.Get(kSettingsPagePath, Checked([d](const auto& q, auto& r) { SettingsPage(*d, q, r); }));
  server.Get(kIndexPath, Checked([d](const auto& q, auto& r) { LetterIndex(*d, q, r); }));
  server.Get(kGamesPath,
             Checked([d](const auto& q, auto& r) { GamesList(*d, kSectionOfficial, q, r); }));
  server.Get(kCommunityGamesPath,
             Checked([d](const auto& q, auto& r) { GamesList(*d, kSectionCommunity, q, r); }));
  server.Get(kSavesPath,
             Checked([d](const auto& q, auto& r) { SavesList(*d, kSectionOfficial, q, r); }));
  server.Get(kCommunitySavesPath,
             Checked([d](const auto& q, auto& r) { SavesList(*d, kSectionCommunity, q, r); }));
  server.Get(kUserSavesPath, Checked([d](const auto& q, auto& r) { UserSaves(*d, q, r); }));
  server.Get(kDescriptionPath, Checked([d](const auto& q, auto& r) { Description(*d, q, r); }));
  server.Get(kDownloadPath, Checked([d](const auto& q, auto& r) { Download(*d, q, r); }));
  server.Get(kTreePath, Checked([d](const auto& q, auto& r) { Tree(*d, q, r); }));
  // Every name is matched, so that one the name rule refuses gets its 400 and not a 404.
  server.Get(R"(/png/(.*))", Checked([d](const auto& q, auto& r) {
               Blob(d->Picture(BareNameParam(q.matches[1])), "image/png", r);
             }));
  // A release, or with ".sig" appended its signature (404 for an unsigned one).
  server.Get(
      R"(/release/(.*))", Checked([d](const auto& q, auto& r) {
        const std::string name = BareNameParam(q.matches[1]);
        std::optional<std::string> bytes = d->ReleaseData(name);
        if (!bytes && name.ends_with(kSignatureSuffix))
          bytes = d->ReleaseSignature(name.substr(0, name.size() - std::strlen(kSignatureSuffix)));
        Blob(bytes, "application/octet-stream", r);
      }));
  server.Get("/numgames.asp", Checked([d](const auto& q, auto& r) {
               const int section = IntParam(q, "corvane", 0, 1, false, 1) == 1 ? kSectionOfficial
                                                                               : kSectionCommunity;
               ResultReply(r, std::to_string(d->CountGames(RegionParam(q), section)));
             }));
  server.Get("/rate.asp", Checked([d](const auto& q, auto& r) {
               const int64_t saveId = IntParam(q, "save_id", 1, INT64_MAX);
               const int rating = static_cast<int>(IntParam(q, "rating", 0, 100));
               ResultReply(r, d->Rate(saveId, rating) ? "OK" : "NO_SUCH_SAVE");
             }));
  server.Get("/checkuser.asp", Checked([d](const auto& q, auto& r) {
               const std::string user = q.get_param_value("user_name");
               if (user.size() > 64) throw BadQuery("user_name too long");
               const bool known = !user.empty() && !d->SavesByAuthor(user, kRegionAll, "").empty();
               ResultReply(r, known ? "1" : "0");
             }));
  // Changes to the collection are made with the service's own import, not over HTTP.
  for (const char* path : {"/upload.asp", "/register.asp", "/delete.asp"})
    server.Get(path, Checked([](const auto&, auto& r) { ResultReply(r, "NOT_AVAILABLE"); }));
  server.Get("/codelist.asp", Checked([](const auto&, auto& r) { Reply(r, XmlReply()); }));

  server.set_exception_handler([log](const httplib::Request&, httplib::Response& response,
                                     const std::exception_ptr& failure) {
    std::string what = "unknown failure";
    try {
      if (failure) std::rethrow_exception(failure);
    } catch (const std::exception& e) {
      what = e.what();
    } catch (...) {
    }
    if (log) log("internal error: " + Printable(what, 200));
    response.status = 500;
    response.set_content("internal error\n", "text/plain");
  });
  server.set_logger([log](const httplib::Request& request, const httplib::Response& response) {
    if (log) log(RequestLogLine(request, response));
  });
}

}  // namespace pspkvx::service
