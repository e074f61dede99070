#include "psp/UsbIds.h"

namespace pspkvx {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<uint64_t> HexAfter(const std::string& path, const std::string& key) {
  const size_t at = path.find(key);
  if (at == std::string::npos) return std::nullopt;
  uint64_t value = 0;
  for (size_t i = at + key.size(); i < path.size(); ++i) {
    const int digit = HexDigit(path[i]);
    if (digit < 0) break;
    value = value * 16 + uint64_t(digit);
    if (value >= kHexTooLarge) return kHexTooLarge;
  }
  return value;
}

bool IsPspDevicePath(const std::string& path) {
  const auto vendor = HexAfter(path, "vid_");
  const auto product = HexAfter(path, "pid_");
  if (!vendor || !product || *vendor != kSonyVendorId) return false;
  return *product == kPspProductId || *product == kPspSlimProductId;
}

}  // namespace pspkvx
