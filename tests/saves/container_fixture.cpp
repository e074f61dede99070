#include "saves/container_fixture.h"

#include <algorithm>

#include "saves/ContainerWriter.h"
#include "saves/SaveContainer.h"

namespace pspkvx::test {

Bytes PlainHeader(const std::u16string& title, const std::string& magic) {
  Bytes header(kContainerHeaderSize, 0);
  for (size_t k = 0; k < magic.size() && k < kContainerMagicSize; ++k)
    header[kContainerMagicOffset + k] = static_cast<uint8_t>(magic[k]);
  for (size_t k = 0; k < title.size(); ++k) {
    header[kContainerTitleOffset + 2 * k] = static_cast<uint8_t>(title[k]);
    header[kContainerTitleOffset + 2 * k + 1] = static_cast<uint8_t>(title[k] >> 8);
  }
  return header;
}

void AppendRecord(Bytes& container, uint8_t kind, const std::u16string& name,
                  const std::string& data, std::optional<uint32_t> length) {
  container.push_back(kind);
  if (kind == kRecordFile) {
    const uint32_t l = length.value_or(static_cast<uint32_t>(data.size()));
    for (int k = 0; k < 4; ++k)
      container.push_back(static_cast<uint8_t>(l >> (8 * k)));
  }
  Bytes field(kRecordNameBytes, 0);
  for (size_t k = 0; k < name.size() && 2 * k + 1 < field.size(); ++k) {
    field[2 * k] = static_cast<uint8_t>(name[k]);
    field[2 * k + 1] = static_cast<uint8_t>(name[k] >> 8);
  }
  container.insert(container.end(), field.begin(), field.end());
  if (kind == kRecordFile) container.insert(container.end(), data.begin(), data.end());
}

void AppendFolder(Bytes& container, const std::string& name) {
  AppendRecord(container, kRecordFolder, Wide(name));
}

void AppendFile(Bytes& container, const std::string& name, const std::string& data) {
  AppendRecord(container, kRecordFile, Wide(name), data);
}

std::u16string Wide(const std::string& name) {
  std::u16string wide;
  for (unsigned char c : name)
    wide += static_cast<char16_t>(c);
  return wide;
}

Bytes Sealed(Bytes plain) {
  SealContainer(plain);
  return plain;
}

Bytes Summed(Bytes plain) {
  Bytes sealed = Sealed(plain);
  std::copy_n(sealed.begin(), 4, plain.begin());
  return plain;
}

Bytes PlainSave() {
  Bytes c = PlainHeader();
  AppendFolder(c, "\\SAVE01");
  AppendFile(c, "\\SAVE01\\DATA.BIN", "game data");
  AppendFile(c, "\\SAVE01\\icon0.png", "not really a png");
  return c;
}

}  // namespace pspkvx::test
