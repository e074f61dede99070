#include "service/ServiceDatabase.h"

#include <cctype>

#include "online/ServiceTags.h"

namespace pspkvx::service {
namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS games(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  title_id TEXT NOT NULL UNIQUE,
  initial TEXT NOT NULL,
  region INTEGER NOT NULL,
  released TEXT NOT NULL,
  picture TEXT NOT NULL DEFAULT '');
CREATE INDEX IF NOT EXISTS games_by_initial ON games(initial, region);
CREATE TABLE IF NOT EXISTS saves(
  id INTEGER PRIMARY KEY,
  game_id INTEGER NOT NULL REFERENCES games(id),
  section INTEGER NOT NULL DEFAULT 0,
  name TEXT NOT NULL,
  description TEXT NOT NULL DEFAULT '',
  author TEXT NOT NULL DEFAULT '',
  posted TEXT NOT NULL DEFAULT '',
  code_title_id TEXT NOT NULL DEFAULT '',
  picture TEXT NOT NULL DEFAULT '',
  rating REAL NOT NULL DEFAULT 0,
  votes INTEGER NOT NULL DEFAULT 0,
  container BLOB NOT NULL);
CREATE INDEX IF NOT EXISTS saves_by_game ON saves(game_id, section);
CREATE TABLE IF NOT EXISTS pictures(
  name TEXT PRIMARY KEY,
  data BLOB NOT NULL);
CREATE TABLE IF NOT EXISTS releases(
  id INTEGER PRIMARY KEY,
  version INTEGER NOT NULL,
  file_name TEXT NOT NULL UNIQUE,
  data BLOB NOT NULL,
  signature BLOB);
)sql";

constexpr const char* kSaveColumns =
    "SELECT s.id, s.game_id, s.section, s.name, s.description, s.author, s.posted,"
    " s.code_title_id, CASE WHEN s.picture = '' THEN g.picture ELSE s.picture END,"
    " s.rating, s.votes, length(s.container), g.name, g.title_id"
    " FROM saves s JOIN games g ON g.id = s.game_id WHERE ";

GameRow GameOf(const Statement& row) {
  return {row.Int(0), row.Text(1), row.Text(2), row.Text(3), row.Text(4)};
}

}  // namespace

int RegionOfTitleId(const std::string& titleId) {
  if (titleId.size() >= 4 && titleId[2] == 'U' && titleId[3] == 'S') return kRegionUsa;
  if (titleId.size() >= 4 && titleId[2] == 'E' && titleId[3] == 'S') return kRegionEurope;
  if (titleId.size() >= 3 && titleId[2] == 'J') return kRegionJapan;
  return -1;
}

char InitialOf(const std::string& name) {
  if (name.empty()) return 0;
  const auto c = static_cast<unsigned char>(name[0]);
  if (c >= 0x80 || !std::isalnum(c)) return 0;
  return static_cast<char>(std::toupper(c));
}

ServiceDatabase::ServiceDatabase(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    throw DatabaseError("cannot open " + path + ": " + message);
  }
  sqlite3_busy_timeout(db_, 5000);
  Exec("PRAGMA foreign_keys = ON");
  char* error = nullptr;
  if (sqlite3_exec(db_, kSchema, nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : "unknown error";
    sqlite3_free(error);
    sqlite3_close(db_);
    db_ = nullptr;
    throw DatabaseError("cannot create the schema in " + path + ": " + message);
  }
  // Databases made before releases were signed get the column (an empty one: unsigned).
  if (sqlite3_exec(db_, "SELECT signature FROM releases LIMIT 0", nullptr, nullptr, nullptr) !=
      SQLITE_OK)
    Exec("ALTER TABLE releases ADD COLUMN signature BLOB");
}

ServiceDatabase::~ServiceDatabase() {
  sqlite3_close(db_);
}

void ServiceDatabase::Exec(const char* sql) {
  Statement(db_, sql).Run();
}

bool ServiceDatabase::IsEmpty() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement count(db_, "SELECT (SELECT count(*) FROM games) + (SELECT count(*) FROM releases)");
  return count.Step() && count.Int(0) == 0;
}

