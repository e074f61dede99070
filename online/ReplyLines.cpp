#include "online/ReplyLines.h"

namespace pspkvx {

std::string JoinReplyLines(std::string_view body) {
  static constexpr std::string_view kXmlDeclaration = "<?xml version";
  std::string text;
  text.reserve(body.size() + 1);
  size_t start = 0;
  while (start < body.size()) {
    const size_t end = body.find('\n', start);
    std::string_view line =
        body.substr(start, end == std::string_view::npos ? body.size() - start : end - start);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.substr(0, kXmlDeclaration.size()) != kXmlDeclaration) {
      text += line;
      text += '\n';
    }
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return text;
}

}  // namespace pspkvx
