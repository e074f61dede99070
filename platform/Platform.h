// The operating-system layer: the only code that talks to the system beyond the C++ standard
// library. One interface, one implementation per system (*_linux.cpp, *_windows.cpp), chosen by
// the build. Callers receive a Platform& and never ask the system themselves, so tests can hand
// them a scripted fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

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
};

// The implementation for the system the program was built for.
std::unique_ptr<Platform> CreatePlatform();

// Scheduling priority of the calling thread: -1 below normal, 0 normal, 2 highest. Best effort:
// a priority the process may not take is silently left as it is.
void SetCurrentThreadPriority(int priority);

// Replaces the file at path with the given bytes so that a reader sees either the old file or
// the whole new one: the bytes go to a temporary file in the same folder, are flushed to disk,
// and the temporary file is renamed over the old one. On failure the old file is untouched and
// no temporary file is left behind.
bool ReplaceFileAtomically(const std::string& path, const void* data, size_t size);

// Plain concatenation with the platform's separator ("a" + sep + "b").
std::string JoinPath(const std::string& folder, const std::string& name);
// The part of a path before its last separator, or the whole path when it has none.
std::string FolderOfPath(const std::string& path);
// The file name without folder and extension ("/x/PSPKVX.exe" -> "PSPKVX").
std::string BaseNameOfPath(const std::string& path);

}  // namespace pspkvx::platform
