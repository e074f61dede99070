// The named fields of the configuration record, for tools that show and edit it by name.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/AppConfig.h"

namespace pspkvx {

enum class ConfigFieldKind {
  Magic,   // 10 characters, no NUL
  Text,    // NUL-terminated text of the field's size
  Int,     // int32
  UInt,    // uint32
  Widths,  // int32[5]
  Letter,  // one upper-case drive letter
};

struct ConfigFieldInfo {
  const char* name;
  ConfigFieldKind kind;
  size_t offset;
  size_t size;
};

// Every field, in record order.
const std::vector<ConfigFieldInfo>& ConfigFields();
const ConfigFieldInfo* FindConfigField(const std::string& name);

// Field values in a record.
std::string ConfigFieldText(const AppConfig& config, const ConfigFieldInfo& field);
long long ConfigFieldNumber(const AppConfig& config, const ConfigFieldInfo& field);
void ConfigFieldWidths(const AppConfig& config, const ConfigFieldInfo& field, int32_t out[5]);

// Sets a field from its text form, keeping the record's invariants: a drive letter in D..Z,
// a quality level of at most 5, a region of at most 3, a photo mode of at most 3, flags 0 or
// 1, texts that fit their field, five widths. Returns an empty text on success, else why the
// value was refused (the record is then unchanged).
std::string SetConfigField(AppConfig& config, const std::string& name, const std::string& value);

}  // namespace pspkvx
