// The PSP connection guide the PSP help button shows while no PSP is found.
#pragma once

#include <string>

namespace pspkvx {

// Strings 76 to 83 (the introduction and the seven steps), each followed by "\r\n\r\n".
std::string PspConnectionGuide();

}  // namespace pspkvx
