#include "service/SaveContainerBytes.h"

namespace pspkvx::service {

std::string SaveContainerFor(const std::string& title, const std::string& folderName,
                             const std::vector<SaveFileSource>& files) {
  std::string bytes = "PSPKVX placeholder save\n";
  bytes += "title: " + title + "\n";
  bytes += "folder: " + folderName + "\n";
  for (const SaveFileSource& file : files) {
    bytes += "file: " + file.name + " " + std::to_string(file.bytes.size()) + "\n";
    bytes += file.bytes;
    bytes += "\n";
  }
  return bytes;
}

}  // namespace pspkvx::service
