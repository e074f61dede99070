// The operating-system layer: the only code that talks to the system beyond the C++ standard
// library. One interface, one implementation per system (*_linux.cpp, *_windows.cpp), chosen by
// the build. Callers receive a Platform& and never ask the system themselves, so tests can hand
// them a scripted fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pspkvx::platform {

#ifdef _WIN32
inline constexpr char kPathSep = '\\';
#else
inline constexpr char kPathSep = '/';
#endif

// Operating-system family as the program classifies it at start-up.
enum OsFamilyValue : uint32_t {
  kOsOther = 0,  // neither of the two below
  kOsWin9x = 1,  // Windows 95/98/ME: PSP detection looks for folders and writes a test file
  kOsNt = 2,     // Windows NT family: PSP detection enumerates USB devices and checks geometry
};

// Held by the first running instance for the life of the process.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // Called (on a platform thread) when a later start asks this instance to come forward.
  // A request that arrived before a handler was set is delivered when one is set.
  // Passing an empty function removes the handler; once this returns, it is no longer called.
  virtual void SetRaiseHandler(std::function<void()> handler) = 0;
};

// Media types as a volume's disk geometry reports them (the Windows MEDIA_TYPE values).
enum MediaTypeValue : int {
  kMediaUnknown = 0,
  kMediaRemovable = 11,  // RemovableMedia
  kMediaFixed = 12,      // FixedMedia
};

struct VolumeGeometry {
  int mediaType = kMediaUnknown;
  uint32_t bytesPerSector = 0;
};

// Free space as the calling user may use it, and the volume's size, in bytes.
struct DiskSpace {
  uint64_t freeBytes = 0;
  uint64_t totalBytes = 0;
};

struct FolderEntry {
  std::string name;  // without the folder
  bool isFolder = false;
};

// What a path names, as a directory entry tells it.
enum class PathKind {
  File,
  Folder,
  Other,  // a symbolic link (never followed), a device, a pipe...
};

struct PathStatus {
  PathKind kind = PathKind::Other;
  uint64_t size = 0;         // bytes of a file; 0 otherwise
  int64_t modifiedTime = 0;  // seconds since 1970-01-01 00:00 UTC
};

class Platform {
 public:
  virtual ~Platform() = default;

  // The family value start-up stores (see OsFamilyValue).
  virtual uint32_t OsFamily() const = 0;
  // Full path of the running program file; empty when the system cannot tell.
  virtual std::string ProgramPath() const = 0;
  virtual std::string CurrentDirectory() const = 0;
  // The user's documents folder, without a trailing separator.
  virtual std::string DocumentsFolder() const = 0;

  // Single instance, named by the program's base name. Returns null when another process
  // already holds the lock.
  virtual std::unique_ptr<InstanceLock> AcquireInstanceLock(const std::string& name) = 0;
  // Asks the instance holding the lock to bring its window forward; false if none answered.
  virtual bool AskRunningInstanceToRaise(const std::string& name) = 0;

  // USB devices and volumes, named the way the program names them.
  //
  // The device-interface path of every present USB device, in the Windows form
  // "\\?\usb#vid_054c&pid_01c8#SERIAL#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", in a stable
  // order (on Windows: the SetupAPI enumeration of GUID_DEVINTERFACE_USB_DEVICE).
  virtual std::vector<std::string> UsbDeviceInterfacePaths() const = 0;
  // The root of the volume behind a drive letter ('A'..'Z'), with a trailing separator
  // ("E:\\" on Windows, a mount point such as "/media/ann/PSP/" elsewhere); empty when the
  // letter names no mounted volume.
  virtual std::string DriveRoot(char letter) const = 0;
  // The geometry of the volume behind a letter; none when it cannot be opened or queried.
  virtual std::optional<VolumeGeometry> QueryVolumeGeometry(char letter) const = 0;
  // Free and total bytes of the volume holding path; none when the system cannot tell.
  virtual std::optional<DiskSpace> QueryDiskSpace(const std::string& path) const = 0;

  // Files and folders (plain operations; every failure is a false or empty answer).
  //
  // Creates an empty file, truncating one that exists.
  virtual bool CreateEmptyFile(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  // Creates one folder (its parent must exist); false also when it already exists.
  virtual bool CreateFolder(const std::string& path) = 0;
  // The entries of a folder, without "." and ".."; empty when it cannot be read.
  virtual std::vector<FolderEntry> ListFolder(const std::string& path) const = 0;
  // Creates or truncates the file and writes the bytes. Returns the number of bytes written
  // (fewer than size when the volume refused the rest), or none when the file cannot be
  // created. The file is closed either way.
  virtual std::optional<uint64_t> WriteWholeFile(const std::string& path, const void* data,
                                                 uint64_t size) = 0;
  // What is at path, without following a symbolic link; none when nothing is there.
  virtual std::optional<PathStatus> QueryPath(const std::string& path) const = 0;
  // Up to maxBytes of a file from offset on (fewer at its end, none past it: an empty text);
  // none when the file cannot be opened or read.
  virtual std::optional<std::string> ReadFilePart(const std::string& path, uint64_t offset,
                                                  size_t maxBytes) const = 0;
  // Removes an empty folder.
  virtual bool RemoveFolder(const std::string& path) = 0;
  // Renames a file or folder within its volume; false (and nothing changed) when something
  // already is at the new path.
  virtual bool MovePath(const std::string& from, const std::string& to) = 0;
};

// The implementation for the system the program was built for, with the simulated PSP of
// PSPKVX_SIMULATED_PSP when that variable names a folder (see SimulatedPsp.h).
std::unique_ptr<Platform> CreatePlatform();
// The system's own implementation alone.
std::unique_ptr<Platform> CreateSystemPlatform();

// Scheduling priority of the calling thread: -1 below normal, 0 normal, 2 highest. Best effort:
// a priority the process may not take is silently left as it is.
void SetCurrentThreadPriority(int priority);

// A time (seconds since 1970 UTC) as the local calendar shows it; none when the system cannot
// convert it.
std::optional<std::tm> LocalTime(int64_t seconds);

// The status of a path on the PC's own disks, links followed, in one system call: for walking
// the user's own files, where no Platform object is at hand. None when nothing is there.
std::optional<PathStatus> QueryLocalPath(const std::string& path);

// QueryLocalPath for many paths in a row, such as a list of files read back or a folder being
// walked: the folder of the last path stays open, so the paths of one folder are looked up by
// their names alone instead of walking the folder's path again for each.
class LocalPathQuery {
 public:
  LocalPathQuery() = default;
  ~LocalPathQuery();
  LocalPathQuery(const LocalPathQuery&) = delete;
  LocalPathQuery& operator=(const LocalPathQuery&) = delete;
  std::optional<PathStatus> operator()(const std::string& path);

