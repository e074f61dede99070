#include "psp/StickTree.h"

#include "base/StringTable.h"

namespace pspkvx {
namespace {

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 1 && path.back() == platform::kPathSep)
    path.pop_back();
  return path;
}

}  // namespace

int DeleteStickTree(platform::Platform& platform, IMessageBoxHost& host, const std::string& path) {
  const std::string folder = WithoutTrailingSeparator(path);
  const auto status = platform.QueryPath(folder);
  if (status && status->kind != platform::PathKind::Folder) {
    // A link (or a file) where a folder was expected: remove it, not what it points to.
    if (platform.RemoveFile(folder)) return 0;
    ShowMessage(host, StringOf(IDS_COULD_NOT_DELETE_FILE) + folder);
    return -1;
  }
  for (const platform::FolderEntry& entry : platform.ListFolder(folder)) {
    const std::string child = platform::JoinPath(folder, entry.name);
    const auto childStatus = platform.QueryPath(child);
    if (!childStatus) continue;  // gone meanwhile
    if (childStatus->kind == platform::PathKind::Folder) {
      if (DeleteStickTree(platform, host, child) != 0) return -1;
    } else if (!platform.RemoveFile(child)) {
      ShowMessage(host, StringOf(IDS_COULD_NOT_DELETE_FILE) + child);
      return -1;
    }
  }
  if (!platform.RemoveFolder(folder)) {
    ShowMessage(host, StringOf(IDS_COULD_NOT_DELETE_FOLDER) + folder);
    return -1;
  }
  return 0;
}

}  // namespace pspkvx
