// How a text reply is read before it is parsed: line by line, a line ending at a line feed, a
// carriage return before the line feed dropped, lines beginning with "<?xml version" dropped,
// every kept line followed by one line feed.
#pragma once

#include <string>
#include <string_view>

namespace pspkvx {

// The kept lines of body joined as the reply reader receives them. A body of no lines gives an
// empty text (the reader then sees only the terminating NUL).
std::string JoinReplyLines(std::string_view body);

}  // namespace pspkvx
