#include <gtest/gtest.h>

#include <cstring>

#include "app/ConfigFields.h"

namespace pspkvx {
namespace {

struct SetCase {
  const char* field;
  const char* value;
  bool accepted;
};

TEST(SetConfigField, KeepsTheRecordInvariants) {
  const std::string longText(260, 'x');
  const std::string fits(259, 'x');
  const std::string longName(256, 'u');
  const std::vector<SetCase> cases = {
      {"PspDriveLetter", "E", true},
      {"PspDriveLetter", "z", true},
      {"PspDriveLetter", "C", false},
      {"PspDriveLetter", "DE", false},
      {"PspDriveLetter", "", false},
      {"PspDriveLetter", "5", false},
      {"VideoOptions", "5", true},
      {"VideoOptions", "0x215", true},
      {"VideoOptions", "6", false},
      {"VideoOptions", "15", false},
      {"VideoOptions", "-1", false},
      {"OnlineRegion", "3", true},
      {"OnlineRegion", "4", false},
      {"OnlineRegion", "-1", false},
      {"PhotoCopyMode", "3", true},
      {"PhotoCopyMode", "4", false},
      {"SearchForPsp", "0", true},
      {"SearchForPsp", "2", false},
      {"WindowLeft", "-1", true},
      {"WindowLeft", "12x", false},
      {"FileListColumnWidths", "0,1,2,3,4", true},
      {"FileListColumnWidths", "0,1,2,3", false},
      {"FileListColumnWidths", "0,1,2,3,4,5", false},
      {"FileListColumnWidths", "0,1,-2,3,4", false},
      {"PcFolder", fits.c_str(), true},
      {"PcFolder", longText.c_str(), false},
      {"OnlineUserName", longName.c_str(), false},
      {"Magic", "PSPKVXQ009", false},
      {"NoSuchField", "1", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " = " + std::string(c.value).substr(0, 20));
    AppConfig config;
    SetConfigDefaults(config, "/docs");
    AppConfig before = config;
    const std::string refusal = SetConfigField(config, c.field, c.value);
    EXPECT_EQ(refusal.empty(), c.accepted) << refusal;
    if (!c.accepted) {
      EXPECT_EQ(std::memcmp(&config, &before, sizeof config), 0);
    }
  }
}

TEST(SetConfigField, StoresValues) {
  AppConfig config;
  SetConfigDefaults(config, "/docs");
  ASSERT_EQ(SetConfigField(config, "PspDriveLetter", "k"), "");
  EXPECT_EQ(config.PspDriveLetter, 'K');
  ASSERT_EQ(SetConfigField(config, "SecondListColumnWidths", "1,2,3,4,5"), "");
  EXPECT_EQ(config.SecondListColumnWidths[4], 5);
  SetFieldText(config.PcFolder, "/a/much/longer/folder/name");
  ASSERT_EQ(SetConfigField(config, "PcFolder", "/b"), "");
  // The rest of the field is zero-padded, not left over from the longer text.
  EXPECT_EQ(config.PcFolder[3], '\0');
  EXPECT_EQ(config.PcFolder[10], '\0');
  EXPECT_EQ(ConfigFieldText(config, *FindConfigField("PcFolder")), "/b");
}

}  // namespace
}  // namespace pspkvx
