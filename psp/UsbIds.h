// The PSP's USB identity, and the reading of the vendor and product numbers out of a USB
// device-interface path ("\\?\usb#vid_054c&pid_01c8#...").
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pspkvx {

inline constexpr uint32_t kSonyVendorId = 0x054C;
inline constexpr uint32_t kPspProductId = 0x01C8;      // PSP-1000 ("PSP Type A")
inline constexpr uint32_t kPspSlimProductId = 0x02D2;  // PSP-2000 and PSP-3000 ("PSP Slim")

// The hexadecimal number after the first occurrence of key (case-sensitive): leading zeros
// skipped, digits 0-9, A-F and a-f, ending at the first other character (0 when no digit
// follows). A number above 32 bits reads as kHexTooLarge, which matches no identity. None when
// the key does not occur.
inline constexpr uint64_t kHexTooLarge = uint64_t(1) << 32;
std::optional<uint64_t> HexAfter(const std::string& path, const std::string& key);

// True when the path carries "vid_" with Sony's vendor number and "pid_" with the product
// number of a PSP in USB Connection mode (the original model or the Slim).
bool IsPspDevicePath(const std::string& path);

}  // namespace pspkvx
