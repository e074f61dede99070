// What a save container says about itself before it is installed: its header (with the
// title), the save folder it fills and its icon.
#pragma once

#include <array>
#include <span>
#include <string>

#include "saves/IconPicture.h"
#include "saves/SaveContainer.h"

namespace pspkvx {

struct ContainerInfo {
  std::array<uint8_t, kContainerHeaderSize> header{};
  // The last component of the first folder record's name; empty when there is none.
  std::string folderName;
  bool iconFound = false;    // a file record named "icon0.png" (any case) was found
  bool iconWritten = false;  // its bytes were written to the requested file
  bool iconDecoded = false;  // it was decoded into the requested picture
};

struct ContainerInfoRequest {
  std::string iconPath;            // when not empty: the icon's bytes are written to this file
  IconPicture* picture = nullptr;  // when set: the icon is decoded into it
  bool rescramble = false;         // scramble the body again, so that the buffer is as it was
};

// Checks the container as CheckContainer does and returns its code. Only when it is valid are
// the header, the folder name and the icon read (walking the records until both are found),
// and the requested icon file and picture made; otherwise info is left as it was. With
// rescramble the buffer is given back exactly as it came, whatever the result.
int ReadContainerInfo(std::span<uint8_t> container, ContainerInfo& info,
                      const ContainerInfoRequest& request = {});

}  // namespace pspkvx
