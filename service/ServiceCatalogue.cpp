#include "service/ServiceCatalogue.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <vector>

#include "base/FileRead.h"
#include "base/ProgramEnvironment.h"
#include "saves/ContainerWriter.h"
#include "saves/ParamSfo.h"
#include "service/DemoIcon.h"
#include "service/SaveContainerBytes.h"
#include "update/UpgradePackage.h"

namespace pspkvx::service {
namespace {

namespace fs = std::filesystem;

// A save larger than this would not reach the client in one download.
constexpr uintmax_t kMaxSaveBytes = uintmax_t(200) << 20;

constexpr const char* kLetterWords[26] = {
    "Astro",  "Blaze",   "Crimson", "Dune",   "Echo", "Frost", "Gale",   "Hyper",  "Iron",
    "Jade",   "Kinetic", "Lunar",   "Mecha",  "Nova", "Orbit", "Pixel",  "Quasar", "Rally",
    "Shadow", "Turbo",   "Ultra",   "Vortex", "Warp", "Xeno",  "Yonder", "Zero"};
constexpr const char* kDigitWords[10] = {"0 Gravity", "1st Strike", "2 Worlds",  "3 Kingdoms",
                                         "4 Seasons", "5 Rings",    "6 Degrees", "7 Seas",
                                         "8 Ball",    "9 Lives"};
constexpr const char* kSecondWords[6] = {"Racer", "Legends", "Tactics", "Quest", "Arena", "Saga"};
constexpr const char* kSaveNames[5] = {"Chapter 3 complete", "All items unlocked",
                                       "100% completion", "New game plus", "Boss rush ready"};
constexpr const char* kDescriptions[5] = {"", "Every weapon and a full wallet.",
                                          "Saved right before the final stage.",
                                          "All tracks unlocked, gold on every cup.", ""};
constexpr const char* kAuthors[6] = {"corvanes", "PspFan88", "ann", "Marek", "yuki", "SaveSmith"};

// The three regions with the product-code prefix of each.
constexpr struct {
  const char* prefix;
  int serialBase;
} kRegions[3] = {{"ULUS1", 1000}, {"ULES0", 3000}, {"ULJM0", 5000}};

std::string DateText(int year, int month, int day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

// Deterministic filler bytes for a demo save's data file.
std::string DataBytes(int seed, size_t size) {
  std::string bytes(size, '\0');
  uint32_t state = 2463534242u ^ static_cast<uint32_t>(seed);
  for (char& b : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    b = static_cast<char>(state);
  }
  return bytes;
}

// A PARAM.SFO as the stick's save list reads it: the title at its fixed place, in a field of
// the 128 bytes a real one gives it.
std::string DemoParamSfo(const std::string& title) {
  constexpr size_t kTitleOffset = kSaveTitleOffset, kTitleField = 128;
  std::string bytes(kTitleOffset + kTitleField, '\0');
  bytes.replace(0, 8, std::string("\0PSF\1\1\0\0", 8));
  const std::string shown = title.substr(0, kTitleField - 1);
  bytes.replace(kTitleOffset, shown.size(), shown);
  return bytes;
}

std::string FileBytes(const fs::path& path) {
  const WholeFile file = ReadWholeFile(path.string());
  if (!file.ok()) throw CatalogueError(file.error);
  return std::string(file.bytes.begin(), file.bytes.end());
}

bool SameLetters(std::string a, std::string b) {
  auto lower = [](std::string& s) {
    for (char& c : s)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  };
  lower(a);
  lower(b);
  return a == b;
}

// Letters, digits, "_", "-" and "." only: the form picture names take in addresses.
std::string PictureSafe(const std::string& text) {
  std::string out;
  for (unsigned char c : text)
    out += (std::isalnum(c) || c == '_' || c == '-') ? char(c) : '_';
  return out.substr(0, 100);
}

std::string TodayText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DateText(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace

std::string ReleaseFileName(int version, size_t bytes) {
  const size_t kilobytes = (bytes + 999) / 1000;
  return "pspkvx_upgrade_" + std::to_string(kilobytes) + "_" + std::to_string(version) + ".bin";
}

std::string AddRelease(ServiceDatabase& db, int version, const std::string& programBytes,
                       const UpgradeSecretKey* key) {
  if (version < 100 || version > 999)
    throw CatalogueError("the version must be a number from 100 to 999 (116 for 1.16)");
  const ContainerWriteResult release = MakeUpgradeContainer(std::span<const uint8_t>(
      reinterpret_cast<const uint8_t*>(programBytes.data()), programBytes.size()));
  if (!release.ok()) throw CatalogueError(release.error);
  const std::string container(release.container.begin(), release.container.end());
  std::string fileName = ReleaseFileName(version, container.size());
  std::string signature;
  if (key) {
    const std::vector<uint8_t> made = SignUpgrade(release.container, *key);
    if (made.empty()) throw CatalogueError("the release could not be signed (libsodium)");
    signature.assign(made.begin(), made.end());
  }
  db.AddRelease(version, fileName, container, signature);
  return fileName;
}

UpgradeSecretKey ReadSecretKeyFile(const std::string& path) {
  const WholeFile file = ReadWholeFile(path);
  if (!file.ok()) throw CatalogueError(file.error);
  const auto key = ParseSecretKeyText(
      std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()));
  if (!key) throw CatalogueError(path + " holds no secret key (128 hexadecimal digits)");
  return *key;
}

void FillDemoData(ServiceDatabase& db) {
  db.InTransaction([&] {
    int gameNumber = 0;
    for (int initial = 0; initial < 36; ++initial) {
      const std::string first = initial < 26 ? kLetterWords[initial] : kDigitWords[initial - 26];
      for (int region = 0; region < 3; ++region) {
        // Every fourth initial has a second US game, so some lists hold more than one game.
        const int games = (region == 0 && initial % 4 == 0) ? 2 : 1;
        for (int g = 0; g < games; ++g, ++gameNumber) {
          const std::string name =
              first + " " + kSecondWords[(initial + region + g * 3) % 6] + (g ? " II" : "");
          const std::string titleId =
              kRegions[region].prefix + std::to_string(kRegions[region].serialBase + gameNumber);
          const std::string picture = titleId + ".png";
          db.PutPicture(picture, MakeIconPng(titleId));
          const int64_t gameId = db.AddGame(
              name, titleId,
              DateText(2005 + gameNumber % 6, 1 + gameNumber % 12, 1 + gameNumber % 28), picture);
          const int saves = 1 + gameNumber % 3;
          for (int s = 0; s < saves; ++s) {
            const int n = gameNumber * 3 + s;
            const std::string folder = titleId + "SAVE0" + std::to_string(s);
            NewSave save;
            save.gameId = gameId;
            save.section =
                (s == saves - 1 && gameNumber % 3 == 2) ? kSectionCommunity : kSectionOfficial;
            save.name = kSaveNames[n % 5];
            save.description = kDescriptions[n % 5];
            save.author = kAuthors[n % 6];
            save.posted = DateText(2007 + n % 3, 1 + n % 12, 1 + n % 28);
            save.codeTitleId = titleId;
            save.rating = 40 + (n * 7) % 61;
            save.votes = 1 + (n * 5) % 40;
            save.container =
                SaveContainerFor(name + " - " + save.name, folder,
                                 {{"PARAM.SFO", DemoParamSfo(name)},
                                  {"ICON0.PNG", MakeIconPng(folder)},
                                  {"DATA.BIN", DataBytes(n + 1, 2048 + size_t(n % 7) * 1024)}});
            db.AddSave(save);
          }
        }
      }
    }
    AddRelease(db, ProgramVersion(), "PSPKVX demo upgrade program\n");
  });
}

int64_t ImportSaveFolder(ServiceDatabase& db, const ImportRequest& request) {
  std::string titleId = request.titleId;
  for (char& c : titleId)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (titleId.size() < 4 || titleId.size() > 16 ||
      !std::all_of(titleId.begin(), titleId.end(), [](unsigned char c) { return std::isalnum(c); }))
    throw CatalogueError("the title id must be 4 to 16 letters and digits, for example ULUS10041");
  if (!InitialOf(request.game))
    throw CatalogueError("the game name must begin with a letter or a digit");
  if (request.game.size() > 200) throw CatalogueError("the game name is longer than 200 bytes");

  // The folder's name becomes the save's folder on the stick and part of its picture's name.
  const SaveFolderOnDisk saveFolder = FindSaveFolder(request.folder);
  if (!saveFolder.ok()) throw CatalogueError(saveFolder.error);
  const fs::path folder = saveFolder.path;
  const std::string& folderName = saveFolder.name;
  std::error_code error;
  // The icon, and a first look at the size, from the folder's own files.
  std::string icon;
  uintmax_t total = 0;
  bool empty = true;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    empty = false;
    if (it->is_regular_file(error) && !it->is_symlink(error)) total += it->file_size(error);
    if (total > kMaxSaveBytes) throw CatalogueError(request.folder + " is larger than 200 MiB");
    if (it.depth() == 0 && SameLetters(it->path().filename().string(), "ICON0.PNG"))
      icon = FileBytes(it->path());
  }
  if (error) throw CatalogueError("cannot list " + request.folder + ": " + error.message());
  if (empty) throw CatalogueError(request.folder + " holds no files");
  const std::string saveName = request.name.empty() ? folderName : request.name;
  const std::string container = PackedSaveFolder(folder.string(), saveName);

  int64_t saveId = 0;
  db.InTransaction([&] {
    std::string picture;
    if (!icon.empty()) {
      picture = PictureSafe(titleId + "_" + folderName) + ".png";
      db.PutPicture(picture, icon);
    }
    const int64_t gameId = db.AddGame(request.game, titleId, TodayText(), picture);
    if (const auto game = db.GameByTitleId(titleId);
        game && game->picture.empty() && !picture.empty())
      db.SetGamePicture(gameId, picture);
    NewSave save;
    save.gameId = gameId;
    save.section = request.section;
    save.name = saveName;
    save.description = request.description;
    save.author = request.author;
    save.posted = TodayText();
    save.codeTitleId = titleId;
    save.picture = picture;
    save.container = container;
    saveId = db.AddSave(save);
  });
  return saveId;
}

}  // namespace pspkvx::service
