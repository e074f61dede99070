#include "base/MessageBox.h"

#include <atomic>

#include "base/StringTable.h"

namespace pspkvx {

MessageBoxButtonSet ButtonSetForType(int type) {
  switch (type) {
    case MbOkCancel:
    case MbAbout:
      return {2, {ResultOk, ResultCancel, 0, 0}};
    case MbYesNo:
      return {2, {ResultYes, ResultNo, 0, 0}};
    case MbRetryCancel:
      return {2, {ResultRetry, ResultCancel, 0, 0}};
    case MbYesNoCancel:
    case MbExistingDestination:
      return {3, {ResultYes, ResultNo, ResultCancel, 0}};
    case MbExistingDestinationAdd:
      return {4, {ResultYes, ResultNo, ResultCancel, ResultAddToList}};
    default:
      return {1, {ResultOk, 0, 0, 0}};
  }
}

int CloseResultForType(int type) {
  if (type == MbAbout) return ResultOk;
  if (type == MbExistingDestinationAdd) return ResultCancel;  // Skip, not Add To List
  const MessageBoxButtonSet set = ButtonSetForType(type);
  return set.results[static_cast<size_t>(set.count - 1)];
}

std::string DefaultButtonLabel(int type, int index) {
  const MessageBoxButtonSet set = ButtonSetForType(type);
  if (index < 0 || index >= set.count) return "";
  if (type == MbExistingDestination || type == MbExistingDestinationAdd) {
    static constexpr int kLabels[] = {IDS_OVERWRITE, IDS_RENAME, IDS_SKIP, IDS_ADD_TO_LIST};
    return StringText(kLabels[index]);
  }
  if (type == MbAbout && index == 1) return "Support";
  switch (set.results[index]) {
    case ResultOk:
      return "OK";
    case ResultCancel:
      return "Cancel";
    case ResultRetry:
      return "Retry";
    case ResultYes:
      return "Yes";
    case ResultNo:
      return "No";
    default:
      return "";
  }
}

ButtonFaces DefaultButtonFaces(int type, int index) {
  if (index < 0 || index >= ButtonSetForType(type).count) return kDefaultFaces;
  if (index == 0) return kDefaultButtonFaces;
  if (type == MbAbout || type == MbExistingDestination || type == MbExistingDestinationAdd)
    return kExtraButtonFaces;
  return kOtherButtonFaces;
}

ButtonFaces RequestButtonFaces(const MessageBoxRequest& request, int index) {
  if (index < 0 || index >= static_cast<int>(request.faces.size())) return kDefaultFaces;
  ButtonFaces faces = request.faces[static_cast<size_t>(index)];
  const ButtonFaces defaults = DefaultButtonFaces(request.type, index);
  for (size_t i = 0; i < faces.size(); ++i)
    if (faces[i] == -1) faces[i] = defaults[i];
  return faces;
}

namespace {
// Counts the open boxes, so that a box opened while another is open does not clear the flag
// for both when it closes.
std::atomic<int> openMessageBoxes{0};
}  // namespace

bool MessageBoxIsOpen() {
  return openMessageBoxes.load() > 0;
}

MessageBoxOpenMark::MessageBoxOpenMark() {
  openMessageBoxes.fetch_add(1);
}

MessageBoxOpenMark::~MessageBoxOpenMark() {
  openMessageBoxes.fetch_sub(1);
}

int ShowMessage(IMessageBoxHost& host, const MessageBoxRequest& request) {
  host.SetMessageShowing(true);
  const int result = host.ShowMessageBox(request);
  host.SetMessageShowing(false);
  return result;
}

int ShowMessage(IMessageBoxHost& host, const std::string& text, int type) {
  MessageBoxRequest request;
  request.text = text;
  request.type = type;
  return ShowMessage(host, request);
}

bool AskYesNo(IMessageBoxHost& host, const std::string& question) {
  return ShowMessage(host, question, MbYesNo) == ResultYes;
}

}  // namespace pspkvx
