#include "base/DateText.h"

#include <cstdio>

#include "platform/Platform.h"

namespace pspkvx {

std::string DateTimeText(int64_t seconds) {
  const auto local = platform::LocalTime(seconds);
  if (!local) return "";
  char text[64];
  std::snprintf(text, sizeof text, "%2.2i/%2.2i/%4.4i %2.2i:%2.2i:%2.2i", local->tm_mon + 1,
                local->tm_mday, local->tm_year + 1900, local->tm_hour, local->tm_min,
                local->tm_sec);
  return text;
}

}  // namespace pspkvx
