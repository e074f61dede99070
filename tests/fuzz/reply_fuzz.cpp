// The service reply reader over arbitrary bytes, as the request worker hands them over (joined
// lines) and raw: it must never read out of bounds, never loop, and keep every record's fields
// unique by name.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "online/ReplyLines.h"
#include "online/ServiceTags.h"
#include "online/TagTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static pspkvx::TagTable table;
  static const bool registered = (pspkvx::RegisterServiceTags(table), true);
  (void)registered;
  const auto* bytes = reinterpret_cast<const char*>(data);
  const std::string text = pspkvx::JoinReplyLines(std::string_view(bytes, size));
  const int joined = table.ParseReply(text.c_str(), text.size());
  const int raw = table.ParseReply(bytes, size);
  if ((joined != 0 && joined != -1) || (raw != 0 && raw != -1)) std::abort();
  for (const pspkvx::ReplyRecord& record : table.Records()) {
    std::set<std::string> names;
    for (const auto& field : record.fields)
      if (!names.insert(field.first).second) std::abort();
  }
  return 0;
}
