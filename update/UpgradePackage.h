// The upgrade package: the file "upgrade" that PSPKVX downloads into its program folder and
// starts. It is the updater program with the release's files appended:
//
//   [updater program, S-N-4 bytes][payload, N bytes][N: 32-bit little-endian]
//
// The payload is one LZMA-alone stream (properties byte, 32-bit dictionary size, 64-bit
// uncompressed size, compressed data); decompressed it is the archive, file records one after
// the other and nothing else: [L: 32-bit length][name + NUL][L bytes]. An archive ends where its
// last record ends, so an empty payload (N = 0) is an empty archive.
//
// Everything read here comes from a download: a payload is decoded and every record checked
// (bare names, lengths inside the archive, sizes within limits) before a caller writes a file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "saves/ContainerWriter.h"
#include "update/UpgradeFile.h"

namespace pspkvx {

// The payload as packages are made: lc 3, lp 0, pb 2 and an 8 MiB dictionary.
inline constexpr uint8_t kPayloadProperties = 0x5D;
inline constexpr uint32_t kPayloadDictionaryBytes = uint32_t(8) << 20;
inline constexpr size_t kPayloadHeaderBytes = 13;
// The largest archive a payload may decompress to; a header declaring more is refused unread.
inline constexpr uint64_t kMaxArchiveBytes = uint64_t(512) << 20;
// The longest name of an archive record (without its NUL): a file is written under its name
// plus ".XXXXXX" first, and that must fit the 255 bytes a file system allows.
inline constexpr size_t kMaxArchiveNameBytes = 248;

// Why a name cannot be the name of an archive record (BareNameProblem, or longer than
// kMaxArchiveNameBytes), in words that follow the name; empty when it can.
std::string ArchiveNameProblem(std::string_view name);

// One file of an archive, as a package is made from it.
struct ArchiveFile {
  std::string name;  // a bare file name (BareNameProblem)
  std::vector<uint8_t> bytes;
};

// Bytes that were made, or why they were not.
struct PackageBytes {
  std::vector<uint8_t> bytes;
  std::string error;  // empty on success
  bool ok() const { return error.empty(); }
};

// The archive of the files in the given order. Refused: a name that is not a bare name or is
// longer than kMaxArchiveNameBytes, a name given twice, a file of 4 GiB or more, an archive
// larger than kMaxArchiveBytes.
PackageBytes EncodeArchive(std::span<const ArchiveFile> files);
// The payload of archive bytes taken as they are (the tests compress hostile archives with it):
// the 13-byte header with kPayloadProperties, kPayloadDictionaryBytes and the size, then the
// LZMA data without an end marker.
PackageBytes CompressPayload(std::span<const uint8_t> archive);
// updater + payload + the payload's length word.
std::vector<uint8_t> AssemblePackage(std::span<const uint8_t> updater,
                                     std::span<const uint8_t> payload);
// EncodeArchive, CompressPayload and AssemblePackage in one.
PackageBytes BuildUpgradePackage(std::span<const uint8_t> updater,
                                 std::span<const ArchiveFile> files);

enum class PackageProblem {
  None,
  NoLengthWord,    // shorter than the 4-byte length word
  PayloadTooLong,  // N is larger than S-4
  BadHeader,       // shorter than the payload header, or a header liblzma refuses
  TooLarge,        // the declared size is above the limit
  Undecodable,     // the compressed data is damaged or cut short
  BadRecord,       // a record's name or length breaks the archive's rules
};

// A record of a decoded archive: its name and where its bytes lie in the archive.
struct ArchiveEntry {
  std::string name;
  size_t offset = 0;
  size_t size = 0;
};

struct ArchiveReading {
  PackageProblem problem = PackageProblem::None;
  std::string reason;                 // why it was refused, in words; empty when sound
  std::vector<uint8_t> archive;       // the decompressed archive (when sound)
  std::vector<ArchiveEntry> entries;  // its records in order (when sound)
  bool ok() const { return problem == PackageProblem::None; }
  std::span<const uint8_t> DataOf(const ArchiveEntry& entry) const {
    return std::span<const uint8_t>(archive).subspan(entry.offset, entry.size);
  }
};

// The payload of a package (a view into it): the N bytes before the length word. Sets problem
// and reason when the package has no length word or N does not fit.
struct PayloadView {
  std::span<const uint8_t> payload;
  PackageProblem problem = PackageProblem::None;
  std::string reason;
  bool ok() const { return problem == PackageProblem::None; }
};
PayloadView TakePayload(std::span<const uint8_t> package);

// The records of decompressed archive bytes, every one checked: a name that is not a bare name
// (or longer than kMaxArchiveNameBytes), a name without its NUL, a length word or data that runs
// past the end, and a name given twice are refused.
ArchiveReading ReadArchive(std::vector<uint8_t> archive);
// The payload decompressed (the header's size checked against maxBytes before anything is
// decoded; an unknown size counts as above it) and read with ReadArchive. An empty payload is an
// empty archive.
ArchiveReading DecodePayload(std::span<const uint8_t> payload,
                             uint64_t maxBytes = kMaxArchiveBytes);
// TakePayload and DecodePayload in one.
ArchiveReading ReadUpgradePackage(std::span<const uint8_t> package,
                                  uint64_t maxBytes = kMaxArchiveBytes);

// The release container the service serves for a package: one folder record "\PSPKVX" and one
// file record "\PSPKVX\upgrade" holding the package, which PSPKVX takes out with
// ReadUpgradeProgram (UpgradeFile.h).
ContainerWriteResult MakeUpgradeContainer(std::span<const uint8_t> package);

}  // namespace pspkvx
