#include <gtest/gtest.h>

#include "psp/PspDrive.h"
#include "psp/StickLayout.h"
#include "support/FakePlatform.h"

namespace pspkvx {
namespace {

TEST(FormatSize, KilobytesBelow10240ThenMegabytesRoundedUp) {
  const struct {
    uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 Kb"},
      {1, "1 Kb"},
      {1024, "1 Kb"},
      {1025, "2 Kb"},
      {10239, "10 Kb"},
      {10240, "0.01Mb"},  // 0.0098 printed with two decimals
      {1048576, "1.00Mb"},
      {1048577, "1.00Mb"},
      {16777216, "16.00Mb"},
      {16777217, "16.01Mb"},    // its float falls short of the size: 0.01 more
      {123456789, "117.74Mb"},  // its float lies above the size
      {4294967295, "4096.00Mb"},
      // Above 32 bits the same rule goes on.
      {uint64_t(1) << 32, "4096.00Mb"},
      {uint64_t(8) << 30, "8192.00Mb"},
      {uint64_t(2) << 40, "2097152.00Mb"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatSize(c.bytes), c.text) << c.bytes;
}

TEST(FreeSpaceText, FreeBinaryMegabytesAndCapacityInDecimalMegabytesWhileReady) {
  const struct {
    uint64_t total;
    uint64_t free;
    const char* text;
    int fill;
  } cases[] = {
      {123456789, 52428800, "50.0Mb free (124Mb)", 57},
      {1000000, 1000000, "1.0Mb free (1Mb)", 0},
      {1000001, 0, "0.0Mb free (2Mb)", 100},
      {16000000000, uint64_t(8) << 30, "8192.0Mb free (16000Mb)", 46},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    test::FakePlatform platform;
    platform.PlugInPsp('G', "/media/psp/", c.total, c.free);
    AppConfig config{};
    SetConfigDefaults(config, "/docs");
    CPspDrive drive(platform, config, platform::kOsNt);
    EXPECT_EQ(drive.FreeSpaceText(), "");  // not ready yet
    EXPECT_EQ(drive.UsedPercent(), 0);
    drive.Poll();
    ASSERT_TRUE(drive.IsReady());
    EXPECT_EQ(drive.FreeSpaceText(), c.text);
    EXPECT_EQ(drive.UsedPercent(), c.fill);
  }
}

}  // namespace
}  // namespace pspkvx
