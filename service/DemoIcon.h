// Generated pictures for the demo data: a PSP-sized icon (144x80) in PNG, its colours and
// pattern drawn from a seed text so that every game and save looks its own.
#pragma once

#include <string>

namespace pspkvx::service {

inline constexpr int kIconWidth = 144;
inline constexpr int kIconHeight = 80;

// PNG bytes; empty when the image library cannot encode.
std::string MakeIconPng(const std::string& seed);

}  // namespace pspkvx::service
