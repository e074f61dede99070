#include "saves/ContainerWriter.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>

#include "base/FileRead.h"
#include "base/LittleEndian.h"
#include "base/Names.h"
#include "base/RecordChecksum.h"
#include "saves/ContainerScramble.h"
#include "saves/ContainerValidation.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxTitleUnits = (kContainerHeaderSize - kContainerTitleOffset) / 2 - 1;

// The UTF-16 units of a UTF-8 text, or nothing when it is not well-formed UTF-8.
std::optional<std::u16string> Utf16OfUtf8(const std::string& text) {
  std::u16string out;
  for (size_t k = 0; k < text.size();) {
    const auto lead = static_cast<unsigned char>(text[k]);
    const size_t extra = lead < 0x80           ? 0
                         : (lead >> 5) == 0x06 ? 1
                         : (lead >> 4) == 0x0E ? 2
                         : (lead >> 3) == 0x1E ? 3
                                               : 4;
    if (extra == 4 || extra >= text.size() - k) return std::nullopt;
    uint32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (size_t n = 1; n <= extra; ++n) {
      const auto next = static_cast<unsigned char>(text[k + n]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = c << 6 | (next & 0x3F);
    }
    static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return std::nullopt;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    k += 1 + extra;
  }
  return out;
}

// Header bytes with the magic and the title (already checked to fit).
void LayOutHeader(std::vector<uint8_t>& container, const std::u16string& title) {
  container.assign(kContainerHeaderSize, 0);
  std::memcpy(container.data() + kContainerMagicOffset, kContainerMagic, kContainerMagicSize);
  for (size_t k = 0; k < title.size(); ++k) {
    container[kContainerTitleOffset + 2 * k] = static_cast<uint8_t>(title[k]);
    container[kContainerTitleOffset + 2 * k + 1] = static_cast<uint8_t>(title[k] >> 8);
  }
}

size_t RecordSize(ContainerRecordKind kind, size_t length) {
  return kind == kRecordFile ? kFileRecordHeadSize + length : kFolderRecordSize;
}

// Appends a record's head (kind, length, name); a file's data follows it.
void AppendRecordHead(std::vector<uint8_t>& container, ContainerRecordKind kind,
                      const std::string& name, size_t length) {
  const size_t at = container.size();
  const bool file = kind == kRecordFile;
  container.resize(at + (file ? kFileRecordHeadSize : kFolderRecordSize), 0);
  container[at] = kind;
  if (file) WriteLe32(container.data() + at + 1, static_cast<uint32_t>(length));
  uint8_t* field = container.data() + at + (file ? 5 : 1);
  for (size_t k = 0; k < name.size(); ++k)
    field[2 * k] = static_cast<uint8_t>(name[k]);
}

std::string RecordProblem(const SaveRecordSource& record) {
  if (record.kind != kRecordFolder && record.kind != kRecordFile)
    return "the record kind must be 0 (folder) or 1 (file)";
  if (record.name.size() > kRecordNameMaxChars)
    return "the name \"" + record.name + "\" is longer than 259 characters";
  if (record.kind == kRecordFile && record.data.size() > UINT32_MAX)
    return "the file \"" + record.name + "\" is 4 GiB or larger";
  return {};
}

ContainerWriteResult Refused(std::string error) {
  return {{}, std::move(error)};
}

// Checks what was laid out as a reader will, then seals it.
ContainerWriteResult Finish(std::vector<uint8_t> container) {
  const ContainerVerdict verdict = ValidateContainerRecords(container);
  if (!verdict.ok()) return Refused(verdict.detail);
  SealContainer(container);
  return {std::move(container), {}};
}

// A record found on disk, read into the container once all sizes are known.
struct DiskRecord {
  SaveRecordSource record;
  fs::path path;
  uintmax_t size = 0;
};

std::string ListFolder(const fs::path& folder, const std::string& name,
                       std::vector<DiskRecord>& out) {
  out.push_back({{kRecordFolder, name, {}}, folder, 0});
  std::error_code error;
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    entries.push_back(it->path());
  if (error) return "cannot list " + folder.string() + ": " + error.message();
  std::sort(entries.begin(), entries.end(),
            [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
  for (const auto& entry : entries) {
    const std::string entryName = name + "\\" + entry.filename().string();
    const fs::file_status status = fs::symlink_status(entry, error);
    if (error) return "cannot read " + entry.string() + ": " + error.message();
    if (fs::is_directory(status)) {
      if (auto problem = ListFolder(entry, entryName, out); !problem.empty()) return problem;
    } else if (fs::is_regular_file(status)) {
      const uintmax_t size = fs::file_size(entry, error);
      if (error) return "cannot read " + entry.string() + ": " + error.message();
      out.push_back({{kRecordFile, entryName, {}}, entry, size});
    } else {
      return "cannot pack " + entry.string() + ": it is neither a file nor a folder";
    }
  }
  return {};
}

// The file's bytes, when it still has the size it had when it was listed.
std::optional<std::vector<uint8_t>> FileOfSize(const fs::path& path, uintmax_t size) {
  WholeFile file = ReadWholeFile(path.string(), size);
  if (!file.ok() || file.bytes.size() != size) return std::nullopt;
  return std::move(file.bytes);
}

}  // namespace

std::string ContainerTitleProblem(const std::string& title) {
  const auto units = Utf16OfUtf8(title);
  if (!units) return "the title is not UTF-8 text";
  if (units->find(u'\0') != std::u16string::npos) return "the title holds a NUL character";
  if (units->size() > kMaxTitleUnits) return "the title is longer than 2200 UTF-16 characters";
  return {};
}

ContainerWriteResult WriteContainer(const std::string& title,
                                    const std::vector<SaveRecordSource>& records) {
  if (auto problem = ContainerTitleProblem(title); !problem.empty()) return Refused(problem);
  size_t total = kContainerHeaderSize;
  for (const auto& record : records) {
    if (auto problem = RecordProblem(record); !problem.empty()) return Refused(problem);
    total += RecordSize(record.kind, record.data.size());
  }
  std::vector<uint8_t> container;
  container.reserve(total);
  LayOutHeader(container, *Utf16OfUtf8(title));
  for (const auto& record : records) {
    AppendRecordHead(container, record.kind, record.name, record.data.size());
    if (record.kind == kRecordFile)
      container.insert(container.end(), record.data.begin(), record.data.end());
  }
  return Finish(std::move(container));
}

SaveFolderOnDisk FindSaveFolder(const std::string& folderPath) {
  SaveFolderOnDisk found;
  std::error_code error;
  fs::path folder = folderPath.empty() ? fs::path() : fs::absolute(folderPath, error);
  folder = folder.lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();  // a trailing separator
  if (folder.empty() || error || !fs::is_directory(folder, error)) {
    found.error = folderPath + " is not a folder";
    return found;
  }
  found.path = folder.string();
  found.name = folder.filename().string();
  if (auto problem = BareNameProblem(found.name); !problem.empty())
    found.error = folderPath + " does not name a save folder: its name " + problem;
  return found;
}

ContainerWriteResult PackSaveFolder(const std::string& folderPath, const std::string& title) {
  if (auto problem = ContainerTitleProblem(title); !problem.empty()) return Refused(problem);
  const SaveFolderOnDisk saveFolder = FindSaveFolder(folderPath);
  if (!saveFolder.ok()) return Refused(saveFolder.error);
  const fs::path folder = saveFolder.path;

  std::vector<DiskRecord> found;
  if (auto problem = ListFolder(folder, "\\" + saveFolder.name, found); !problem.empty())
    return Refused(problem);
  size_t total = kContainerHeaderSize;
  for (const auto& entry : found) {
    if (entry.size > UINT32_MAX) return Refused(entry.path.string() + " is 4 GiB or larger");
    if (auto problem = RecordProblem(entry.record); !problem.empty()) return Refused(problem);
    total += RecordSize(entry.record.kind, static_cast<size_t>(entry.size));
  }

  std::vector<uint8_t> container;
  container.reserve(total);
  LayOutHeader(container, *Utf16OfUtf8(title));
  for (const auto& entry : found) {
    const auto size = static_cast<size_t>(entry.size);
    AppendRecordHead(container, entry.record.kind, entry.record.name, size);
    if (entry.record.kind != kRecordFile) continue;
    const auto bytes = FileOfSize(entry.path, entry.size);
    if (!bytes)
      return Refused("cannot read " + entry.path.string() + " (it changed or is unreadable)");
    container.insert(container.end(), bytes->begin(), bytes->end());
  }
  return Finish(std::move(container));
}

void SealContainer(std::span<uint8_t> container) {
  if (container.size() < kContainerHeaderSize) return;
  WriteLe32(container.data(), RecordChecksum(container.data() + 4, container.size() - 4));
  ScrambleBody(container.data() + kContainerHeaderSize, container.size() - kContainerHeaderSize);
}

}  // namespace pspkvx
