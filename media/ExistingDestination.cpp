#include "media/ExistingDestination.h"

#include "base/StringTable.h"

namespace pspkvx {

std::optional<std::string> AskExistingDestination(const MediaStick& stick,
                                                  const std::string& destination,
                                                  const std::string& shown) {
  MessageBoxRequest question;
  question.text = StringOf(IDS_FILE_EXISTS_OVERWRITE) + "\r\n" + shown;
  question.type = MbExistingDestination;
  question.labels = {IDS_OVERWRITE, IDS_RENAME, IDS_SKIP, 0};
  switch (ShowMessage(stick.host, question)) {
    case ResultYes:
      return destination;
    case ResultNo: {
      std::string chosen = stick.window.ChooseSavePath(destination);
      if (chosen.empty()) return std::nullopt;
      return chosen;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace pspkvx
