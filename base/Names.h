// The one rule for names and paths that come from outside the program: a container's records,
// the stick's folder listings, an archive's entries, a folder name the user typed, a service
// query. Such a name never leads outside the folder it is meant for.
//
// Both functions return why the text cannot be used, in words that follow the text ("holds a
// NUL character"), or an empty text when it can. Separators are "\" and "/" on every system.
#pragma once

#include <string>
#include <string_view>

#include "platform/NameCase.h"

namespace pspkvx {

// One file or folder name: not empty, without a separator, a drive or stream prefix (":") or a
// NUL, and not made only of dots and spaces ("." and ".." name other folders; Windows drops
// trailing dots and spaces, so ". ." is ".." there).
std::string BareNameProblem(std::string_view name);

// A path relative to a folder: not empty, not absolute (no leading separator, no drive
// prefix), without a NUL, and every component between separators a bare name (no empty
// component, no "." or "..").
std::string RelativePathProblem(std::string_view path);

// True for "\" and "/".
inline bool IsNameSeparator(char c) {
  return c == '\\' || c == '/';
}

// Names on the PSP's FAT file system are the same whatever the case of their ASCII letters
// (platform/NameCase.h, where the simulated PSP uses the same rule).
using platform::AsciiUpperCase;
using platform::EqualsIgnoringAsciiCase;

}  // namespace pspkvx
