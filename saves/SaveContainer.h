// The save container: how game saves travel between the online saves service and PSPKVX.
//
// Layout (little-endian; offsets count from the first container byte):
//   0     4     RecordChecksum of bytes 4..N-1 in their unscrambled form
//   4     10    "PSPSAVE" and three version digits ("PSPSAVE001")
//   14    ...   the save's title, UTF-16LE, NUL-terminated; the rest of the 4416-byte header
//               is not interpreted
//   4416  ...   the body: records one after another, scrambled (ContainerScramble.h)
// A record is a kind byte (0 folder, 1 file), for a file a 32-bit data length L, a 520-byte
// UTF-16LE name (at most 259 characters and a NUL, zero-padded) and for a file its L data
// bytes: 521 bytes for a folder record, 525 + L for a file record. Names begin with a
// backslash and are relative to the stick's "PSP\SAVEDATA": "\" + save folder for the folder
// record, "\" + save folder + "\" + file name for a file. Records are walked while the offset
// is below N - 4 (up to four trailing bytes are not a record).
//
// A container arrives from the network: every reader here stays inside the bytes it is given,
// whatever they hold.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pspkvx {

inline constexpr size_t kContainerHeaderSize = 4416;
inline constexpr size_t kContainerMagicOffset = 4;
inline constexpr size_t kContainerMagicSize = 10;
inline constexpr char kContainerMagic[] = "PSPSAVE001";
inline constexpr size_t kContainerTitleOffset = 14;
inline constexpr size_t kRecordNameBytes = 520;
inline constexpr size_t kRecordNameMaxChars = 259;
inline constexpr size_t kFolderRecordSize = 1 + kRecordNameBytes;
inline constexpr size_t kFileRecordHeadSize = 1 + 4 + kRecordNameBytes;

enum ContainerRecordKind : uint8_t {
  kRecordFolder = 0,
  kRecordFile = 1,
};

// CheckContainer results.
enum ContainerCheck : int {
  kContainerValid = 0,
  kContainerNewerVersion = -1,  // the version digits are above "001"
  kContainerChecksumMismatch = -2,
  kContainerNotAContainer = -3,  // no "PSPSAVE", or shorter than its header
};

// The container inside a received buffer: a 32-bit little-endian length N followed by the N
// container bytes. Empty when the buffer is too short for its length field or for N.
std::optional<std::span<uint8_t>> ContainerInBuffer(std::span<uint8_t> buffer);

// Checks a stored (scrambled) container: the magic, the version, then unscrambles the body
// and compares the checksum. Leaves the body unscrambled when it returns kContainerValid or
// kContainerChecksumMismatch; untouched otherwise.
int CheckContainer(std::span<uint8_t> container);

// One record of an unscrambled body, read by NextRecord.
struct ContainerRecord {
  uint8_t kind = 0;
  uint32_t length = 0;  // data bytes of a file record; 0 for any other kind
  // The name reduced to 8 bits by keeping the low byte of each UTF-16 character, up to the
  // first NUL character (or the end of the 520-byte field).
  std::string name;
  bool nameTerminated = false;    // a NUL character ended the name inside its field
  std::span<const uint8_t> data;  // the file's bytes, inside the container
  size_t size = 0;                // bytes the record takes
};

// Reads the record that starts at offset. A kind other than 0 and 1 is read as a record of
// length 0 (its kind byte and a name). Empty when the record does not lie wholly inside the
// container; never reads outside it.
std::optional<ContainerRecord> NextRecord(std::span<const uint8_t> container, size_t offset);

// True while a record may start at offset (offset + 4 < N).
inline bool RecordMayStartAt(std::span<const uint8_t> container, size_t offset) {
  return offset + 4 < container.size();
}

// The title of a header, UTF-16LE at offset 14 up to its NUL (or the header's end), as UTF-8;
// an unpaired surrogate becomes U+FFFD.
std::string ContainerTitle(std::span<const uint8_t, kContainerHeaderSize> header);

// The last component of a record name: the text after its last "\", "/" or ":".
std::string LastNameComponent(const std::string& name);

}  // namespace pspkvx
