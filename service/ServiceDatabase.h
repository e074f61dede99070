// The service's data in SQLite: games, saves with their container bytes, pictures and releases
// of the upgrade program. Every query binds its values. One connection, used by one thread at a
// time (the server's threads take turns through a lock).
#pragma once

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "service/SqliteStatement.h"

namespace pspkvx::service {

// Sections of the collection: the official one and the community's.
inline constexpr int kSectionOfficial = 0;
inline constexpr int kSectionCommunity = 1;
// Regions as the client asks for them; kRegionAll lists every game.
inline constexpr int kRegionUsa = 0;
inline constexpr int kRegionEurope = 1;
inline constexpr int kRegionJapan = 2;
inline constexpr int kRegionAll = 3;

// The region of a PSP product code, read as the client reads it (third and fourth characters
// "US" or "ES", or a third character "J"); -1 for none of them.
int RegionOfTitleId(const std::string& titleId);
// The index initial of a game name: its first character in upper case when it is a letter or a
// digit; 0 otherwise (such a game is in no letter of the index).
char InitialOf(const std::string& name);

struct GameRow {
  int64_t id = 0;
  std::string name;
  std::string titleId;
  std::string released;
  std::string picture;  // picture name, empty for none
};

struct SaveRow {
  int64_t id = 0;
  int64_t gameId = 0;
  int section = kSectionOfficial;
  std::string name;
  std::string description;  // empty for none
  std::string author;
  std::string posted;
  std::string codeTitleId;
  std::string picture;  // the save's own picture name, else its game's
  double rating = 0;    // percentage
  int64_t votes = 0;
  int64_t size = 0;  // container bytes
  std::string gameName;
  std::string gameTitleId;
};

struct NewSave {
  int64_t gameId = 0;
  int section = kSectionOfficial;
  std::string name, description, author, posted, codeTitleId, picture;
  double rating = 0;
  int64_t votes = 0;
  std::string container;
};

struct ReleaseRow {
  int64_t id = 0;
  int version = 0;
  std::string fileName;
  int64_t size = 0;
};

class ServiceDatabase {
 public:
  // Opens (creating when needed) the database file and its schema. Throws DatabaseError.
  explicit ServiceDatabase(const std::string& path);
  ~ServiceDatabase();
  ServiceDatabase(const ServiceDatabase&) = delete;
  ServiceDatabase& operator=(const ServiceDatabase&) = delete;

  bool IsEmpty();

  // Adds a game, or returns the one with that product code.
  int64_t AddGame(const std::string& name, const std::string& titleId, const std::string& released,
                  const std::string& picture);
  std::optional<GameRow> GameByTitleId(const std::string& titleId);
  void SetGamePicture(int64_t gameId, const std::string& picture);
  int64_t AddSave(const NewSave& save);
  void PutPicture(const std::string& name, const std::string& bytes);
  // signature: the release's Ed25519 signature (empty: unsigned).
  int64_t AddRelease(int version, const std::string& fileName, const std::string& bytes,
                     const std::string& signature = "");

  // Games with at least one save in the section, by initial (kIndexInitials order), in a region.
  std::array<int, 36> CountGamesByInitial(int region, int section);
  int CountGames(int region, int section);
  std::vector<GameRow> GamesByInitial(int region, char initial, int section);
  std::vector<char> InitialsInUse();
  std::vector<SaveRow> SavesOfGame(int64_t gameId, int section);
  // Saves whose author equals name without regard to case, optionally of one game.
  std::vector<SaveRow> SavesByAuthor(const std::string& author, int region,
                                     const std::string& gameTitleId);
  std::optional<SaveRow> SaveById(int64_t id);
  std::optional<std::string> SaveContainer(int64_t id);
  std::optional<std::string> Picture(const std::string& name);
  std::optional<ReleaseRow> LatestRelease();
  std::optional<std::string> ReleaseData(const std::string& fileName);
  // None for a release that is missing or unsigned.
  std::optional<std::string> ReleaseSignature(const std::string& fileName);
  // Adds one vote of rating percent; false for an unknown save.
  bool Rate(int64_t saveId, int rating);

  // Runs several changes as one transaction.
  template <typename F>
  void InTransaction(F&& changes) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Exec("BEGIN");
    try {
      changes();
      Exec("COMMIT");
    } catch (...) {
      Exec("ROLLBACK");
      throw;
    }
  }

 private:
  void Exec(const char* sql);
  std::vector<SaveRow> Saves(const char* where, const std::function<void(Statement&)>& bind);

  sqlite3* db_ = nullptr;
  std::recursive_mutex mutex_;
};

}  // namespace pspkvx::service
