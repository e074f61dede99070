#include "ui/ContextMenus.h"

#include "ui/ControlIds.h"

namespace pspkvx {

int ContextMenuFor(bool onItem, bool itemIsGroupFolder, bool insideGroupFolder) {
  if (!onItem) return insideGroupFolder ? MenuEmptyInGroup : MenuEmptyTopLevel;
  if (itemIsGroupFolder) return MenuGroupItem;
  return insideGroupFolder ? MenuFileInGroup : MenuFileItem;
}

const std::vector<int>& ContextMenuCommands(int menu) {
  static const std::vector<int> kGroupItem = {MenuOpen, MenuRename, MenuDelete, MenuNewGroupFolder};
  static const std::vector<int> kFileItem = {MenuRename, MenuDelete, MenuNewGroupFolder};
  static const std::vector<int> kFileInGroup = {MenuRename, MenuDelete, MenuUpALevel};
  static const std::vector<int> kEmptyTop = {MenuNewGroupFolder};
  static const std::vector<int> kEmptyInGroup = {MenuUpALevel};
  static const std::vector<int> kTreeFolder = {MenuTreeRefresh};
  static const std::vector<int> kNone;
  switch (menu) {
    case MenuGroupItem:
      return kGroupItem;
    case MenuFileItem:
      return kFileItem;
    case MenuFileInGroup:
      return kFileInGroup;
    case MenuEmptyTopLevel:
      return kEmptyTop;
    case MenuEmptyInGroup:
      return kEmptyInGroup;
    case MenuTreeFolder:
      return kTreeFolder;
    default:
      return kNone;
  }
}

}  // namespace pspkvx
