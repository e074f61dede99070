#include "ui/NameEntry.h"

namespace pspkvx {

size_t NameEntryLength(std::string_view text) {
  size_t count = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;  // not a continuation byte
  return count;
}

bool NameEntryAccepts(std::string_view before, std::string_view after) {
  const size_t length = NameEntryLength(after);
  return length <= kNameEntryMaxLength || length <= NameEntryLength(before);
}

}  // namespace pspkvx