 private:
  std::string folder_;
  int folderHandle_ = -1;
};

// Who may read a file that ReplaceFileAtomically writes.
enum class FileAccess {
  Kept,       // the permissions of the file replaced; a new file gets rw-r--r--
  OwnerOnly,  // rw------- whatever the file replaced had (files holding secrets)
  Program,    // rwxr-xr-x: a program that is started (the updater)
};

// Replaces the file at path with the given bytes so that a reader sees either the old file or
// the whole new one: the bytes go to a temporary file in the same folder, are flushed to disk,
// and the temporary file is renamed over the old one. On failure the old file is untouched and
// no temporary file is left behind. With FileAccess::OwnerOnly the temporary file is owner-only
// from its creation on, so the new bytes are never readable by others, not even for a moment.
bool ReplaceFileAtomically(const std::string& path, const void* data, size_t size,
                           FileAccess access = FileAccess::Kept);

// The two halves of ReplaceFileAtomically, for replacing several files together so that every
// new file is written before the first old one is replaced. WriteFileBeside writes the bytes to
// a temporary file in path's folder (flushed, with the permissions access gives) and returns
// its path; none, and nothing left behind, when it cannot. PutFileInPlace renames such a file
// over path and makes the rename durable; when it returns false the temporary file is still
// there for the caller to remove.
std::optional<std::string> WriteFileBeside(const std::string& path, const void* data, size_t size,
                                           FileAccess access = FileAccess::Kept);
bool PutFileInPlace(const std::string& temporary, const std::string& path);

// Whether a program file could be opened for writing right now, found without changing it:
// nothing is created, truncated or written, and an opened file is closed at once.
enum class WriteProbe {
  Writable,  // it opened for writing
  Missing,   // nothing is there
  InUse,     // a running program holds it (Linux: ETXTBSY; Windows: a sharing violation)
  Refused,   // it cannot be opened for another reason (permissions, a folder, a pipe)
};
WriteProbe ProbeWritableWithoutChange(const std::string& path);

// Server sockets, for the saves service. SetListeningSocketOptions sets a server socket's
// options before it is bound (socket is the system's socket handle): its address may be bound
// again at once after a server that used it has stopped, but never while another socket listens
// on it, so that a second server on a port in use fails instead of sharing the port.
void SetListeningSocketOptions(uintptr_t socket);
// Sets a listening socket's backlog, the connections that may wait to be accepted.
void SetListenBacklog(uintptr_t socket, int backlog);
// Forgets the calling thread's last socket error, before a bind whose failure is to be told.
void ClearLastSocketError();
// Why the calling thread's last bind or listen failed, in words that follow "cannot listen on
// ADDRESS:PORT: " ("the port is in use"); empty when no error was recorded.
std::string LastListenErrorText();

// Whether two paths name the same file as the system compares names: letter case counts on
// Linux, not on Windows.
bool SamePath(const std::string& a, const std::string& b);
// The path as that comparison sees it: equal keys for the same file (an index's key).
std::string PathKey(const std::string& path);

// Plain concatenation with the platform's separator ("a" + sep + "b").
std::string JoinPath(const std::string& folder, const std::string& name);
// The part of a path before its last separator, or the whole path when it has none.
std::string FolderOfPath(const std::string& path);
// The file name without folder and extension ("/x/PSPKVX.exe" -> "PSPKVX").
std::string BaseNameOfPath(const std::string& path);

// The class GUID of USB device interfaces (GUID_DEVINTERFACE_USB_DEVICE), as paths carry it.
inline constexpr char kUsbDeviceInterfaceGuid[] = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
// A device-interface path of the Windows form for a USB device:
// "\\?\usb#vid_VVVV&pid_PPPP#INSTANCE#{a5dcbf10-...}" (hex in lower case). Characters of the
// instance that such a path cannot carry ('#', spaces, control and non-ASCII bytes) become '_'.
std::string UsbDeviceInterfacePath(uint16_t vendor, uint16_t product, const std::string& instance);

}  // namespace pspkvx::platform
