#include <gtest/gtest.h>

#include "online/ReplyLines.h"

namespace pspkvx {
namespace {

TEST(JoinReplyLines, KeepsLinesAsTheRequestWorkerReadsThem) {
  const struct {
    std::string body;
    std::string text;
  } cases[] = {
      {"", ""},                // no lines at all
      {"\n", "\n"},            // one empty line
      {"a\r\nb\n", "a\nb\n"},  // CR before LF dropped
      {"last line without end", "last line without end\n"},
      {"a\rb\n", "a\rb\n"},            // a CR elsewhere stays
      {"trailing\r", "trailing\r\n"},  // no LF after it: stays
      {"<?xml version=\"1.0\"?>\r\n<result>\n", "<result>\n"},
      {"<result>\n<?xml version=\"1.0\"?>\n</result>\n", "<result>\n</result>\n"},
      {" <?xml version=\"1.0\"?>\n", " <?xml version=\"1.0\"?>\n"},  // only at the line start
      {"<?xml versio\n", "<?xml versio\n"},
      {std::string("a\0b\n", 4), std::string("a\0b\n", 4)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(JoinReplyLines(c.body), c.text) << testing::PrintToString(c.body);
}

}  // namespace
}  // namespace pspkvx
