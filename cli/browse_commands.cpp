// online letters / games / saves / install / picture-key: the online page's browsing and its
// save download from the command line, with PSPKVX's own requests and rows.
#include <iostream>
#include <optional>

#include "base/StringTable.h"
#include "cli/Cli.h"
#include "cli/CliProgress.h"
#include "cli/CliStick.h"
#include "online/OnlineRows.h"
#include "online/SaveDownload.h"
#include "online/ServiceTags.h"
#include "online/TagTable.h"
#include "online/TagTableFetcher.h"
#include "online/ThumbnailCache.h"

namespace pspkvx::cli {
namespace {

struct BrowseOptions {
  int region = kRegionNone;
  std::string letter;
  int index = -1;
  std::string url;
  std::string stick;
  bool yes = false;
  bool no = false;
};

BrowseOptions& Options() {
  static BrowseOptions options;
  return options;
}

// The service's settings fetched as the online worker fetches them, and the requests after.
class ServiceSession {
 public:
  explicit ServiceSession(const Context& context) : endpoints_(OnlineEndpoints(context)) {
    RegisterServiceTags(table_);
  }

  void LoadSettings() {
    const SettingsAttempt attempt = FetchSettingsOnce(fetcher_, endpoints_);
    if (attempt.loaded) return;
    std::string message = DescribeFetch(attempt.status, attempt.detail);
    if (!attempt.text.empty()) message += " (PSPKVX shows: " + attempt.text + ")";
    throw CliError(kExitFailed, message);
  }
  std::string Value(SettingsKey key) const {
    std::string value;
    table_.LookupTag(kSettingsKeys[key], value);
    return value;
  }
  FetchResult Fetch(const std::string& address) { return fetcher_.Fetch(address); }
  TagTableFetcher& Fetcher() { return fetcher_; }

 private:
  ServiceEndpoints endpoints_;
  TagTable table_;
  TagTableFetcher fetcher_{table_};
};

char LetterOf(const std::string& text) {
  if (text.size() != 1 ||
      std::string(kIndexInitials)
              .find(static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])))) ==
          std::string::npos)
    throw CliError(kExitUsage, "LETTER must be one of A-Z or 0-9: " + text);
  return static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
}

nlohmann::json TextOrNull(const std::string& text) {
  return text.empty() ? nlohmann::json(nullptr) : nlohmann::json(Latin1ToUtf8(text));
}

// A list that could not be fetched: the line the list shows, and exit code 1 with what was
// asked and what answered.
void PrintList(Context& context, const nlohmann::json& rows, const std::string& emptyText,
               const FetchResult& reply, const std::vector<std::string>& lines) {
  const bool failed = !reply.ok();
  if (context.json) {
    nlohmann::json out = {{"rows", rows},
                          {"empty_text", rows.empty() ? TextOrNull(emptyText) : nullptr}};
    if (failed) out["message"] = Latin1ToUtf8(DescribeFetch(reply.status, reply.detail));
    PrintJson(out);
  } else {
    for (const std::string& line : lines)
      std::cout << line << "\n";
    if (rows.empty()) std::cout << emptyText << "\n";
  }
  if (failed) {
    context.exitCode = kExitFailed;
    PrintFailureLine(DescribeFetch(reply.status, reply.detail));
  }
}

void Letters(Context& context) {
  ServiceSession session(context);
  session.LoadSettings();
  const int region = Options().region;
  const FetchResult reply =
      session.Fetch(LetterIndexAddress(session.Value(SettingAlphaKavexUrl), region));
  const std::vector<std::string> rows =
      reply.ok() ? LetterIndexRows(reply) : std::vector<std::string>{};
  nlohmann::json json = nlohmann::json::array();
  for (const std::string& row : rows)
    json.push_back(row);
  PrintList(context, json, LetterIndexEmptyText(region), reply, rows);
}

struct GamesReply {
  FetchResult reply;
  std::vector<GameRowTexts> rows;
};

GamesReply FetchGames(ServiceSession& session, char letter) {
  GamesReply games;
  games.reply = session.Fetch(
      GamesListAddress(session.Value(SettingCorvanesUrl), Options().region, letter, 0));
  if (games.reply.ok()) {
    for (const ReplyRecord& record : games.reply.records) {
      GameRowTexts row = GameRowOf(record);
      row.columns[GameColumnPictureKey] = ThumbnailCache::KeyOf(row.pictureAddress);
      games.rows.push_back(std::move(row));
    }
  }
  return games;
}

