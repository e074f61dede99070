#include "media/CopyEngine.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "media/ExistingDestination.h"
#include "media/MediaTypes.h"
#include "psp/StickLayout.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;

constexpr size_t kLargestChunk = 524288;
constexpr size_t kFallbackChunk = 131072;
constexpr size_t kTrailerLimit = 40;
constexpr char kPartSuffix[] = ".pspkvx-part";

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool Stopping(const ManualResetEvent* stop) {
  return stop && stop->IsSet();
}

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

// Reports the percentage when it has grown by a whole percent since the last report.
class Progress {
 public:
  Progress(IMediaWindow& window, bool quiet) : window_(window), quiet_(quiet) {
    if (!quiet_) window_.SetProgress(0);
  }
  void Copied(uint64_t copied, uint64_t total) {
    if (quiet_ || total == 0) return;
    const float percent = static_cast<float>(copied) / static_cast<float>(total) * 100.0f;
    if (percent - reported_ < 1.0f) return;
    reported_ = percent;
    window_.SetProgress(static_cast<int>(percent));
  }
  void Done() {
    if (!quiet_) window_.SetProgress(100);
  }

 private:
  IMediaWindow& window_;
  bool quiet_;
  float reported_ = 0;
};

}  // namespace

size_t CopyChunkSize(uint64_t sourceSize) {
  size_t chunk = kLargestChunk;
  while (20 * static_cast<uint64_t>(chunk) > sourceSize && chunk > 2)
    chunk /= 2;
  return chunk;
}

std::string ThumbnailTrailer(const std::string& displayName) {
  return ("Name:" + displayName).substr(0, kTrailerLimit);
}

CopyOutcome CopyFileToStick(const MediaStick& stick, const CopyRequest& request) {
  CopyOutcome outcome;
  const bool video = request.kind == StickMpeg4Video || request.kind == StickAvcVideo;
  if (!video && request.name.empty()) return {CopyCannotCreate, ""};
  if (request.source.empty()) return {CopySourceUnreadable, ""};
  outcome.destination = stick.files.GetStickPath(request.kind, request.name);
  if (outcome.destination.empty()) return {CopyCannotCreate, ""};
  if (Stopping(request.stop)) return {CopyStopped, outcome.destination};

  std::error_code error;
  const uint64_t size = fs::file_size(request.source, error);
  File source(error ? nullptr : std::fopen(request.source.c_str(), "rb"));
  if (!source) return {CopySourceUnreadable, outcome.destination};

  const bool exists = fs::exists(fs::symlink_status(outcome.destination, error));
  if (exists) {
    std::optional<std::string> chosen =
        AskExistingDestination(stick, outcome.destination, outcome.destination);
    if (!chosen) return {CopySkipped, outcome.destination};
    outcome.destination = std::move(*chosen);
  }
  platform::Platform& files = stick.platform;
  MakeFolders(files, platform::FolderOfPath(outcome.destination));
  // Without room for the new file beside the old one, the old one goes first.
  if (fs::exists(fs::symlink_status(outcome.destination, error))) {
    stick.drive.RefreshFreeSpace();
    if (stick.drive.StoredFreeBytes() < size + request.trailer.size())
      RemoveQuietly(outcome.destination);
  }
  const std::string part = outcome.destination + kPartSuffix;
  File target(std::fopen(part.c_str(), "wb"));
  if (!target) return {CopyCannotCreate, outcome.destination};
  auto fail = [&](int result) {
    target.reset();
    RemoveQuietly(part);
    return CopyOutcome{result, outcome.destination};
  };

  Progress progress(stick.window, request.quiet);
  std::vector<char> buffer;
  try {
    buffer.resize(CopyChunkSize(size));
  } catch (const std::bad_alloc&) {
    try {
      buffer.resize(kFallbackChunk);
    } catch (const std::bad_alloc&) {
      return fail(CopyNoBuffer);
    }
  }
  for (uint64_t copied = 0; copied < size;) {
    if (Stopping(request.stop)) return fail(CopyStopped);
    const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), size - copied));
    // A source that ends early or fails to read is not a whole copy.
    if (std::fread(buffer.data(), 1, want, source.get()) != want) return fail(CopySourceUnreadable);
    if (std::fwrite(buffer.data(), 1, want, target.get()) != want) return fail(CopyStickFull);
    copied += want;
    progress.Copied(copied, size);
  }
  if (!request.trailer.empty() && std::fwrite(request.trailer.data(), 1, request.trailer.size(),
                                              target.get()) != request.trailer.size())
    return fail(CopyStickFull);
  // Bytes the system could not write back on closing are not on the stick.
  if (std::fclose(target.release()) != 0) {
    RemoveQuietly(part);
    return {CopyStickFull, outcome.destination};
  }
  fs::rename(part, outcome.destination, error);
  if (error) {
    RemoveQuietly(part);
    return {CopyCannotCreate, outcome.destination};
  }
  progress.Done();
  return outcome;
}

