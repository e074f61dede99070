// The one rule for names and paths that come from outside the program: a container's records,
// the stick's folder listings, an archive's entries, a folder name the user typed, a service
// query. Such a name never leads outside the folder it is meant for.
//
// The two rules return why the text cannot be used, in words that follow the text ("holds a
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

// Texts from outside that are shown or become folder names on the stick (a save's title, a
// group folder's name) keep only plain ASCII and none of '&', '%', '<', '>', '#'.
struct CleanedText {
  std::string text;
  int replaced = 0;  // characters replaced (or dropped)
};
// Replaces each '&', '%', '<', '>', '#' and every byte of 128 or more with the replacement
// character, or drops it when the replacement is NUL.
CleanedText CleanText(const std::string& text, char replacement);

// True for "\" and "/".
inline bool IsNameSeparator(char c) {
  return c == '\\' || c == '/';
}

// Names on the PSP's FAT file system are the same whatever the case of their ASCII letters
// (platform/NameCase.h, where the simulated PSP uses the same rule).
using platform::AsciiUpperCase;
using platform::EqualsIgnoringAsciiCase;

}  // namespace pspkvx