void Games(Context& context) {
  const char letter = LetterOf(Options().letter);
  ServiceSession session(context);
  session.LoadSettings();
  const GamesReply games = FetchGames(session, letter);
  nlohmann::json rows = nlohmann::json::array();
  std::vector<std::string> lines;
  for (const GameRowTexts& row : games.rows) {
    const auto& c = row.columns;
    rows.push_back({{"name", Latin1ToUtf8(c[GameColumnName])},
                    {"code", Latin1ToUtf8(c[GameColumnCode])},
                    {"region", c[GameColumnRegion]},
                    {"released", Latin1ToUtf8(c[GameColumnReleased])},
                    {"picture_key", TextOrNull(c[GameColumnPictureKey])},
                    {"url", Latin1ToUtf8(c[GameColumnUrl])}});
    lines.push_back(c[GameColumnName] + "\t" + c[GameColumnCode] + "\t" + c[GameColumnRegion] +
                    "\t" + c[GameColumnReleased]);
  }
  PrintList(context, rows, GamesEmptyText(games.reply.status, letter), games.reply, lines);
}

void Saves(Context& context) {
  const BrowseOptions& o = Options();
  const bool byUrl = !o.url.empty();
  if (byUrl == !o.letter.empty())
    throw CliError(kExitUsage, "give either LETTER INDEX or --url URL");
  ServiceSession session(context);
  ChosenGame game;
  if (!byUrl) {
    const char letter = LetterOf(o.letter);
    if (o.index < 0) throw CliError(kExitUsage, "INDEX must be given with LETTER");
    session.LoadSettings();
    const GamesReply games = FetchGames(session, letter);
    if (!games.reply.ok())
      throw CliError(kExitFailed, DescribeFetch(games.reply.status, games.reply.detail));
    if (static_cast<size_t>(o.index) >= games.rows.size())
      throw CliError(kExitFailed, "the letter " + std::string(1, letter) + " has " +
                                      std::to_string(games.rows.size()) +
                                      " game(s); there is no game " + std::to_string(o.index));
    game = ChosenGameOf(games.rows[static_cast<size_t>(o.index)].columns);
  } else {
    game.url = o.url;
  }
  const FetchResult reply = session.Fetch(SavesListAddress(game.url, 0));
  nlohmann::json rows = nlohmann::json::array();
  std::vector<std::string> lines;
  if (reply.ok()) {
    for (const ReplyRecord& record : reply.records) {
      const SaveRowTexts row = SaveRowOf(record, game);
      const auto& c = row.columns;
      rows.push_back({{"title", Latin1ToUtf8(c[OnlineSaveTitle])},
                      {"description", Latin1ToUtf8(c[OnlineSaveDescription])},
                      {"game", Latin1ToUtf8(c[OnlineSaveGame])},
                      {"code", Latin1ToUtf8(c[OnlineSaveCode])},
                      {"author", Latin1ToUtf8(c[OnlineSaveAuthor])},
                      {"posted", Latin1ToUtf8(c[OnlineSavePosted])},
                      {"rating", Latin1ToUtf8(c[OnlineSaveRating])},
                      {"url", Latin1ToUtf8(c[OnlineSaveUrl])},
                      {"save_id", row.saveId},
                      {"size", row.bytes},
                      {"size_text", SaveSizeText(row.bytes)}});
      lines.push_back(c[OnlineSaveTitle] + "\t" + c[OnlineSaveAuthor] + "\t" + c[OnlineSavePosted] +
                      "\t" + c[OnlineSaveUrl]);
    }
  }
  PrintList(context, rows, SavesEmptyText(reply.status), reply, lines);
}

// The download's texts and progress on the terminal.
class TerminalDownloadHost final : public ISaveDownloadHost {
 public:
  void SetStatusText(const std::string& text) override { bar_.SetStatus(text); }
  void SetProgress(int percent) override { bar_.SetPercent(percent); }
  void Finish() { bar_.Finish(); }

 private:
  TerminalBar bar_;
};

