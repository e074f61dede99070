// A fresh temporary folder per test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace pspkvx::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path + "/" + name
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

// Whole-file helpers for fixtures.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

}  // namespace pspkvx::test
