#include "psp/PspDrive.h"

#include <climits>

#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "psp/UsbIds.h"

namespace pspkvx {

std::atomic<int> g_nProbeCount{0};

namespace {

// Depth of UsbPspPresent calls, process-wide: only the outermost one looks.
std::atomic<int> g_nUsbCheckDepth{0};

// Counts one activity for as long as it lives.
class ScopedCount {
 public:
  explicit ScopedCount(std::atomic<int>& count) : count_(count) { ++count_; }
  ~ScopedCount() { --count_; }
  ScopedCount(const ScopedCount&) = delete;
  ScopedCount& operator=(const ScopedCount&) = delete;

 private:
  std::atomic<int>& count_;
};

}  // namespace

CPspDrive::CPspDrive(platform::Platform& platform, AppConfig& config, uint32_t osFamily)
    : platform_(platform), config_(config), osFamily_(osFamily) {}

bool CPspDrive::SearchMode() const {
  return std::atomic_ref<int32_t>(config_.SearchForPsp).load() != 0;
}

char CPspDrive::ConfiguredLetter() const {
  return std::atomic_ref<char>(config_.PspDriveLetter).load();
}

void CPspDrive::SetConfiguredLetter(char letter) {
  std::atomic_ref<char>(config_.PspDriveLetter).store(letter);
}

bool CPspDrive::IsIdle() const {
  return m_nBusy.load() == 0 && g_nProbeCount.load() == 0;
}

bool CPspDrive::TryBeginPoll() {
  if (m_nBusy.fetch_add(1) == 0) return true;
  --m_nBusy;
  return false;
}

void CPspDrive::Poll() {
  if (!TryBeginPoll()) return;
  if (osFamily_ == platform::kOsWin9x)
    Poll9x();
  else
    PollNt();
  EndPoll();
}

void CPspDrive::Accept(char letter) {
  m_nState = PspReady;
  SetConfiguredLetter(letter);
  m_nRecheck = kRecheckPolls;
  m_bWrapped = 0;
}

void CPspDrive::PollNt() {
  const bool search = SearchMode();
  if (m_nState == PspSearching || m_nState == PspNotFound) {
    if (!search) {
      m_cDrive = ConfiguredLetter();
      // Without the USB device the state is left as it was.
      if (UsbPspPresent() == 0) m_nState = ProbeDrive(m_cDrive) == 0 ? PspReady : PspNotFound;
    } else if (UsbPspPresent() != 0) {
      m_nState = PspNotFound;
    } else {
      bool found = false;
      for (char letter = kLastPspLetter; letter >= kFirstPspLetter && !found; --letter) {
        m_cDrive = letter;
        if (ProbeDrive(letter) == 0) {
          Accept(letter);
          found = true;
        }
      }
      if (!found) m_bWrapped = 1;
    }
  }
  if ((m_nState != PspReady || m_cDrive != ConfiguredLetter()) && (!search || m_nRecheck == 1)) {
    m_cDrive = ConfiguredLetter();
    if (UsbPspPresent() == 0) m_nState = WriteTest(m_cDrive) == 0 ? PspReady : PspNotFound;
  }
  if (m_nState == PspReady && --m_nRecheck < 1) {
    if (UsbPspPresent() != 0) m_nState = PspSearching;
    m_nRecheck = kRecheckPolls;
  }
}

bool CPspDrive::FoldersOrWriteTest(char letter) {
  return HasPspFolders(letter) || WriteTest(letter) == 0;
}

void CPspDrive::Poll9x() {
  const bool search = SearchMode();
  if (m_nState == PspSearching || m_nState == PspNotFound) {
    if (!search) {
      m_cDrive = ConfiguredLetter();
      if (FoldersOrWriteTest(m_cDrive)) Accept(m_cDrive);
    } else {
      for (int tried = 0; tried < kLettersPerPoll9x; ++tried) {
        char letter = m_cDrive;
        if (letter < kFirstPspLetter || letter > kLastPspLetter) letter = kLastPspLetter;
        if (HasPspFolders(letter) && WriteTest(letter) == 0) {
          m_cDrive = letter;
          Accept(letter);
          break;
        }
        if (letter <= kFirstPspLetter) {
          m_cDrive = kLastPspLetter;
          m_bWrapped = 1;
        } else {
          m_cDrive = char(letter - 1);
        }
      }
    }
  }
  if (!search && m_cDrive != ConfiguredLetter()) {
    m_cDrive = ConfiguredLetter();
    m_nState = FoldersOrWriteTest(m_cDrive) ? PspReady : PspNotFound;
  }
  if (m_nState == PspReady && --m_nRecheck < 1) {
    if (!FoldersOrWriteTest(m_cDrive)) m_nState = PspSearching;
    m_nRecheck = kRecheckPolls;
  }
}

std::vector<std::string> CPspDrive::UsbDevicePaths() const {
  std::vector<std::string> paths = platform_.UsbDeviceInterfacePaths();
  for (std::string& path : paths)
    if (path.size() > kMaxDevicePathLength) path.resize(kMaxDevicePathLength);
  return paths;
}

int CPspDrive::UsbPspPresent() {
  ScopedCount depth(g_nUsbCheckDepth);
  if (g_nUsbCheckDepth.load() != 1) return -1;
  for (const std::string& path : UsbDevicePaths()) {
    if (path.empty()) break;
    if (IsPspDevicePath(path)) return 0;
  }
  return -1;
}

bool CPspDrive::StoreSpace(const platform::DiskSpace& space) {
  m_nFreeBytes = space.freeBytes;
  m_nTotalBytes = space.totalBytes;
  if (space.freeBytes <= space.totalBytes && space.totalBytes < kMaxStickBytes) return true;
  m_nFreeBytes = 0;
  return false;
}

int CPspDrive::ProbeDrive(char letter) {
  ScopedCount probe(g_nProbeCount);
  // The 9x family reads no geometry: every probe is refused and the stored space kept.
  if (osFamily_ == platform::kOsWin9x) return -1;
  const auto geometry = platform_.QueryVolumeGeometry(letter);
  if (!geometry || geometry->mediaType != platform::kMediaRemovable ||
      geometry->bytesPerSector != 512)
    return -1;
  const auto space = platform_.QueryDiskSpace(platform_.DriveRoot(letter));
  if (!space) return -1;
  return StoreSpace(*space) ? 0 : -1;
}

bool CPspDrive::HasPspFolders(char letter) const {
  const std::string root = platform_.DriveRoot(letter);
  if (root.empty()) return false;
  for (const platform::FolderEntry& entry : platform_.ListFolder(root))
    if (entry.isFolder && (entry.name == "PSP" || entry.name == "mp_root")) return true;
  return false;
}

int CPspDrive::WriteTest(char letter) {
  const std::string root = platform_.DriveRoot(letter);
  if (root.empty()) return -1;
  const std::string file = root + kWriteTestFileName;
  if (!platform_.CreateEmptyFile(file)) return -1;
  platform_.RemoveFile(file);
  m_nFreeBytes = 0;
  const auto space = platform_.QueryDiskSpace(root);
  if (!space) return 0;
  return StoreSpace(*space) ? 0 : -1;
}

int CPspDrive::RefreshFreeSpace() {
  const auto space = platform_.QueryDiskSpace(platform_.DriveRoot(m_cDrive.load()));
  if (space && StoreSpace(*space)) return 0;
  m_nFreeBytes = 0;
  return -1;
}

void CPspDrive::ShowUsbDevicePaths(IMessageBoxHost& host) const {
  for (const std::string& path : UsbDevicePaths()) {
    if (path.empty()) break;
    ShowMessage(host, path);
  }
}

std::string CPspDrive::FreeSpaceText() const {
  if (!IsReady()) return "";
  const float freeMb = static_cast<float>(m_nFreeBytes.load()) / 1024.0f / 1024.0f;
  const uint64_t capacityMb = (m_nTotalBytes.load() + 999999) / 1000000;
  const int capacity = capacityMb > uint64_t(INT_MAX) ? INT_MAX : static_cast<int>(capacityMb);
  return FormatString(IDS_FREE_SPACE, {freeMb, capacity});
}

int CPspDrive::UsedPercent() const {
  const uint64_t total = m_nTotalBytes.load();
  const uint64_t free = m_nFreeBytes.load();
  if (!IsReady() || total == 0 || free > total) return 0;
  const double used = 100.0 - static_cast<double>(free) / static_cast<double>(total) * 100.0;
  return static_cast<int>(used);
}

}  // namespace pspkvx
