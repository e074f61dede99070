// The bytes the service serves for a save: the save container of its folder.
#pragma once

#include <string>
#include <vector>

namespace pspkvx::service {

struct SaveFileSource {
  std::string name;   // a bare file name inside the save folder
  std::string bytes;
};

// The container of a save folder with the given title and files. The save container writer has
// not joined the core yet, so for now these are plain placeholder bytes naming the folder and
// its files; this function is the one place to swap for the real writer.
std::string SaveContainerFor(const std::string& title, const std::string& folderName,
                             const std::vector<SaveFileSource>& files);

}  // namespace pspkvx::service