int64_t ServiceDatabase::AddGame(const std::string& name, const std::string& titleId,
                                 const std::string& released, const std::string& picture) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (auto existing = GameByTitleId(titleId)) return existing->id;
  Statement insert(db_,
                   "INSERT INTO games(name, title_id, initial, region, released, picture)"
                   " VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
  const char initial = InitialOf(name);
  insert.Bind(1, name).Bind(2, titleId).Bind(3, initial ? std::string(1, initial) : std::string());
  insert.Bind(4, RegionOfTitleId(titleId)).Bind(5, released).Bind(6, picture).Run();
  return sqlite3_last_insert_rowid(db_);
}

std::optional<GameRow> ServiceDatabase::GameByTitleId(const std::string& titleId) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement query(db_,
                  "SELECT id, name, title_id, released, picture FROM games WHERE title_id = ?1");
  query.Bind(1, titleId);
  if (!query.Step()) return std::nullopt;
  return GameOf(query);
}

void ServiceDatabase::SetGamePicture(int64_t gameId, const std::string& picture) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement(db_, "UPDATE games SET picture = ?2 WHERE id = ?1")
      .Bind(1, gameId)
      .Bind(2, picture)
      .Run();
}

int64_t ServiceDatabase::AddSave(const NewSave& save) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement insert(db_,
                   "INSERT INTO saves(game_id, section, name, description, author, posted,"
                   " code_title_id, picture, rating, votes, container)"
                   " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
  insert.Bind(1, save.gameId).Bind(2, save.section).Bind(3, save.name).Bind(4, save.description);
  insert.Bind(5, save.author).Bind(6, save.posted).Bind(7, save.codeTitleId).Bind(8, save.picture);
  insert.Bind(9, save.rating).Bind(10, save.votes).BindBlob(11, save.container).Run();
  return sqlite3_last_insert_rowid(db_);
}

void ServiceDatabase::PutPicture(const std::string& name, const std::string& bytes) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement(db_, "INSERT OR REPLACE INTO pictures(name, data) VALUES(?1, ?2)")
      .Bind(1, name)
      .BindBlob(2, bytes)
      .Run();
}

int64_t ServiceDatabase::AddRelease(int version, const std::string& fileName,
                                    const std::string& bytes, const std::string& signature) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement(db_,
            "INSERT OR REPLACE INTO releases(version, file_name, data, signature)"
            " VALUES(?1, ?2, ?3, ?4)")
      .Bind(1, version)
      .Bind(2, fileName)
      .BindBlob(3, bytes)
      .BindBlob(4, signature)
      .Run();
  return sqlite3_last_insert_rowid(db_);
}

std::array<int, 36> ServiceDatabase::CountGamesByInitial(int region, int section) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::array<int, 36> counts{};
  Statement query(db_,
                  "SELECT g.initial, count(*) FROM games g WHERE (?1 = 3 OR g.region = ?1)"
                  " AND EXISTS(SELECT 1 FROM saves s WHERE s.game_id = g.id AND s.section = ?2)"
                  " GROUP BY g.initial");
  query.Bind(1, region).Bind(2, section);
  while (query.Step()) {
    const std::string initial = query.Text(0);
    for (size_t i = 0; i < counts.size(); ++i)
      if (initial.size() == 1 && initial[0] == kIndexInitials[i])
        counts[i] = static_cast<int>(query.Int(1));
  }
  return counts;
}

int ServiceDatabase::CountGames(int region, int section) {
  int total = 0;
  for (int count : CountGamesByInitial(region, section))
    total += count;
  return total;
}

std::vector<GameRow> ServiceDatabase::GamesByInitial(int region, char initial, int section) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement query(db_,
                  "SELECT g.id, g.name, g.title_id, g.released, g.picture FROM games g"
                  " WHERE (?1 = 3 OR g.region = ?1) AND g.initial = ?2"
                  " AND EXISTS(SELECT 1 FROM saves s WHERE s.game_id = g.id AND s.section = ?3)"
                  " ORDER BY g.name COLLATE NOCASE, g.id");
  query.Bind(1, region).Bind(2, std::string(1, initial)).Bind(3, section);
  std::vector<GameRow> games;
  while (query.Step())
    games.push_back(GameOf(query));
  return games;
}

