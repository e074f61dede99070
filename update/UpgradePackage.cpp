#include "update/UpgradePackage.h"

#include <lzma.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string_view>

#include "base/LittleEndian.h"
#include "base/Names.h"
#include "platform/Platform.h"

// The payload is written without an end marker, its size in the header: LZMA1EXT (liblzma 5.4)
// is the raw LZMA1 encoder that can leave the marker out.
#ifndef LZMA_FILTER_LZMA1EXT
#error "liblzma 5.4 or later is needed (LZMA_FILTER_LZMA1EXT)"
#endif

namespace pspkvx {
namespace {

// The decoder's memory: an 8 MiB dictionary needs a little more than that; a header asking for
// far more is refused instead of being given gigabytes.
constexpr uint64_t kDecoderMemoryLimit = uint64_t(256) << 20;
// Decoded bytes are taken in growing steps, so that a header that declares a large size but
// carries little data never makes the whole size be allocated.
constexpr size_t kFirstOutputStep = size_t(1) << 20;

PackageBytes Refused(std::string error) {
  PackageBytes refused;
  refused.error = std::move(error);
  return refused;
}

ArchiveReading Refused(PackageProblem problem, std::string reason) {
  ArchiveReading refused;
  refused.problem = problem;
  refused.reason = std::move(reason);
  return refused;
}

uint64_t ReadLe64(const uint8_t* p) {
  return uint64_t(ReadLe32(p)) | uint64_t(ReadLe32(p + 4)) << 32;
}

void WriteLe64(uint8_t* p, uint64_t value) {
  WriteLe32(p, static_cast<uint32_t>(value));
  WriteLe32(p + 4, static_cast<uint32_t>(value >> 32));
}

std::string Quoted(std::string_view name) {
  return "\"" + std::string(name) + "\"";
}

}  // namespace

std::string ArchiveNameProblem(std::string_view name) {
  if (name.size() > kMaxArchiveNameBytes)
    return "is longer than " + std::to_string(kMaxArchiveNameBytes) + " bytes";
  return BareNameProblem(name);
}

PackageBytes EncodeArchive(std::span<const ArchiveFile> files) {
  uint64_t total = 0;
  std::set<std::string> names;
  for (const ArchiveFile& file : files) {
    if (auto problem = ArchiveNameProblem(file.name); !problem.empty())
      return Refused("the name " + Quoted(file.name) + " " + problem);
    if (!names.insert(platform::PathKey(file.name)).second)
      return Refused("the name " + Quoted(file.name) + " is given twice");
    if (file.bytes.size() > UINT32_MAX) return Refused(Quoted(file.name) + " is 4 GiB or larger");
    total += 4 + file.name.size() + 1 + file.bytes.size();
    if (total > kMaxArchiveBytes)
      return Refused("the files come to more than " + std::to_string(kMaxArchiveBytes >> 20) +
                     " MiB");
  }
  PackageBytes archive;
  archive.bytes.reserve(static_cast<size_t>(total));
  for (const ArchiveFile& file : files) {
    uint8_t length[4];
    WriteLe32(length, static_cast<uint32_t>(file.bytes.size()));
    archive.bytes.insert(archive.bytes.end(), length, length + 4);
    archive.bytes.insert(archive.bytes.end(), file.name.begin(), file.name.end());
    archive.bytes.push_back(0);
    archive.bytes.insert(archive.bytes.end(), file.bytes.begin(), file.bytes.end());
  }
  return archive;
}

PackageBytes CompressPayload(std::span<const uint8_t> archive) {
  lzma_options_lzma options{};
  if (lzma_lzma_preset(&options, LZMA_PRESET_DEFAULT)) return Refused("liblzma has no preset");
  options.dict_size = kPayloadDictionaryBytes;
  options.lc = 3;
  options.lp = 0;
  options.pb = 2;
  options.ext_flags = 0;  // no end marker: the header carries the size
  const lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_raw_encoder(&stream, filters) != LZMA_OK)
    return Refused("the LZMA encoder cannot be set up");

