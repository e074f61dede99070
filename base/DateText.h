// The date text of every list: a time as the local calendar shows it, month first.
#pragma once

#include <cstdint>
#include <string>

namespace pspkvx {

// "MM/DD/YYYY hh:mm:ss" of a time (seconds since 1970 UTC) in local time; empty when it cannot
// be converted.
std::string DateTimeText(int64_t seconds);

}  // namespace pspkvx
