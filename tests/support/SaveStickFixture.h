// A ready PSP whose memory stick is a temporary folder, for the tests of the saves on it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/AppConfig.h"
#include "psp/PspDrive.h"
#include "psp/PspStick.h"
#include "saves/SaveStick.h"
#include "support/FakePlatform.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace pspkvx::test {

// Every entry below a folder by its relative path ("a/b"): a file's Digest, or "<folder>".
using Tree = std::map<std::string, std::string>;
Tree TreeOf(const std::string& folder);
// A file's bytes as a tree shows them: up to 64 bytes as they are, longer ones as their size
// and hash (so that a failing comparison prints readably).
std::string Digest(const std::string& bytes);

// Files of a folder to create: relative path -> bytes, or "<folder>" (folders along the way are
// made).
void MakeFiles(const std::string& folder, const Tree& files);

// Sets a file's or folder's modification time (seconds since 1970 UTC).
void SetModifiedTime(const std::string& path, int64_t time);
// 2005-01-15 19:03:09 UTC, 14:03:09 in EST5.
inline constexpr int64_t kJanuary15th2005 = 1105815789;
// A PARAM.SFO whose title field at offset 4784 holds the given bytes.
std::string ParamSfo(const std::string& title);

// A container held as a received buffer: its 32-bit length, then its bytes.
std::vector<uint8_t> InBuffer(const std::vector<uint8_t>& container);

class SaveStickTest : public ::testing::Test {
 protected:
  static constexpr uint64_t kTotalBytes = uint64_t(1) << 30;
  static constexpr uint64_t kFreeBytes = uint64_t(1) << 29;

  SaveStickTest();

  void SetFreeBytes(uint64_t free);
  std::string SaveData() const;  // the stick's PSP/SAVEDATA
  std::string SavePath(const std::string& folder) const;
  // A save folder on the stick with the given files.
  void MakeSave(const std::string& folder, const Tree& files) {
    MakeFiles(SavePath(folder), files);
  }
  SaveStick Stick() { return Stick(host_); }
  SaveStick Stick(IMessageBoxHost& host) { return {platform_, drive_, files_, host}; }

  TempDir dir_;
  std::string root_;
  FakePlatform platform_;
  AppConfig config_{};
  CPspDrive drive_{platform_, config_, platform::kOsNt};
  PspStick files_{platform_, drive_};
  ScriptedHost host_;
};

}  // namespace pspkvx::test
