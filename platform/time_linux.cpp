#include <ctime>

#include "platform/Platform.h"

namespace pspkvx::platform {

std::optional<std::tm> LocalTime(int64_t seconds) {
  const auto time = static_cast<std::time_t>(seconds);
  if (static_cast<int64_t>(time) != seconds) return std::nullopt;
  std::tm local{};
  if (!::localtime_r(&time, &local)) return std::nullopt;
  return local;
}

}  // namespace pspkvx::platform
