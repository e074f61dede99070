// The name-entry dialog's rule, GUI-free: at most 33 characters can be typed. A longer name the
// program proposes as the initial name is shown whole; only an edit that would make the text
// longer than 33 characters and longer than it was is refused, so deleting always works.
#pragma once

#include <cstddef>
#include <string_view>

namespace pspkvx {

inline constexpr size_t kNameEntryMaxLength = 33;

// The characters (code points) of a UTF-8 text; a byte that does not begin a character of
// valid UTF-8 counts as one.
size_t NameEntryLength(std::string_view text);

// Whether the edit that turns before into after is taken.
bool NameEntryAccepts(std::string_view before, std::string_view after);

}  // namespace pspkvx
