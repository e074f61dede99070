#include "base/Numbers.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace pspkvx {

int64_t ScanInteger(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
    ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  int64_t value = 0;
  constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at)
    value = std::min<int64_t>(value * 10 + (text[at] - '0'), kLimit + 1);
  if (negative) return std::max<int64_t>(-value, std::numeric_limits<int32_t>::min());
  return std::min(value, kLimit);
}

}  // namespace pspkvx
