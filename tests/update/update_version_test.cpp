#include <gtest/gtest.h>

#include "update/UpdateVersion.h"

namespace pspkvx {
namespace {

TEST(ParseVersionUrl, VersionAndSizeFromTheEndOfTheValue) {
  const struct {
    const char* value;
    int version;
    int64_t bytes;
  } kCases[] = {
      {"http://h/f/pspkvx_4500_116.dat", 116, 4'500'000},
      {"http://127.0.0.1:8377/release/pspkvx_upgrade_812_117.bin", 117, 812'000},
      {"abc_1_200.x", 200, 1000},
      {"ab_1_200.x", 0, 0},                  // its "_" stands before index 3
      {"http://h/f/pspkvx_4500_116", 0, 0},  // no "." at all
      {"ab.", 0, 0},                         // the "." among the first three characters
      {"a.bcdef", 0, 0},
      {"", 0, 0},
      {"abc.", 0, 0},  // too short to step back five characters
      {"http://h/f/nounderscore116.dat", 0, 0},
      {"_9_116.dat", 0, 0},  // its "_" stands before index 3
  };
  for (const auto& c : kCases) {
    const ReleaseVersion release = ParseVersionUrl(c.value);
    EXPECT_EQ(release.version, c.version) << c.value;
    EXPECT_EQ(release.bytes, c.bytes) << c.value;
  }
}

}  // namespace
}  // namespace pspkvx