void Install(Context& context) {
  const BrowseOptions& o = Options();
  CliStick stick(o.stick, o.yes);
  ServiceSession session(context);
  const SaveStick saveStick{stick.Platform(), stick.Drive(), stick.Files(), stick.Host()};
  TerminalDownloadHost host;
  ManualResetEvent stop;
  OnlineSaveChoice choice;
  choice.url = o.url;
  SaveDownloadResult result;
  {
    InterruptWatch watch(stop);
    result = DownloadSave(SaveDownloadContext{saveStick, session.Fetcher(), host, {}}, choice,
                          &stop, true);
  }
  host.Finish();
  switch (result.outcome) {
    case SaveDownloadOutcome::Cancelled:
      throw CliError(kExitFailed, "cancelled; nothing was written");
    case SaveDownloadOutcome::MissingAddress:
      throw CliError(kExitFailed,
                     stick.Host().Messages(StringOf(IDS_SAVE_FILE_MISSING)) + " (" +
                         (result.descriptionStatus == FetchOk
                              ? o.url + " names no download address"
                              : DescribeFetch(result.descriptionStatus, result.detail)) +
                         ")");
    case SaveDownloadOutcome::DownloadFailed:
      throw CliError(kExitFailed,
                     stick.Host().Messages(StringOf(IDS_SAVE_DOWNLOAD_FAILED)) + " (" +
                         result.downloadAddress +
                         (result.detail.httpStatus != 0
                              ? " answered HTTP " + std::to_string(result.detail.httpStatus)
                              : " did not answer in full") +
                         ")");
    case SaveDownloadOutcome::NoPsp:
    case SaveDownloadOutcome::NoSave:
      throw CliError(kExitFailed, "no PSP memory stick at " + o.stick);
    case SaveDownloadOutcome::Installed:
      break;
  }
  if (result.installResult != 0)
    throw CliError(kExitFailed, stick.Host().Messages("the save was not installed"));
  const std::string folder = result.report.installed ? result.report.folder : std::string();
  if (context.json) {
    PrintJson({{"result", result.installResult}, {"folder", TextOrNull(folder)}});
    return;
  }
  if (result.report.installed)
    std::cout << (result.report.replaced ? "replaced " : "installed ") << folder << "\n";
  else
    std::cout << "kept the save already in " << result.report.folder << " (--yes overwrites it)\n";
}

void PictureKey(Context& context) {
  const std::string key = ThumbnailCache::KeyOf(Options().url);
  if (context.json)
    PrintJson({{"key", TextOrNull(key)}});
  else
    std::cout << (key.empty() ? "(no key)" : key) << "\n";
}

void AddRegion(CLI::App* command) {
  command
      ->add_option("--region", Options().region,
                   "The service region: 0 USA, 1 European, 2 Japanese, 3 none (the default)")
      ->check(CLI::Range(0, 3));
}

}  // namespace

void RegisterOnlineBrowseCommands(CLI::App* online, Context& context) {
  BrowseOptions& o = Options();
  auto* letters = online->add_subcommand("letters", "The letter index as the online page lists it");
  AddRegion(letters);
  letters->fallthrough();
  AddJsonFlag(letters, context);
  letters->callback([&context] { Letters(context); });

  auto* games =
      online->add_subcommand("games", "The games of one initial as the online page lists them");
  games->add_option("LETTER", o.letter, "A letter A-Z or a digit 0-9")->required();
  AddRegion(games);
  games->fallthrough();
  AddJsonFlag(games, context);
  games->callback([&context] { Games(context); });

  auto* saves = online->add_subcommand(
      "saves", "The saves of a game: the game at INDEX (from 0) of a letter's list, or --url");
  saves->add_option("LETTER", o.letter, "The game's initial");
  saves->add_option("INDEX", o.index, "The game's row in the letter's list, from 0")
      ->check(CLI::NonNegativeNumber);
  saves->add_option("--url", o.url, "A saves-list address (the game columns show \"??\")");
  AddRegion(saves);
  saves->fallthrough();
  AddJsonFlag(saves, context);
  saves->callback([&context] { Saves(context); });

  auto* install = online->add_subcommand(
      "install", "Download the save behind a save description address and install it");
  install->add_option("URL", o.url, "The save's description address (a saves row's url)")
      ->required();
  install->add_option("--stick", o.stick, "The memory stick's root folder")->required();
  auto* yes = install->add_flag("--yes", o.yes, "Replace a save that is already there");
  install->add_flag("--no", o.no, "Keep a save that is already there (the default)")->excludes(yes);
  install->fallthrough();
  AddJsonFlag(install, context);
  install->callback([&context] { Install(context); });

  auto* key = online->add_subcommand("picture-key", "The picture key of a picture address");
  key->add_option("URL", o.url, "The picture's address")->required();
  AddJsonFlag(key, context);
  key->callback([&context] { PictureKey(context); });
}

}  // namespace pspkvx::cli
