#include "psp/UsbIds.h"

#include <gtest/gtest.h>

namespace pspkvx {
namespace {

TEST(UsbIds, HexAfterReadsTheDigitsFollowingTheFirstOccurrence) {
  struct Case {
    const char* path;
    std::optional<uint64_t> vendor;
  } cases[] = {
      {"\\\\?\\usb#vid_054c&pid_01c8#x", 0x054C},
      {"vid_0000054C&", 0x054C},  // leading zeros skipped, upper case
      {"vid_54cZ", 0x054C},       // stops at the first other character
      {"vid_&pid_01c8", 0},       // no digits
      {"vid_", 0},
      {"VID_054C&PID_01C8", std::nullopt},  // the key is case-sensitive
      {"usb#vi_054c", std::nullopt},
      {"vid_0001#vid_054c", 0x0001},  // the first occurrence counts
      {"vid_1054c", 0x1054C},
      {"vid_ffffffff", 0xFFFFFFFF},
      {"vid_10000054c", kHexTooLarge},  // never wraps round to 054c
      {"vid_000000000000000000000000054c", 0x054C},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HexAfter(c.path, "vid_"), c.vendor) << c.path;
}

TEST(UsbIds, OnlyTheOriginalAndTheSlimPspAreAccepted) {
  struct Case {
    const char* path;
    bool psp;
  } cases[] = {
      {"\\\\?\\usb#vid_054c&pid_01c8#0123#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", true},
      {"\\\\?\\usb#vid_054c&pid_02d2#0123#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", true},
      {"\\\\?\\usb#vid_054C&pid_01C8#0123", true},
      {"\\\\?\\usb#vid_054c&pid_0268#0123", false},  // another Sony product
      {"\\\\?\\usb#vid_054d&pid_01c8#0123", false},  // another vendor
      {"\\\\?\\usb#vid_054c#0123", false},           // no product
      {"\\\\?\\usb#pid_01c8#0123", false},           // no vendor
      {"\\\\?\\usb#vid_10000054c&pid_1000001c8", false},
      {"", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsPspDevicePath(c.path), c.psp) << c.path;
}

}  // namespace
}  // namespace pspkvx
