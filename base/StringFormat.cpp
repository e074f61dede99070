#include "base/StringFormat.h"

#include <climits>
#include <cstdio>
#include <vector>

#include "base/StringTable.h"

namespace pspkvx {
namespace {

struct Placeholder {
  bool leftAlign = false;  // "-"
  bool zeroPad = false;    // "0"
  int width = 0;
  int precision = -1;  // none
  char kind = 0;       // FormatArg::Kind
};

// A piece of a format text: a literal run, or one placeholder.
struct Piece {
  std::string literal;
  std::optional<Placeholder> placeholder;
};

int ReadDigits(const char*& p) {
  int value = 0;
  while (*p >= '0' && *p <= '9' && value < 1000)
    value = value * 10 + (*p++ - '0');
  return value;
}

std::optional<std::vector<Piece>> Split(const char* format) {
  std::vector<Piece> pieces(1);
  for (const char* p = format; *p;) {
    if (*p != '%') {
      pieces.back().literal += *p++;
      continue;
    }
    ++p;
    if (*p == '%') {
      pieces.back().literal += *p++;
      continue;
    }
    Placeholder placeholder;
    for (;; ++p) {
      if (*p == '-')
        placeholder.leftAlign = true;
      else if (*p == '0')
        placeholder.zeroPad = true;
      else
        break;
    }
    placeholder.width = ReadDigits(p);
    if (*p == '.') {
      ++p;
      placeholder.precision = ReadDigits(p);
    }
    switch (*p) {
      case 'i':
      case 'd':
        placeholder.kind = FormatArg::Integer;
        break;
      case 'f':
        placeholder.kind = FormatArg::Real;
        break;
      case 's':
        placeholder.kind = FormatArg::Text;
        break;
      default:
        return std::nullopt;
    }
    ++p;
    pieces.back().placeholder = placeholder;
    pieces.emplace_back();
  }
  return pieces;
}

// One placeholder filled with its value, through literal formats only.
std::string Fill(const Placeholder& f, const FormatArg& arg) {
  const int width = f.width;
  const int precision = f.precision;
  char buffer[512];
  switch (arg.kind()) {
    case FormatArg::Integer: {
      const long long v = arg.integer();
      if (f.leftAlign)
        std::snprintf(buffer, sizeof buffer, "%-*.*lld", width, precision < 0 ? 1 : precision, v);
      else if (f.zeroPad && precision < 0)
        std::snprintf(buffer, sizeof buffer, "%0*lld", width, v);
      else
        std::snprintf(buffer, sizeof buffer, "%*.*lld", width, precision < 0 ? 1 : precision, v);
      return buffer;
    }
    case FormatArg::Real: {
      const double v = arg.real();
      const int digits = precision < 0 ? 6 : precision;
      if (f.leftAlign)
        std::snprintf(buffer, sizeof buffer, "%-*.*f", width, digits, v);
      else if (f.zeroPad)
        std::snprintf(buffer, sizeof buffer, "%0*.*f", width, digits, v);
      else
        std::snprintf(buffer, sizeof buffer, "%*.*f", width, digits, v);
      return buffer;
    }
    case FormatArg::Text: {
      std::string text = arg.text();
      if (precision >= 0 && text.size() > static_cast<size_t>(precision)) text.resize(precision);
      if (text.size() < static_cast<size_t>(width)) {
        const std::string pad(static_cast<size_t>(width) - text.size(), ' ');
        text = f.leftAlign ? text + pad : pad + text;
      }
      return text;
    }
  }
  return "";
}

}  // namespace

std::optional<std::string> FormatKinds(const char* format) {
  const auto pieces = Split(format ? format : "");
  if (!pieces) return std::nullopt;
  std::string kinds;
  for (const Piece& piece : *pieces)
    if (piece.placeholder) kinds += piece.placeholder->kind;
  return kinds;
}

std::optional<std::string> TryFormat(const char* format, std::span<const FormatArg> args) {
  const auto pieces = Split(format ? format : "");
  if (!pieces) return std::nullopt;
  std::string out;
  auto arg = args.begin();
  for (const Piece& piece : *pieces) {
    out += piece.literal;
    if (!piece.placeholder) continue;
    if (arg == args.end() || arg->kind() != piece.placeholder->kind) return std::nullopt;
    out += Fill(*piece.placeholder, *arg++);
  }
  if (arg != args.end()) return std::nullopt;
  return out;
}

std::string FormatString(int id, std::initializer_list<FormatArg> args) {
  const char* format = StringText(id);
  if (auto text = TryFormat(format, args)) return *text;
  return "[" + std::to_string(id) + "] " + format;
}

}  // namespace pspkvx
