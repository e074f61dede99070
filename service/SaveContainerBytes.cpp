#include "service/SaveContainerBytes.h"

#include "saves/ContainerWriter.h"
#include "service/ServiceCatalogue.h"

namespace pspkvx::service {
namespace {

std::string BytesOf(const ContainerWriteResult& result) {
  if (!result.ok()) throw CatalogueError(result.error);
  return std::string(result.container.begin(), result.container.end());
}

}  // namespace

std::string SaveContainerFor(const std::string& title, const std::string& folderName,
                             const std::vector<SaveFileSource>& files) {
  std::vector<SaveRecordSource> records;
  records.push_back({kRecordFolder, "\\" + folderName, {}});
  for (const SaveFileSource& file : files)
    records.push_back({kRecordFile, "\\" + folderName + "\\" + file.name, file.bytes});
  return BytesOf(WriteContainer(title, records));
}

std::string PackedSaveFolder(const std::string& folderPath, const std::string& title) {
  return BytesOf(PackSaveFolder(folderPath, title));
}

}  // namespace pspkvx::service
