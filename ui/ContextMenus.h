// The context menus of the music and photo PSP lists and of the online tree, and which one a
// right click opens.
#pragma once

#include <vector>

namespace pspkvx {

enum ContextMenuId : int {
  MenuGroupItem = 598,      // Open, Rename, Delete, New Group Folder
  MenuFileItem = 599,       // Rename, Delete, New Group Folder
  MenuFileInGroup = 600,    // Rename, Delete, Up a level
  MenuEmptyTopLevel = 601,  // New Group Folder
  MenuEmptyInGroup = 602,   // Up a level
  MenuTreeFolder = 603,     // Refresh: a folder node of the online tree
};

// On empty space: New Group Folder at the top level, Up a level inside a group folder; on a
// group folder: its menu; on a file: its menu, with Up a level instead of New Group Folder
// inside a group folder.
int ContextMenuFor(bool onItem, bool itemIsGroupFolder, bool insideGroupFolder);

// The commands of a menu (MenuCommand), in order.
const std::vector<int>& ContextMenuCommands(int menu);

}  // namespace pspkvx
