// PspStick: the PSP's memory stick as files. Every path on the stick is built from the
// detector's drive letter and the layout's folders (StickLayout.h); names already on the stick
// are found whatever their case, as the stick's FAT file system finds them.
//
// The counters of the last write are atomic and the last file sits behind a mutex, so any
// thread may write and the window may read them.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/Platform.h"
#include "psp/PspDrive.h"

namespace pspkvx {

class PspStick {
 public:
  PspStick(platform::Platform& platform, const CPspDrive& drive)
      : platform_(platform), drive_(drive) {}

  platform::Platform& Platform() const { return platform_; }
  const CPspDrive& Drive() const { return drive_; }

  // The root of the stick, with its trailing separator; empty with no mounted volume behind
  // the drive letter.
  std::string Root() const { return drive_.StickRoot(); }
  // The stick's folder of a kind (StickKind) as it is on the stick (an existing "PSP/PHOTO"
  // for "PSP/Photo"); empty without a volume or for a kind without a folder.
  std::string KindFolder(int kind) const;

  // The next free video name in the stick's MPEG-4 or AVC video folder; empty when source or
  // target is empty, or when every name is taken.
  std::string NextVideoNameFor(const std::string& source, const std::string& target,
                               bool avc) const;
  // The full path for a name of a content kind (StickKind), creating the kind's folder; empty
  // for an unknown kind, or for a video folder whose every name is taken. A name that is on the
  // stick in another case gives the existing file's path.
  std::string GetStickPath(int kind, const std::string& name) const;

  // Writes one file (write = 1) or creates one folder (write = 0) of a save on the stick.
  // name is UTF-16 as a save container stores it ("\\GAME\\DATA.BIN"); each character keeps
  // its low byte. A file or folder that exists in another case is the one written. Returns 0,
  // -1 (cannot be created, or a name that would leave its folder), -2 (short write: the file is
  // left as written) or -3 (empty name).
  int WriteToStick(const std::u16string& name, const void* data, uint64_t length, int write,
                   int kind, const std::string& baseFolder);
  // The path WriteToStick writes a save's name to below folder (name in its 8-bit form,
  // "\\GAME\\DATA.BIN"), as it is on the stick whatever its case; empty for a name that would
  // leave its folder.
  std::string FindSaveName(const std::string& name, const std::string& folder) const;

  // The bytes the last WriteToStick wrote.
  uint64_t Written() const { return m_nWritten.load(); }
  // The last file written, or the last folder prepared (with a trailing separator).
  std::string LastFile() const;

 private:
  void SetLastFile(const std::string& path);

  platform::Platform& platform_;
  const CPspDrive& drive_;
  std::atomic<uint64_t> m_nWritten{0};
  mutable std::mutex lastFileMutex_;
  std::string m_strLastFile;
};

}  // namespace pspkvx
