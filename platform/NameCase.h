// Names that are the same whatever the case of their ASCII letters, as on the PSP's FAT file
// system. The rule sits at the bottom of the layers because the simulated PSP's volume follows it
// too; base/Names.h hands it on to everything above.
#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace pspkvx::platform {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
std::string AsciiUpperCase(std::string text);

// The path of relative (components split at kPathSep) inside folder as a file system that does
// not tell ASCII case apart finds it, asking files for the listings: a component naming an
// existing entry in another case takes that entry's name (an exact match wins); from the first
// component that is not there on (".." and "." never are: no listing holds them), the rest stays
// as given. Empty components are kept. folder + separator + relative when nothing of it exists.
std::string FindIgnoringCase(const Platform& files, const std::string& folder,
                             const std::string& relative);

}  // namespace pspkvx::platform
