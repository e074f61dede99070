// The bytes the service serves for a save or a release: the save container of a folder.
#pragma once

#include <string>
#include <vector>

namespace pspkvx::service {

struct SaveFileSource {
  std::string name;  // a bare file name inside the save folder
  std::string bytes;
};

// The container of a save folder with the given title and files, made with the core's
// container writer. Throws CatalogueError when the writer refuses (a title that is not UTF-8
// or too long, a name a reader would refuse).
std::string SaveContainerFor(const std::string& title, const std::string& folderName,
                             const std::vector<SaveFileSource>& files);

// The container of a save folder on disk, packed as it lies. Throws CatalogueError.
std::string PackedSaveFolder(const std::string& folderPath, const std::string& title);

}  // namespace pspkvx::service
