#include "video/EncoderCommand.h"

#include <span>

namespace pspkvx {

std::optional<EncoderCommand> FormEncoderCommand(const char* argumentTemplate,
                                                 std::initializer_list<FormatArg> values) {
  EncoderCommand command;
  const std::span<const FormatArg> all(values.begin(), values.size());
  const auto text = TryFormat(argumentTemplate, all);
  if (!text) return std::nullopt;
  command.text = *text;

  const std::string pattern = argumentTemplate;
  size_t used = 0;
  for (size_t start = 0; start < pattern.size();) {
    size_t end = pattern.find(' ', start);
    if (end == std::string::npos) end = pattern.size();
    std::string token = pattern.substr(start, end - start);
    start = end + 1;
    if (token.empty()) continue;
    if (token.size() >= 2 && token.front() == '"' && token.back() == '"')
      token = token.substr(1, token.size() - 2);
    const auto kinds = FormatKinds(token.c_str());
    if (!kinds || used + kinds->size() > all.size()) return std::nullopt;
    const auto argument = TryFormat(token.c_str(), all.subspan(used, kinds->size()));
    if (!argument) return std::nullopt;
    used += kinds->size();
    command.argv.push_back(*argument);
  }
  if (used != all.size()) return std::nullopt;
  return command;
}

}  // namespace pspkvx
