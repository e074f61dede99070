// Filling the service's collection: generated demo data, a real save folder imported as a
// container, a release of the upgrade program.
#pragma once

#include <stdexcept>
#include <string>

#include "update/UpgradeSignature.h"

#include "service/ServiceDatabase.h"

namespace pspkvx::service {

struct CatalogueError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Games for every region and every initial (letters and digits), each with a generated icon and
// one to three saves (some in the community section), and a release of the running version.
// Meant for an empty database.
void FillDemoData(ServiceDatabase& db);

struct ImportRequest {
  std::string folder;   // the save folder on disk
  std::string game;     // game name; its first character is its index initial
  std::string titleId;  // PSP product code, for example ULUS10041
  std::string author;
  std::string description;
  std::string name;  // save name; the folder's name when empty
  int section = kSectionOfficial;
};

// Adds the folder's files as one save (the game is added when its product code is new); an
// ICON0.PNG in the folder becomes the save's picture, and the game's when it has none. Returns
// the save's id. Throws CatalogueError with a message for the user.
int64_t ImportSaveFolder(ServiceDatabase& db, const ImportRequest& request);

// The file name of a release: "pspkvx_upgrade_SIZEKB_VERSION.bin", the form from which the client
// reads size and version.
std::string ReleaseFileName(int version, size_t bytes);

// Adds a release of the upgrade program (version as an integer, 100 to 999, e.g. 116 for 1.16)
// and returns its file name; with a key, the release container is signed with it (the service
// serves the signature at the release's address + ".sig"). Throws CatalogueError.
std::string AddRelease(ServiceDatabase& db, int version, const std::string& programBytes,
                       const UpgradeSecretKey* key = nullptr);

// The secret key in a key file (pspkvx-cli package keygen). Throws CatalogueError.
UpgradeSecretKey ReadSecretKeyFile(const std::string& path);

}  // namespace pspkvx::service
