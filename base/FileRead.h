// Reading a whole file that a user named or that the program keeps: the one reader, which says
// plainly why a path could not be read (nothing there, a folder, something that is not a plain
// file, a read error) and never waits on a pipe or a device. Beside it, the same checks for a
// folder a user named and for a file about to be written.
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

// Why path cannot be opened as a plain file to read, in ReadWholeFile's words (nothing there, a
// folder, a pipe or a device), or empty when it can be. For readers that open the file
// themselves.
std::string InputFileProblem(const std::string& path);

// Why path cannot be used as a folder, naming it ("cannot open folder x: it is a file, not a
// folder"), or empty when it is one. An empty path is never a folder; a path with nothing there
// is one only when missingIsFine.
std::string FolderProblem(const std::string& path, bool missingIsFine);

// Why a file cannot be written (or replaced) at path, naming it: a folder or something that is
// not a plain file is there, or the folder it would go into is missing or not a folder. Empty
// when it can be.
std::string OutputFileProblem(const std::string& path);

}  // namespace pspkvx
