#include "saves/ContainerInfo.h"

#include <algorithm>
#include <cctype>

#include "platform/Platform.h"
#include "saves/ContainerScramble.h"

namespace pspkvx {
namespace {

bool IsIconName(const std::string& name) {
  static constexpr char kIcon[] = "icon0.png";
  const std::string last = LastNameComponent(name);
  return last.size() == sizeof kIcon - 1 &&
         std::equal(last.begin(), last.end(), kIcon, [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == b;
         });
}

void TakeIcon(const ContainerRecord& record, ContainerInfo& info,
              const ContainerInfoRequest& request) {
  info.iconFound = true;
  if (!request.iconPath.empty())
    info.iconWritten =
        platform::ReplaceFileAtomically(request.iconPath, record.data.data(), record.data.size());
  if (request.picture) info.iconDecoded = DecodeIconPicture(record.data, *request.picture);
}

}  // namespace

int ReadContainerInfo(std::span<uint8_t> container, ContainerInfo& info,
                      const ContainerInfoRequest& request) {
  const int check = CheckContainer(container);
  if (check != kContainerValid && check != kContainerChecksumMismatch) return check;
  if (check == kContainerValid) {
    ContainerInfo found;
    std::copy_n(container.begin(), kContainerHeaderSize, found.header.begin());
    bool folderFound = false;
    for (size_t offset = kContainerHeaderSize;
         RecordMayStartAt(container, offset) && !(folderFound && found.iconFound);) {
      const auto record = NextRecord(container, offset);
      if (!record) break;
      if (record->kind == kRecordFolder && !folderFound) {
        folderFound = true;
        found.folderName = LastNameComponent(record->name);
      } else if (record->kind == kRecordFile && !found.iconFound && IsIconName(record->name)) {
        TakeIcon(*record, found, request);
      }
      offset += record->size;
    }
    info = std::move(found);
  }
  if (request.rescramble)
    ScrambleBody(container.data() + kContainerHeaderSize, container.size() - kContainerHeaderSize);
  return check;
}

}  // namespace pspkvx
