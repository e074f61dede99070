// CPspDrive: the PSP detector. It decides, poll after poll, whether a PSP in "USB Connection"
// mode is attached and on which drive letter its memory stick is, and keeps the stick's free
// and total bytes. Every path on the stick is built from its drive letter (PspStick).
//
// Poll runs on the detection thread only; the getters and ProbeCurrentDrive run on the window
// thread and other workers without a lock, so every field they share is atomic. The configuration's
// SearchForPsp and PspDriveLetter are read (and the letter written) through std::atomic_ref, so the
// record itself stays a plain structure.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "app/AppConfig.h"
#include "base/MessageBox.h"
#include "platform/Platform.h"

namespace pspkvx {

enum PspState : int {
  PspSearching = 0,  // searching, or lost
  PspReady = 2,
  PspNotFound = 5,
};

inline constexpr char kFirstPspLetter = 'D';  // A, B and C are never tried
inline constexpr char kLastPspLetter = 'Z';
inline constexpr int kRecheckPolls = 3;
inline constexpr int kLettersPerPoll9x = 5;
// Sticks are accepted below 2 TiB, the largest FAT32 volume (the PSP reads only FAT).
inline constexpr uint64_t kMaxStickBytes = uint64_t(1) << 41;
inline constexpr size_t kMaxDevicePathLength = 999;
inline constexpr char kWriteTestFileName[] = "pspkvx_temp_fil_36569.tmp";

// Drive probes in progress, process-wide (the window reacts only while it is 0).
extern std::atomic<int> g_nProbeCount;

class CPspDrive {
 public:
  // osFamily: the start-up classification (platform::OsFamilyValue). The Windows 95/98/ME
  // family looks for the PSP's folders and writes a test file; every other family asks the USB
  // device list and checks volume geometry.
  CPspDrive(platform::Platform& platform, AppConfig& config, uint32_t osFamily);

  // One detection step. Detection thread only; an overlapping call returns at once.
  void Poll();

  bool IsReady() const { return m_nState.load() == PspReady; }
  // The stored values while ready, else 0.
  uint64_t GetTotalBytes() const { return IsReady() ? m_nTotalBytes.load() : 0; }
  uint64_t GetFreeBytes() const { return IsReady() ? m_nFreeBytes.load() : 0; }
  // Re-reads free and total bytes of the current drive: 0 when they are acceptable, else -1
  // with the free bytes set to 0.
  int RefreshFreeSpace();
  // ProbeDrive on the current letter, used for its side effect of refreshing the space.
  int ProbeCurrentDrive() { return ProbeDrive(m_cDrive.load()); }
  // No poll and no drive probe is running, so the state is stable.
  bool IsIdle() const;
  void SetState(int state) { m_nState.store(state); }

  // 0 when a PSP is among the USB devices, else -1. A call nested in another (process-wide)
  // returns -1 without looking.
  int UsbPspPresent();
  // 0 when the letter's volume is removable with 512-byte sectors and its space acceptable.
  int ProbeDrive(char letter);
  // The root holds a folder named exactly "PSP" or "mp_root".
  bool HasPspFolders(char letter) const;
  // 0 when a file can be created (and removed) in the root and the space is acceptable.
  int WriteTest(char letter);
  // One message box per present USB device path.
  void ShowUsbDevicePaths(IMessageBoxHost& host) const;
  // The USB device paths the detector reads, each cut to 999 characters.
  std::vector<std::string> UsbDevicePaths() const;

  // "%2.1fMb free (%iMb)" while ready, else empty.
  std::string FreeSpaceText() const;
  // The free-space bar's fill: the percentage of the stick in use (0 when not ready).
  int UsedPercent() const;

  // The configuration's PspDriveLetter, read as the detection thread writes it (atomically).
  char ConfiguredLetter() const;

  // The state (PspState; 1 is a state the window may set from outside).
  int State() const { return m_nState.load(); }
  // The letter the detector looks at, or found the PSP on.
  char DriveLetter() const { return m_cDrive.load(); }
  void SetDriveLetter(char letter) { m_cDrive.store(letter); }
  // The root of the drive letter's volume, with its trailing separator; empty when no volume
  // is mounted behind the letter.
  std::string StickRoot() const { return platform_.DriveRoot(m_cDrive.load()); }
  // The free and total bytes last read, whatever the state (GetFreeBytes: only while ready).
  uint64_t StoredFreeBytes() const { return m_nFreeBytes.load(); }
  uint64_t StoredTotalBytes() const { return m_nTotalBytes.load(); }
  // 1 once a search went through every letter without a find, until a PSP is accepted.
  int Wrapped() const { return m_bWrapped.load(); }

  // A poll holds the detector busy from TryBeginPoll (false: another poll runs) to EndPoll; the
  // window takes the state only while it is idle.
  bool TryBeginPoll();
  void EndPoll() { --m_nBusy; }

 private:
  void PollNt();
  void Poll9x();
  bool SearchMode() const;
  void SetConfiguredLetter(char letter);
  // Takes a letter as the PSP's (both families).
  void Accept(char letter);
  // The 9x family's check: folders or a write test.
  bool FoldersOrWriteTest(char letter);
  // Stores free and total bytes; true when free <= total and total is below the limit,
  // otherwise the free bytes become 0.
  bool StoreSpace(const platform::DiskSpace& space);

  platform::Platform& platform_;
  AppConfig& config_;
  const uint32_t osFamily_;

  // Atomic: read by every thread.
  std::atomic<int> m_nState{PspSearching};
  std::atomic<int> m_nBusy{0};  // polls in progress
  std::atomic<char> m_cDrive{kLastPspLetter};
  std::atomic<int> m_nRecheck{kRecheckPolls};
  std::atomic<uint64_t> m_nTotalBytes{0};
  std::atomic<uint64_t> m_nFreeBytes{0};
  std::atomic<int> m_bWrapped{0};
};

}  // namespace pspkvx
