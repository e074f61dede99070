#include "online/ServiceTags.h"

namespace pspkvx {

std::string LetterBlockTag(char initial) {
  std::string tag = "<CHAR_A>";
  tag[6] = initial;
  return tag;
}

void RegisterServiceTags(TagTable& table) {
  for (const char* field : kRecordFieldTags)
    table.RegisterTag(field, TagField);
  for (const char* key : kSettingsKeys)
    table.RegisterTag(key, TagSetting);
  for (const char* c = kIndexInitials; *c; ++c)
    table.RegisterTag(LetterBlockTag(*c), TagBlock);
}

}  // namespace pspkvx
