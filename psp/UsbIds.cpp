#include "psp/UsbIds.h"

#include "base/Numbers.h"

namespace pspkvx {

std::optional<uint64_t> HexAfter(const std::string& path, const std::string& key) {
  const size_t at = path.find(key);
  if (at == std::string::npos) return std::nullopt;
  const auto number =
      ReadLeadingNumber<uint64_t>(std::string_view(path).substr(at + key.size()), 16);
  if (number.tooLarge || number.value >= kHexTooLarge) return kHexTooLarge;
  return number.value;
}
bool IsPspDevicePath(const std::string& path) {
  const auto vendor = HexAfter(path, "vid_");
  const auto product = HexAfter(path, "pid_");
  if (!vendor || !product || *vendor != kSonyVendorId) return false;
  return *product == kPspProductId || *product == kPspSlimProductId;
}

}  // namespace pspkvx