std::vector<char> ServiceDatabase::InitialsInUse() {
  std::vector<char> initials;
  const auto counts = CountGamesByInitial(kRegionAll, kSectionOfficial);
  for (size_t i = 0; i < counts.size(); ++i)
    if (counts[i] > 0) initials.push_back(kIndexInitials[i]);
  return initials;
}

std::vector<SaveRow> ServiceDatabase::Saves(const char* where,
                                            const std::function<void(Statement&)>& bind) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  const std::string sql = std::string(kSaveColumns) + where + " ORDER BY s.id";
  Statement query(db_, sql.c_str());
  bind(query);
  std::vector<SaveRow> saves;
  while (query.Step()) {
    SaveRow save;
    save.id = query.Int(0);
    save.gameId = query.Int(1);
    save.section = static_cast<int>(query.Int(2));
    save.name = query.Text(3);
    save.description = query.Text(4);
    save.author = query.Text(5);
    save.posted = query.Text(6);
    save.codeTitleId = query.Text(7);
    save.picture = query.Text(8);
    save.rating = query.Real(9);
    save.votes = query.Int(10);
    save.size = query.Int(11);
    save.gameName = query.Text(12);
    save.gameTitleId = query.Text(13);
    saves.push_back(std::move(save));
  }
  return saves;
}

std::vector<SaveRow> ServiceDatabase::SavesOfGame(int64_t gameId, int section) {
  return Saves("s.game_id = ?1 AND s.section = ?2",
               [&](Statement& q) { q.Bind(1, gameId).Bind(2, section); });
}

std::vector<SaveRow> ServiceDatabase::SavesByAuthor(const std::string& author, int region,
                                                    const std::string& gameTitleId) {
  return Saves(
      "(?1 = 3 OR g.region = ?1) AND s.author = ?2 COLLATE NOCASE AND (?3 = '' OR g.title_id = ?3)",
      [&](Statement& q) { q.Bind(1, region).Bind(2, author).Bind(3, gameTitleId); });
}

std::optional<SaveRow> ServiceDatabase::SaveById(int64_t id) {
  auto saves = Saves("s.id = ?1", [&](Statement& q) { q.Bind(1, id); });
  if (saves.empty()) return std::nullopt;
  return std::move(saves.front());
}

std::optional<std::string> ServiceDatabase::SaveContainer(int64_t id) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement query(db_, "SELECT container FROM saves WHERE id = ?1");
  query.Bind(1, id);
  if (!query.Step()) return std::nullopt;
  return query.Text(0);
}

std::optional<std::string> ServiceDatabase::Picture(const std::string& name) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement query(db_, "SELECT data FROM pictures WHERE name = ?1");
  query.Bind(1, name);
  if (!query.Step()) return std::nullopt;
  return query.Text(0);
}

std::optional<ReleaseRow> ServiceDatabase::LatestRelease() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement query(db_,
                  "SELECT id, version, file_name, length(data) FROM releases"
                  " ORDER BY version DESC, id DESC LIMIT 1");
  if (!query.Step()) return std::nullopt;
  return ReleaseRow{query.Int(0), static_cast<int>(query.Int(1)), query.Text(2), query.Int(3)};
}

std::optional<std::string> ServiceDatabase::ReleaseSignature(const std::string& fileName) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement query(db_, "SELECT signature FROM releases WHERE file_name = ?1");
  query.Bind(1, fileName);
  if (!query.Step()) return std::nullopt;
  std::string signature = query.Text(0);
  if (signature.empty()) return std::nullopt;
  return signature;
}

std::optional<std::string> ServiceDatabase::ReleaseData(const std::string& fileName) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement query(db_, "SELECT data FROM releases WHERE file_name = ?1");
  query.Bind(1, fileName);
  if (!query.Step()) return std::nullopt;
  return query.Text(0);
}

bool ServiceDatabase::Rate(int64_t saveId, int rating) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Statement(db_,
            "UPDATE saves SET rating = (rating * votes + ?2) / (votes + 1), votes = votes + 1"
            " WHERE id = ?1")
      .Bind(1, saveId)
      .Bind(2, static_cast<double>(rating))
      .Run();
  return sqlite3_changes(db_) > 0;
}

}  // namespace pspkvx::service
