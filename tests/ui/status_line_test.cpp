#include <gtest/gtest.h>

#include "ui/StatusLine.h"

namespace pspkvx {
namespace {

TEST(StatusLine, LongTextsAreCutTo70CharactersAndDots) {
  const std::string seventy(70, 'a');
  EXPECT_EQ(CutStatusText(seventy), seventy);
  EXPECT_EQ(CutStatusText(seventy + "b"), seventy + "...");
}

TEST(StatusLine, CountdownClearsTheLineWhenItReachesZero) {
  StatusLine line;
  line.Set("Cancelled", 2);
  EXPECT_FALSE(line.Tick());
  EXPECT_EQ(line.Text(), "Cancelled");
  EXPECT_TRUE(line.Tick());
  EXPECT_EQ(line.Text(), "");
  EXPECT_FALSE(line.Tick());

  line.Set("Closing", -1);  // shown until replaced
  for (int i = 0; i < 10; ++i)
    EXPECT_FALSE(line.Tick());
  EXPECT_EQ(line.Text(), "Closing");
}

}  // namespace
}  // namespace pspkvx
