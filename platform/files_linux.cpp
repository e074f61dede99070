#include "platform/files_linux.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace pspkvx::platform {
namespace {

// Writes as much as the system takes; returns the number of bytes written.
uint64_t WriteAvailable(int fd, const void* data, uint64_t size) {
  const char* p = static_cast<const char*>(data);
  uint64_t written = 0;
  while (written < size) {
    const ssize_t n = ::write(fd, p + written, size - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<uint64_t>(n);
  }
  return written;
}

bool WriteAll(int fd, const void* data, size_t size) {
  return WriteAvailable(fd, data, size) == size;
}

int OpenForWriting(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

}  // namespace

std::optional<std::string> ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return text;
}

bool PosixCreateEmptyFile(const std::string& path) {
  const int fd = OpenForWriting(path);
  if (fd < 0) return false;
  return ::close(fd) == 0;
}

bool PosixRemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

bool PosixCreateFolder(const std::string& path) {
  return ::mkdir(path.c_str(), 0755) == 0;
}

std::vector<FolderEntry> PosixListFolder(const std::string& path) {
  std::vector<FolderEntry> entries;
  DIR* dir = ::opendir(path.c_str());
  if (!dir) return entries;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool isFolder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat st {};
      isFolder = ::stat(JoinPath(path, name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    entries.push_back({name, isFolder});
  }
  ::closedir(dir);
  return entries;
}

std::optional<uint64_t> PosixWriteWholeFile(const std::string& path, const void* data,
                                            uint64_t size) {
  const int fd = OpenForWriting(path);
  if (fd < 0) return std::nullopt;
  const uint64_t written = WriteAvailable(fd, data, size);
  // Bytes the system could not complete on close are not known to be on the volume.
  const bool closed = ::close(fd) == 0;
  return closed ? written : 0;
}

std::optional<DiskSpace> PosixDiskSpace(const std::string& path) {
  struct statvfs vfs {};
  if (path.empty() || ::statvfs(path.c_str(), &vfs) != 0) return std::nullopt;
  const uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
  return DiskSpace{uint64_t(vfs.f_bavail) * unit, uint64_t(vfs.f_blocks) * unit};
}

namespace {

// What stat tells of a path, as a PathStatus.
PathStatus StatusOf(const struct stat& st) {
  PathStatus status;
  status.modifiedTime = static_cast<int64_t>(st.st_mtime);
  if (S_ISREG(st.st_mode)) {
    status.kind = PathKind::File;
    status.size = static_cast<uint64_t>(st.st_size);
  } else if (S_ISDIR(st.st_mode)) {
    status.kind = PathKind::Folder;
  }
  return status;
}

// stat or lstat of a path as a PathStatus.
std::optional<PathStatus> StatusOf(const std::string& path,
                                   int (*query)(const char*, struct stat*)) {
  struct stat st {};
  if (path.empty() || query(path.c_str(), &st) != 0) return std::nullopt;
  return StatusOf(st);
}

}  // namespace

std::optional<PathStatus> PosixQueryPath(const std::string& path) {
  return StatusOf(path, ::lstat);
}

std::optional<PathStatus> QueryLocalPath(const std::string& path) {
  return StatusOf(path, ::stat);
}

LocalPathQuery::~LocalPathQuery() {
  if (folderHandle_ >= 0) ::close(folderHandle_);
}

std::optional<PathStatus> LocalPathQuery::operator()(const std::string& path) {
  const size_t cut = path.find_last_of('/');
  // A bare name, a path ending in a separator or one right under the root: the path as it is.
  if (cut == std::string::npos || cut == 0 || cut + 1 == path.size()) return QueryLocalPath(path);
  if (folder_.size() != cut || path.compare(0, cut, folder_) != 0) {
    if (folderHandle_ >= 0) ::close(folderHandle_);
    folder_ = path.substr(0, cut);
    folderHandle_ = ::open(folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  }
  if (folderHandle_ < 0) return QueryLocalPath(path);
  struct stat st {};
  if (::fstatat(folderHandle_, path.c_str() + cut + 1, &st, 0) != 0) return std::nullopt;
  return StatusOf(st);
}

std::optional<std::string> PosixReadFilePart(const std::string& path, uint64_t offset,
                                             size_t maxBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes(maxBytes, '\0');
  size_t got = 0;
  bool failed = false;
  while (got < maxBytes) {
    const ssize_t n =
        ::pread(fd, bytes.data() + got, maxBytes - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  if (failed) return std::nullopt;
  bytes.resize(got);
  return bytes;
}

bool PosixRemoveFolder(const std::string& path) {
  return ::rmdir(path.c_str()) == 0;
}

bool PosixMovePath(const std::string& from, const std::string& to) {
  // rename() would replace an existing file or empty folder; a move never replaces anything.
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0 || errno != ENOENT) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

std::optional<std::string> WriteFileBeside(const std::string& path, const void* data, size_t size,
                                           FileAccess access) {
  std::string temp = path + ".XXXXXX";
  // mkstemp creates the file rw------- (less with a strict umask): never more than owner-only.
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return std::nullopt;
  mode_t mode = access == FileAccess::Program ? 0755 : 0600;
  if (access == FileAccess::Kept) {
    // Keep the permissions of the file being replaced; a new file gets rw-r--r--.
    struct stat old {};
    mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  }
  // The mode is set before the bytes are written: what was owner-only stays so throughout.
  const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, data, size) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    ::unlink(temp.c_str());
    return std::nullopt;
  }
  return temp;
}

bool PutFileInPlace(const std::string& temporary, const std::string& path) {
  if (::rename(temporary.c_str(), path.c_str()) != 0) return false;
  // Make the rename itself durable.
  const std::string folder = FolderOfPath(path) == path ? "." : FolderOfPath(path);
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

bool ReplaceFileAtomically(const std::string& path, const void* data, size_t size,
                           FileAccess access) {
  const std::optional<std::string> temp = WriteFileBeside(path, data, size, access);
  if (!temp) return false;
  if (!PutFileInPlace(*temp, path)) {
    ::unlink(temp->c_str());
    return false;
  }
  return true;
}

WriteProbe ProbeWritableWithoutChange(const std::string& path) {
  // Neither O_CREAT nor O_TRUNC; O_NONBLOCK so that a pipe without a reader answers at once.
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    return WriteProbe::Writable;
  }
  if (errno == ENOENT) return WriteProbe::Missing;
  if (errno == ETXTBSY) return WriteProbe::InUse;
  return WriteProbe::Refused;
}

}  // namespace pspkvx::platform