SendOutcome SendToStick(const MediaStick& stick, const SendRequest& request) {
  SendOutcome outcome;
  const MediaEntry& entry = request.entry;
  stick.window.SetProgress(0);
  std::string status = StringOf(IDS_COPYING_TO_PSP) + "\"" + entry.name + "\"";
  stick.window.SetStatusText(status);

  const bool converted = !request.convertedFile.empty();
  std::error_code error;
  const uint64_t size = converted ? fs::file_size(request.convertedFile, error)
                                  : static_cast<uint64_t>(std::max<int64_t>(entry.size, 0));
  const uint64_t free = stick.drive.GetFreeBytes();
  if (size > free) {
    ShowMessage(stick.host,
                FormatString(IDS_NOT_ENOUGH_SPACE, {FormatSize(free), FormatSize(size)}));
    stick.window.SetStatusText("");
    if (converted) RemoveQuietly(request.convertedFile);
    return {SendNoRoom, "", ""};
  }

  CopyRequest copy;
  copy.stop = request.stop;
  CopyOutcome copied;
  if (request.kind == MediaVideo) {
    copy.kind = request.avc ? StickAvcVideo : StickMpeg4Video;
    const std::string next = stick.files.NextVideoNameFor(entry.path, entry.name, request.avc);
    if (next.empty()) {
      ShowMessage(stick.host, StringOf(IDS_VIDEO_NAMES_EXHAUSTED));
      stick.window.SetStatusText("");
      if (converted) RemoveQuietly(request.convertedFile);
      return {SendFailed, "", ""};
    }
    stick.window.SetStatusText(status.substr(0, 50) + " to " + next);
    copy.source = converted ? request.convertedFile : entry.path;
    copied = CopyFileToStick(stick, copy);
    if (copied.result == CopyDone) {
      outcome.destination = copied.destination;
      // The thumbnail made beside the video on the PC (beside the converted file, for a
      // conversion) goes beside it on the stick.
      const std::string thumbnail = VideoThumbnailPath(copy.source);
      CopyRequest thumb;
      thumb.source = thumbnail;
      thumb.name = copied.destination.substr(0, copied.destination.size() - 3) + "thm";
      thumb.kind = StickFullPath;
      thumb.stop = request.stop;
      thumb.trailer = ThumbnailTrailer(entry.name);
      thumb.quiet = true;
      if (!thumbnail.empty() && fs::is_regular_file(thumbnail, error) &&
          CopyFileToStick(stick, thumb).result == CopyDone)
        outcome.thumbnail = thumb.name;
    }
    if (converted) RemoveQuietly(request.convertedFile);
  } else {
    copy.kind = request.kind == MediaPhoto ? StickPhotos : StickMusic;
    copy.name = request.subfolder.empty() ? entry.name
                                          : request.subfolder + platform::kPathSep + entry.name;
    copy.source = entry.path;
    copied = CopyFileToStick(stick, copy);
    if (copied.result == CopyDone) outcome.destination = copied.destination;
  }

  stick.drive.RefreshFreeSpace();
  stick.window.SetStatusText("");
  switch (copied.result) {
    case CopyDone:
      return outcome;
    case CopyStopped:
      return {SendSkipped, "", ""};
    case CopySkipped:
      // The file that was there, kept.
      return {SendSkipped, copied.destination, ""};
    case CopySourceUnreadable:
      ShowMessage(stick.host, StringOf(IDS_OPEN_FILE_FAILED) + "\r\n" + entry.path);
      break;
    case CopyCannotCreate:
      ShowMessage(stick.host, StringOf(IDS_CANNOT_CREATE_ON_STICK) + "\r\n" + entry.name);
      break;
    case CopyStickFull:
      ShowMessage(stick.host, StringOf(IDS_STICK_FULL_COPY_FAILED) + "\r\n" + entry.name);
      break;
    default:
      ShowMessage(stick.host,
                  FormatString(IDS_STICK_UNKNOWN_WRITE_ERROR, {copied.result, size, 0}));
      break;
  }
  return {SendFailed, "", ""};
}

bool IsAvcMp4(const platform::Platform& platform, const std::string& path) {
  const auto head = platform.ReadFilePart(path, 0, 144);
  return head && head->size() == 144 && head->compare(140, 3, "avc") == 0;
}

}  // namespace pspkvx
