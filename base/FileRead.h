// Reading a whole file that a user named or that the program keeps: the one reader, which says
// plainly why a path could not be read (nothing there, a folder, something that is not a plain
// file, a read error) and never waits on a pipe or a device.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace pspkvx {

enum class FileReadFailure {
  None,
  Missing,     // nothing is at the path
  Folder,      // a folder where a file was expected
  NotAFile,    // a pipe, a device, a socket
  TooLarge,    // more bytes than the caller takes
  Unreadable,  // it cannot be opened or read
};

struct WholeFile {
  std::vector<uint8_t> bytes;
  FileReadFailure failure = FileReadFailure::None;
  // Why it could not be read, naming the path ("cannot open x.bin: there is no such file");
  // empty on success.
  std::string error;
  bool ok() const { return failure == FileReadFailure::None; }
};

// The whole content of the file at path (symbolic links are followed), read in one piece.
WholeFile ReadWholeFile(const std::string& path,
                        uint64_t maxBytes = std::numeric_limits<uint64_t>::max());

}  // namespace pspkvx
