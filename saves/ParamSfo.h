// A save's "PARAM.SFO", as far as the program reads it: the title at a fixed offset (the file's
// index is not parsed). The reference service writes its demo saves to the same layout.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pspkvx {

inline constexpr char kParamSfoName[] = "PARAM.SFO";
inline constexpr uint64_t kSaveTitleOffset = 4784;
inline constexpr size_t kSaveTitleBytes = 80;

}  // namespace pspkvx
