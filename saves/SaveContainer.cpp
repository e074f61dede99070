#include "saves/SaveContainer.h"

#include <cstring>

#include "base/LittleEndian.h"
#include "base/RecordChecksum.h"
#include "saves/ContainerScramble.h"

namespace pspkvx {
namespace {

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::optional<std::span<uint8_t>> ContainerInBuffer(std::span<uint8_t> buffer) {
  if (buffer.size() < 4) return std::nullopt;
  const uint32_t n = ReadLe32(buffer.data());
  if (n > buffer.size() - 4) return std::nullopt;
  return buffer.subspan(4, n);
}

int CheckContainer(std::span<uint8_t> container) {
  // A container is never shorter than its header; such bytes are not one.
  if (container.size() < kContainerHeaderSize ||
      std::memcmp(container.data() + kContainerMagicOffset, kContainerMagic, 7) != 0)
    return kContainerNotAContainer;
  if (std::memcmp(container.data() + kContainerMagicOffset, kContainerMagic, kContainerMagicSize) >
      0)
    return kContainerNewerVersion;
  // RecordChecksum of bytes 4..N-1, the body summed as it is unscrambled.
  uint32_t sum = 0;
  for (size_t k = 4; k < kContainerHeaderSize; ++k)
    sum = RecordChecksumStep(sum, container[k]);
  sum = UnscrambleBodyAndSum(container.data() + kContainerHeaderSize,
                             container.size() - kContainerHeaderSize, sum);
  return (sum ^ kRecordChecksumXor) == ReadLe32(container.data()) ? kContainerValid
                                                                  : kContainerChecksumMismatch;
}

std::optional<ContainerRecord> NextRecord(std::span<const uint8_t> container, size_t offset) {
  if (offset >= container.size()) return std::nullopt;
  const size_t left = container.size() - offset;
  const uint8_t* at = container.data() + offset;
  ContainerRecord record;
  record.kind = at[0];
  size_t nameAt = 1;
  if (record.kind == kRecordFile) {
    if (left < kFileRecordHeadSize) return std::nullopt;
    record.length = ReadLe32(at + 1);
    if (record.length > left - kFileRecordHeadSize) return std::nullopt;
    nameAt = 5;
    record.size = kFileRecordHeadSize + record.length;
    record.data = container.subspan(offset + kFileRecordHeadSize, record.length);
  } else {
    if (left < kFolderRecordSize) return std::nullopt;
    record.size = kFolderRecordSize;
  }
  for (size_t k = 0; k < kRecordNameBytes; k += 2) {
    const uint8_t low = at[nameAt + k];
    const uint8_t high = at[nameAt + k + 1];
    if (low == 0 && high == 0) {
      record.nameTerminated = true;
      break;
    }
    record.name += static_cast<char>(low);
  }
  return record;
}

std::string ContainerTitle(std::span<const uint8_t, kContainerHeaderSize> header) {
  std::string title;
  size_t k = kContainerTitleOffset;
  auto unitAt = [&](size_t at) { return static_cast<uint32_t>(header[at] | header[at + 1] << 8); };
  while (k + 1 < header.size()) {
    const uint32_t unit = unitAt(k);
    k += 2;
    if (unit == 0) break;
    if (unit >= 0xD800 && unit < 0xDC00 && k + 1 < header.size()) {
      const uint32_t low = unitAt(k);
      if (low >= 0xDC00 && low < 0xE000) {
        k += 2;
        AppendUtf8(title, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        continue;
      }
    }
    AppendUtf8(title, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
  }
  return title;
}

std::string LastNameComponent(const std::string& name) {
  const size_t cut = name.find_last_of("\\/:");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

}  // namespace pspkvx
