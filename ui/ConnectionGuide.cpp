#include "ui/ConnectionGuide.h"

#include "base/StringTable.h"

namespace pspkvx {

std::string PspConnectionGuide() {
  std::string text;
  for (int id = IDS_PSP_HELP_INTRO; id <= IDS_PSP_HELP_STEP7; ++id)
    text += StringOf(id) + "\r\n\r\n";
  return text;
}

}  // namespace pspkvx
