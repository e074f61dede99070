// Containers laid out byte by byte, for the tests that need what no writer produces:
// hostile records, other versions, odd titles.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pspkvx::test {

using Bytes = std::vector<uint8_t>;

// An unscrambled header with the given magic and a UTF-16 title.
Bytes PlainHeader(const std::u16string& title = u"A Game", const std::string& magic = "PSPSAVE001");

// Appends a record whose name is given as UTF-16 characters (each char of an 8-bit std::string
// becomes the character of the same value). kind 1 writes a length (the data's size unless
// told otherwise) and the data; every other kind only a name.
void AppendRecord(Bytes& container, uint8_t kind, const std::u16string& name,
                  const std::string& data = {}, std::optional<uint32_t> length = std::nullopt);
void AppendFolder(Bytes& container, const std::string& name);
void AppendFile(Bytes& container, const std::string& name, const std::string& data);

std::u16string Wide(const std::string& name);

// The stored form: checksum at offset 0, body scrambled.
Bytes Sealed(Bytes plain);
// The form a check leaves behind: checksum at offset 0, body unscrambled.
Bytes Summed(Bytes plain);

// A small sound save: "\SAVE01" with DATA.BIN and icon0.png.
Bytes PlainSave();

}  // namespace pspkvx::test
