#include "platform/NameCase.h"

namespace pspkvx::platform {
namespace {

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

std::string AsciiUpperCase(std::string text) {
  for (char& c : text)
    c = AsciiUpper(c);
  return text;
}

std::string FindIgnoringCase(const Platform& files, const std::string& folder,
                             const std::string& relative) {
  std::string path = folder;
  bool listing = true;  // while the path so far exists, its next component is looked up
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find(kPathSep, start);
    if (end == std::string::npos) end = relative.size();
    std::string component = relative.substr(start, end - start);
    if (listing && !component.empty()) {
      std::string found;
      for (const FolderEntry& entry : files.ListFolder(path)) {
        if (entry.name == component) {
          found = entry.name;
          break;
        }
        if (found.empty() && EqualsIgnoringAsciiCase(entry.name, component)) found = entry.name;
      }
      listing = !found.empty();
      if (listing) component = found;
    }
    path += kPathSep;
    path += component;
    start = end + 1;
  }
  return path;
}

}  // namespace pspkvx::platform
