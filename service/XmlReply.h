// Replies in the form the client's reader takes: "<result>" ... "</result>", one element or key
// per line, element text escaped so that no value can open or close an element.
#pragma once

#include <string>
#include <string_view>

namespace pspkvx::service {

// "&", "<" and ">" as entities, and every control character but tab as a space (a line feed
// would end a key's line).
std::string XmlEscape(std::string_view text);

class XmlReply {
 public:
  XmlReply() { text_ = "<result>\n"; }
  // "<tag>" on its own line; Close writes "</tag>".
  XmlReply& Open(std::string_view tag);
  XmlReply& Close(std::string_view tag);
  // "<tag>escaped value</tag>" on its own line.
  XmlReply& Element(std::string_view tag, std::string_view value);
  XmlReply& Element(std::string_view tag, long long value);
  // "KEY=value" on its own line; the value is kept as it is but for line breaks, since the
  // reader takes the rest of the line unchanged.
  XmlReply& Key(std::string_view key, std::string_view value);
  XmlReply& Comment(std::string_view text);
  std::string Finish() const { return text_ + "</result>\n"; }

 private:
  std::string text_;
};

}  // namespace pspkvx::service
