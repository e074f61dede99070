#include "base/Names.h"

namespace pspkvx {
namespace {

bool OnlyDotsAndSpaces(std::string_view text) {
  return text.find_first_not_of(". ") == std::string_view::npos;
}

// What every outside text is checked for first, whatever it names.
std::string CharacterProblem(std::string_view text) {
  if (text.empty()) return "is empty";
  if (text.find('\0') != std::string_view::npos) return "holds a NUL character";
  if (text.find(':') != std::string_view::npos) return "holds a drive or stream prefix (\":\")";
  return "";
}

std::string ComponentProblem(std::string_view component) {
  if (component.empty()) return "has an empty path component";
  if (OnlyDotsAndSpaces(component))
    return "has the path component \"" + std::string(component) + "\"";
  return "";
}

}  // namespace

std::string BareNameProblem(std::string_view name) {
  if (auto problem = CharacterProblem(name); !problem.empty()) return problem;
  for (const char c : name)
    if (IsNameSeparator(c)) return "holds a path separator";
  if (OnlyDotsAndSpaces(name)) return "is \"" + std::string(name) + "\", not a name";
  return "";
}

std::string RelativePathProblem(std::string_view path) {
  if (auto problem = CharacterProblem(path); !problem.empty()) return problem;
  if (IsNameSeparator(path.front())) return "is an absolute path";
  size_t start = 0;
  for (;;) {
    size_t end = start;
    while (end < path.size() && !IsNameSeparator(path[end]))
      ++end;
    if (auto problem = ComponentProblem(path.substr(start, end - start)); !problem.empty())
      return problem;
    if (end == path.size()) return "";
    start = end + 1;
  }
}

CleanedText CleanText(const std::string& text, char replacement) {
  CleanedText cleaned;
  cleaned.text.reserve(text.size());
  for (const char c : text) {
    const bool unsafe = static_cast<unsigned char>(c) >= 128 || c == '&' || c == '%' || c == '<' ||
                        c == '>' || c == '#';
    if (!unsafe) {
      cleaned.text += c;
      continue;
    }
    ++cleaned.replaced;
    if (replacement != '\0') cleaned.text += replacement;
  }
  return cleaned;
}

}  // namespace pspkvx