  PackageBytes payload;
  std::vector<uint8_t>& out = payload.bytes;
  out.resize(kPayloadHeaderBytes + archive.size() + archive.size() / 8 + 4096);
  out[0] = kPayloadProperties;
  WriteLe32(&out[1], kPayloadDictionaryBytes);
  WriteLe64(&out[5], archive.size());
  stream.next_in = archive.data();
  stream.avail_in = archive.size();
  stream.next_out = out.data() + kPayloadHeaderBytes;
  stream.avail_out = out.size() - kPayloadHeaderBytes;
  lzma_ret result = LZMA_OK;
  while (result == LZMA_OK) {
    if (stream.avail_out == 0) {
      const size_t used = out.size();
      out.resize(used * 2);
      stream.next_out = out.data() + used;
      stream.avail_out = out.size() - used;
    }
    result = lzma_code(&stream, LZMA_FINISH);
  }
  const size_t produced = kPayloadHeaderBytes + static_cast<size_t>(stream.total_out);
  lzma_end(&stream);
  if (result != LZMA_STREAM_END) return Refused("the LZMA encoder failed");
  out.resize(produced);
  return payload;
}

std::vector<uint8_t> AssemblePackage(std::span<const uint8_t> updater,
                                     std::span<const uint8_t> payload) {
  std::vector<uint8_t> package;
  package.reserve(updater.size() + payload.size() + 4);
  package.insert(package.end(), updater.begin(), updater.end());
  package.insert(package.end(), payload.begin(), payload.end());
  uint8_t length[4];
  WriteLe32(length, static_cast<uint32_t>(payload.size()));
  package.insert(package.end(), length, length + 4);
  return package;
}

PackageBytes BuildUpgradePackage(std::span<const uint8_t> updater,
                                 std::span<const ArchiveFile> files) {
  PackageBytes archive = EncodeArchive(files);
  if (!archive.ok()) return archive;
  PackageBytes payload = CompressPayload(archive.bytes);
  if (!payload.ok()) return payload;
  if (payload.bytes.size() > UINT32_MAX) return Refused("the payload is 4 GiB or larger");
  PackageBytes package;
  package.bytes = AssemblePackage(updater, payload.bytes);
  return package;
}

PayloadView TakePayload(std::span<const uint8_t> package) {
  PayloadView view;
  if (package.size() < 4) {
    view.problem = PackageProblem::NoLengthWord;
    view.reason = "the package is shorter than its length word";
    return view;
  }
  const uint64_t length = ReadLe32(package.data() + package.size() - 4);
  const uint64_t room = package.size() - 4;
  if (length > room) {
    view.problem = PackageProblem::PayloadTooLong;
    view.reason = "the payload length " + std::to_string(length) + " is larger than the " +
                  std::to_string(room) + " bytes before it";
    return view;
  }
  view.payload = package.subspan(static_cast<size_t>(room - length), static_cast<size_t>(length));
  return view;
}

ArchiveReading ReadArchive(std::vector<uint8_t> archive) {
  ArchiveReading reading;
  std::set<std::string> names;
  const size_t size = archive.size();
  for (size_t offset = 0; offset < size;) {
    const std::string at = " at offset " + std::to_string(offset);
    if (size - offset < 4)
      return Refused(PackageProblem::BadRecord,
                     "the length word of the record" + at + " runs past the end of the archive");
    const uint64_t length = ReadLe32(archive.data() + offset);
    const size_t nameStart = offset + 4;
    const size_t searched = std::min(size - nameStart, kMaxArchiveNameBytes + 1);
    const uint8_t* nameBegin = archive.data() + nameStart;
    const uint8_t* nul = std::find(nameBegin, nameBegin + searched, uint8_t{0});
    if (nul == nameBegin + searched)
      return Refused(
          PackageProblem::BadRecord,
          "the name of the record" + at +
              (searched <= kMaxArchiveNameBytes
                   ? std::string(" has no NUL before the end of the archive")
                   : " is longer than " + std::to_string(kMaxArchiveNameBytes) + " bytes"));
    const std::string name(reinterpret_cast<const char*>(nameBegin),
                           static_cast<size_t>(nul - nameBegin));
    if (auto problem = ArchiveNameProblem(name); !problem.empty())
      return Refused(PackageProblem::BadRecord,
                     "the name " + Quoted(name) + " of the record" + at + " " + problem);
    if (!names.insert(platform::PathKey(name)).second)
      return Refused(PackageProblem::BadRecord,
                     "the name " + Quoted(name) + " of the record" + at + " comes twice");
    const size_t dataStart = nameStart + name.size() + 1;
    if (length > size - dataStart)
      return Refused(PackageProblem::BadRecord, "the record " + Quoted(name) + at + " holds " +
                                                    std::to_string(length) + " bytes, but only " +
                                                    std::to_string(size - dataStart) + " follow");
    reading.entries.push_back({name, dataStart, static_cast<size_t>(length)});
    offset = dataStart + static_cast<size_t>(length);
  }
  reading.archive = std::move(archive);
  return reading;
}

