#include "base/FileRead.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace pspkvx {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

WholeFile Failed(FileReadFailure failure, std::string error) {
  WholeFile file;
  file.failure = failure;
  file.error = std::move(error);
  return file;
}

std::string Reason(int error) {
  return std::generic_category().message(error);
}

// What is at path, before it is opened: a failure when it is not a plain file.
WholeFile CheckInputFile(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status)) {
    if (error && error != std::errc::no_such_file_or_directory)
      return Failed(FileReadFailure::Unreadable, "cannot read " + path + ": " + error.message());
    return Failed(FileReadFailure::Missing, "cannot open " + path + ": there is no such file");
  }
  if (fs::is_directory(status))
    return Failed(FileReadFailure::Folder, "cannot open " + path + ": it is a folder, not a file");
  // Opening a pipe or a device could wait for ever, or never end.
  if (!fs::is_regular_file(status))
    return Failed(FileReadFailure::NotAFile, "cannot open " + path + ": it is not a plain file");
  return {};
}

}  // namespace

WholeFile ReadWholeFile(const std::string& path, uint64_t maxBytes) {
  if (WholeFile problem = CheckInputFile(path); !problem.ok()) return problem;

  std::error_code error;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file)
    return Failed(FileReadFailure::Unreadable, "cannot open " + path + ": " + Reason(errno));
  const uintmax_t size = fs::file_size(path, error);
  if (error)
    return Failed(FileReadFailure::Unreadable, "cannot read " + path + ": " + error.message());
  if (size > maxBytes)
    return Failed(FileReadFailure::TooLarge, "cannot read " + path + ": it is larger than " +
                                                 std::to_string(maxBytes) + " bytes");

  WholeFile whole;
  try {
    whole.bytes.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return Failed(FileReadFailure::TooLarge,
                  "cannot read " + path + ": it is too large to hold in memory");
  }
  // One read for the size the file had; a file that grew meanwhile is read to its end.
  size_t got = std::fread(whole.bytes.data(), 1, whole.bytes.size(), file.get());
  if (got == whole.bytes.size()) {
    char more[65536];
    size_t n = 0;
    while ((n = std::fread(more, 1, sizeof more, file.get())) > 0) {
      if (whole.bytes.size() + n > maxBytes)
        return Failed(FileReadFailure::TooLarge, "cannot read " + path + ": it is larger than " +
                                                     std::to_string(maxBytes) + " bytes");
      whole.bytes.insert(whole.bytes.end(), more, more + n);
    }
    got = whole.bytes.size();
  }
  if (std::ferror(file.get()))
    return Failed(FileReadFailure::Unreadable, "cannot read " + path + ": " + Reason(errno));
  whole.bytes.resize(got);  // a file that shrank meanwhile ends where it ended
  return whole;
}

std::string InputFileProblem(const std::string& path) {
  return CheckInputFile(path).error;
}

std::string FolderProblem(const std::string& path, bool missingIsFine) {
  if (path.empty()) return "no folder was named (the name is empty)";
  const std::string what = "cannot open folder " + path + ": ";
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error == std::errc::not_a_directory) return what + "a part of its path is not a folder";
  if (error && error != std::errc::no_such_file_or_directory) return what + error.message();
  if (!fs::exists(status)) return missingIsFine ? "" : what + "there is no such folder";
  if (fs::is_directory(status)) return "";
  if (fs::is_regular_file(status)) return what + "it is a file, not a folder";
  return what + "it is not a folder";
}

std::string OutputFileProblem(const std::string& path) {
  if (path.empty()) return "no file was named (the name is empty)";
  const std::string what = "cannot write " + path + ": ";
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  // A missing folder on the way ("file/x") is said of that folder below.
  if (error && error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory)
    return what + error.message();
  if (fs::is_directory(status)) return what + "it is a folder, not a file";
  // Replacing a pipe or a device by a plain file would not be what its owner meant.
  if (fs::exists(status) && !fs::is_regular_file(status)) return what + "it is not a plain file";
  if (fs::exists(status)) return "";
  const fs::path folder = fs::path(path).parent_path();
  if (folder.empty()) return "";
  const fs::file_status folderStatus = fs::status(folder, error);
  if (!fs::exists(folderStatus)) return what + "there is no folder " + folder.string();
  if (!fs::is_directory(folderStatus)) return what + folder.string() + " is not a folder";
  return "";
}

}  // namespace pspkvx
