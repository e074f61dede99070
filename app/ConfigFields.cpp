#include "app/ConfigFields.h"

#include "base/Numbers.h"

#include <cctype>
#include <cstring>
#include <limits>

namespace pspkvx {
namespace {

#define PSPKVX_FIELD(name, kind) \
  { #name, ConfigFieldKind::kind, offsetof(AppConfig, name), sizeof(AppConfig::name) }

const std::vector<ConfigFieldInfo> kFields = {
    PSPKVX_FIELD(Magic, Magic),
    PSPKVX_FIELD(FileListColumnWidths, Widths),
    PSPKVX_FIELD(SecondListColumnWidths, Widths),
    PSPKVX_FIELD(PcFolder, Text),
    PSPKVX_FIELD(PhotoCopyMode, Int),
    PSPKVX_FIELD(SearchForPsp, Int),
    PSPKVX_FIELD(PspDriveLetter, Letter),
    PSPKVX_FIELD(NoUpdateCheckAtStart, Int),
    PSPKVX_FIELD(WindowLeft, Int),
    PSPKVX_FIELD(WindowTop, Int),
    PSPKVX_FIELD(WindowWidth, Int),
    PSPKVX_FIELD(WindowHeight, Int),
    PSPKVX_FIELD(ListFontHeight, Int),
    PSPKVX_FIELD(LastAddFolder, Text),
    PSPKVX_FIELD(OnlineUserName, Text),
    PSPKVX_FIELD(OnlinePassword, Text),
    PSPKVX_FIELD(ConvertFolder, Text),
    PSPKVX_FIELD(VideoOptions, UInt),
    PSPKVX_FIELD(OnlineRegion, Int),
    PSPKVX_FIELD(ListViewToggles, UInt),
    PSPKVX_FIELD(ScreenSize, UInt),
};

#undef PSPKVX_FIELD

const char* Bytes(const AppConfig& config, const ConfigFieldInfo& field) {
  return reinterpret_cast<const char*>(&config) + field.offset;
}
char* Bytes(AppConfig& config, const ConfigFieldInfo& field) {
  return reinterpret_cast<char*>(&config) + field.offset;
}

// A whole decimal (or 0x hexadecimal) number within [low, high].
bool ParseNumber(const std::string& text, long long low, long long high, long long& out) {
  const auto value = ParseNumberIn<long long>(text, low, high, kDecimalOrHex);
  if (value) out = *value;
  return value.has_value();
}

struct Range {
  long long low;
  long long high;
  const char* what;
};

Range RangeOf(const std::string& name) {
  constexpr long long kIntMin = std::numeric_limits<int32_t>::min();
  constexpr long long kIntMax = std::numeric_limits<int32_t>::max();
  if (name == "PhotoCopyMode") return {0, 3, "a photo copy mode from 0 to 3"};
  if (name == "SearchForPsp" || name == "NoUpdateCheckAtStart") return {0, 1, "0 or 1"};
  if (name == "OnlineRegion") return {0, 3, "a region from 0 to 3"};
  if (name == "ListFontHeight") return {1, 200, "a font height from 1 to 200"};
  if (name == "WindowWidth" || name == "WindowHeight") return {0, kIntMax, "a size of 0 or more"};
  return {kIntMin, kIntMax, "a 32-bit number"};
}

}  // namespace

const std::vector<ConfigFieldInfo>& ConfigFields() {
  return kFields;
}

const ConfigFieldInfo* FindConfigField(const std::string& name) {
  for (const auto& field : kFields)
    if (name == field.name) return &field;
  return nullptr;
}

std::string ConfigFieldText(const AppConfig& config, const ConfigFieldInfo& field) {
  const char* p = Bytes(config, field);
  switch (field.kind) {
    case ConfigFieldKind::Magic:
      return std::string(p, field.size);
    case ConfigFieldKind::Text:
      return std::string(p, strnlen(p, field.size));
    case ConfigFieldKind::Letter:
      return std::string(1, *p);
    default:
      return std::to_string(ConfigFieldNumber(config, field));
  }
}

long long ConfigFieldNumber(const AppConfig& config, const ConfigFieldInfo& field) {
  const char* p = Bytes(config, field);
  if (field.kind == ConfigFieldKind::UInt) {
    uint32_t value;
    std::memcpy(&value, p, 4);
    return value;
  }
  int32_t value;
  std::memcpy(&value, p, 4);
  return value;
}

void ConfigFieldWidths(const AppConfig& config, const ConfigFieldInfo& field, int32_t out[5]) {
  std::memcpy(out, Bytes(config, field), 5 * sizeof(int32_t));
}

std::string SetConfigField(AppConfig& config, const std::string& name, const std::string& value) {
  const ConfigFieldInfo* field = FindConfigField(name);
  if (!field) return "there is no field named " + name;
  char* p = Bytes(config, *field);
  switch (field->kind) {
    case ConfigFieldKind::Magic:
      return "Magic is written by the program itself and cannot be set";
    case ConfigFieldKind::Text:
      if (value.find('\0') != std::string::npos) return name + " cannot hold a NUL character";
      if (value.size() >= field->size)
        return name + " holds at most " + std::to_string(field->size - 1) + " characters, not " +
               std::to_string(value.size());
      std::memset(p, 0, field->size);
      std::copy(value.begin(), value.end(), p);
      return "";
    case ConfigFieldKind::Letter: {
      const char letter =
          value.size() == 1 ? static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])))
                            : 0;
      if (letter < 'D' || letter > 'Z') return name + " must be one drive letter from D to Z";
      *p = letter;
      return "";
    }
    case ConfigFieldKind::Widths: {
      int32_t widths[5];
      size_t start = 0;
      for (int i = 0; i < 5; ++i) {
        const size_t comma = value.find(',', start);
        const bool last = i == 4;
        if (last != (comma == std::string::npos))
          return name + " takes five widths separated by commas, for example 0,184,86,172,400";
        long long width;
        const std::string part = value.substr(start, last ? std::string::npos : comma - start);
        if (!ParseNumber(part, 0, std::numeric_limits<int32_t>::max(), width))
          return name + ": \"" + part + "\" is not a width of 0 or more";
        widths[i] = static_cast<int32_t>(width);
        start = comma + 1;
      }
      std::memcpy(p, widths, sizeof widths);
      return "";
    }
    case ConfigFieldKind::UInt: {
      long long number;
      if (!ParseNumber(value, 0, std::numeric_limits<uint32_t>::max(), number))
        return name + " must be a number from 0 to 4294967295";
      const auto word = static_cast<uint32_t>(number);
      if (name == "VideoOptions" && (word & VideoQualityMask) > kMaxVideoQuality)
        return "the quality level of VideoOptions (bits 0-3) must be at most 5";
      std::memcpy(p, &word, 4);
      return "";
    }
    case ConfigFieldKind::Int: {
      const Range range = RangeOf(name);
      long long number;
      if (!ParseNumber(value, range.low, range.high, number))
        return name + " must be " + range.what;
      const auto word = static_cast<int32_t>(number);
      std::memcpy(p, &word, 4);
      return "";
    }
  }
  return "unknown field kind";
}

}  // namespace pspkvx
