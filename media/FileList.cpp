#include "media/FileList.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "base/FileRead.h"
#include "base/LittleEndian.h"
#include "media/CatalogueAdd.h"
#include "platform/Platform.h"

namespace pspkvx {
namespace {

constexpr size_t kMagicSize = 10;
// A list of many thousands of files stays far below this; a larger file is not one of ours.
constexpr uint64_t kMaxFileListBytes = uint64_t(512) << 20;

// Reads a list file record by record; every read says whether the record went on.
class RecordReader {
 public:
  explicit RecordReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  std::optional<std::string> Line() {
    const auto* start = bytes_.data() + at_;
    const auto* end = bytes_.data() + bytes_.size();
    const auto* lf = static_cast<const uint8_t*>(std::memchr(start, '\n', end - start));
    if (!lf) return std::nullopt;
    std::string line(reinterpret_cast<const char*>(start), lf - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    at_ += static_cast<size_t>(lf - start) + 1;
    return line;
  }
  bool Take(void* out, size_t size) {
    if (bytes_.size() - at_ < size) return false;
    std::memcpy(out, bytes_.data() + at_, size);
    at_ += size;
    return true;
  }
  bool AtEnd() const { return at_ >= bytes_.size(); }
  void Skip(size_t size) { at_ += size; }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

void AppendLe(std::string& out, uint64_t value, int bytes) {
  for (int k = 0; k < bytes; ++k)
    out += static_cast<char>(value >> (8 * k));
}

}  // namespace

std::string FileListName(int kind) {
  switch (kind) {
    case 0:
      return "filelist video.fll";
    case 1:
      return "filelist music.fll";
    case 2:
      return "filelist images.fll";
    default:
      return "";
  }
}

int ParseFileList(std::span<const uint8_t> bytes, std::vector<MediaEntry>& records) {
  if (bytes.size() < kMagicSize) return FileListCannotOpen;
  if (std::memcmp(bytes.data(), kFileListMagic, kMagicSize) != 0) return FileListWrongMagic;
  if (bytes.size() < kMagicSize + 4) return FileListCannotOpen;
  if (ReadLe32(bytes.data() + kMagicSize) > kFileListVersion) return FileListNewerVersion;

  RecordReader reader(bytes);
  reader.Skip(kMagicSize + 4);
  while (!reader.AtEnd()) {
    MediaEntry record;
    const auto name = reader.Line();
    const auto recordPath = name ? reader.Line() : std::nullopt;
    uint8_t numbers[13];
    if (!recordPath || !reader.Take(numbers, sizeof numbers)) break;
    record.name = *name;
    record.path = *recordPath;
    record.size =
        static_cast<int64_t>(uint64_t(ReadLe32(numbers)) | uint64_t(ReadLe32(numbers + 4)) << 32);
    record.modified = ReadLe32(numbers + 8);
    record.attributes = numbers[12];
    records.push_back(std::move(record));
  }
  return FileListLoaded;
}

int LoadFileList(MediaCatalogue& catalogue, const std::string& path) {
  const WholeFile file = ReadWholeFile(path, kMaxFileListBytes);
  if (!file.ok()) return FileListCannotOpen;
  std::vector<MediaEntry> stored;
  if (const int result = ParseFileList(file.bytes, stored); result != FileListLoaded) return result;
  std::vector<MediaEntry> loaded;
  platform::LocalPathQuery query;
  for (MediaEntry& record : stored) {
    // A file that is gone is dropped; one that is there tells its size and time as they are.
    const auto now = EntryOfFile(record.path, query);
    if (!now) continue;
    record.size = now->size;
    record.modified = now->modified;
    loaded.push_back(std::move(record));
  }
  catalogue.Edit([&](std::vector<MediaEntry>& entries) {
    for (MediaEntry& entry : loaded)
      entries.push_back(std::move(entry));
  });
  return FileListLoaded;
}

bool SaveFileList(const MediaCatalogue& catalogue, const std::string& path) {
  std::string bytes(kFileListMagic, kMagicSize);
  AppendLe(bytes, kFileListVersion, 4);
  for (const MediaEntry& entry : catalogue.Entries()) {
    if (entry.name.empty()) break;
    bytes += entry.name + "\r\n" + entry.path + "\r\n";
    AppendLe(bytes, static_cast<uint64_t>(entry.size), 8);
    AppendLe(bytes, entry.modified, 4);
    bytes += static_cast<char>(entry.attributes);
  }
  return platform::ReplaceFileAtomically(path, bytes.data(), bytes.size());
}

std::vector<uint32_t> LoadRatedList(const std::string& path) {
  const WholeFile file = ReadWholeFile(path, kMaxFileListBytes);
  std::vector<uint32_t> values;
  if (!file.ok() || file.bytes.empty() || file.bytes.size() % 4 != 0) return values;
  for (size_t at = 0; at < file.bytes.size(); at += 4)
    values.push_back(ReadLe32(file.bytes.data() + at));
  return values;
}

bool SaveRatedList(const std::vector<uint32_t>& values, const std::string& path) {
  if (values.empty()) return true;
  std::string bytes;
  for (const uint32_t value : values)
    AppendLe(bytes, value, 4);
  return platform::ReplaceFileAtomically(path, bytes.data(), bytes.size());
}

}  // namespace pspkvx