ArchiveReading DecodePayload(std::span<const uint8_t> payload, uint64_t maxBytes) {
  if (payload.empty()) return ReadArchive({});
  if (payload.size() < kPayloadHeaderBytes)
    return Refused(
        PackageProblem::BadHeader,
        "the payload is shorter than its " + std::to_string(kPayloadHeaderBytes) + "-byte header");
  const uint64_t declared = ReadLe64(payload.data() + 5);
  if (declared > maxBytes)
    return Refused(PackageProblem::TooLarge,
                   declared == UINT64_MAX
                       ? std::string("the payload does not declare its size")
                       : "the payload declares " + std::to_string(declared) +
                             " bytes, more than the " + std::to_string(maxBytes) + " allowed");

  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_alone_decoder(&stream, kDecoderMemoryLimit) != LZMA_OK)
    return Refused(PackageProblem::BadHeader, "the LZMA decoder cannot be set up");
  // One byte more than the bytes expected: the decoder never stalls for want of room.
  std::vector<uint8_t> archive(static_cast<size_t>(std::min<uint64_t>(declared, kFirstOutputStep)) +
                               1);
  stream.next_in = payload.data();
  stream.avail_in = payload.size();
  stream.next_out = archive.data();
  stream.avail_out = archive.size();
  lzma_ret result = LZMA_OK;
  while (result == LZMA_OK) {
    if (stream.avail_out == 0) {
      const size_t used = archive.size();
      archive.resize(static_cast<size_t>(std::min<uint64_t>(declared, uint64_t(used) * 2)) + 1);
      stream.next_out = archive.data() + used;
      stream.avail_out = archive.size() - used;
    }
    result = lzma_code(&stream, LZMA_FINISH);
  }
  const uint64_t decoded = stream.total_out;
  archive.resize(static_cast<size_t>(std::min<uint64_t>(decoded, archive.size())));
  const size_t left = stream.avail_in;
  lzma_end(&stream);
  switch (result) {
    case LZMA_STREAM_END:
      break;
    case LZMA_FORMAT_ERROR:
    case LZMA_OPTIONS_ERROR:
      return Refused(PackageProblem::BadHeader, "liblzma refuses the payload's header");
    case LZMA_MEMLIMIT_ERROR:
      return Refused(PackageProblem::BadHeader, "the payload's dictionary is too large");
    case LZMA_BUF_ERROR:
      return Refused(PackageProblem::Undecodable, "the compressed data ends after " +
                                                      std::to_string(decoded) + " of " +
                                                      std::to_string(declared) + " bytes");
    default:
      return Refused(PackageProblem::Undecodable, "the compressed data is damaged");
  }
  if (decoded != declared)
    return Refused(PackageProblem::Undecodable, "the compressed data gives " +
                                                    std::to_string(decoded) + " bytes, not " +
                                                    std::to_string(declared));
  if (left != 0)
    return Refused(PackageProblem::Undecodable,
                   std::to_string(left) + " bytes follow the compressed data");
  return ReadArchive(std::move(archive));
}

ArchiveReading ReadUpgradePackage(std::span<const uint8_t> package, uint64_t maxBytes) {
  const PayloadView view = TakePayload(package);
  if (!view.ok()) return Refused(view.problem, view.reason);
  return DecodePayload(view.payload, maxBytes);
}

ContainerWriteResult MakeUpgradeContainer(std::span<const uint8_t> package) {
  const std::string_view data(reinterpret_cast<const char*>(package.data()), package.size());
  return WriteContainer("PSPKVX upgrade", {{kRecordFolder, "\\PSPKVX", {}},
                                           {kRecordFile, "\\PSPKVX\\upgrade", data}});
}

}  // namespace pspkvx
