// The older reader of the service's settings page, used by the online tree browser: five
// addresses taken from "KEY=value" lines and a loaded flag. It does not use the TagTable.
#pragma once

#include <string>

#include "base/MessageBox.h"
#include "online/HttpTransport.h"

namespace pspkvx {

class LineSettings {
 public:
  // Reads the page at pageAddress. When it cannot be opened, shows "Could not connect to online
  // server" (when a host is given) and returns false; the loaded flag stays as it was. Otherwise
  // every line longer than 10 characters is compared with "SAVES_URL=", "UPLOAD_URL=",
  // "PNG_URL=", "CODELIST_URL=" and "VERSION_URL=" in that order, the first match keeps the rest
  // of the line, and the flag is set.
  bool LoadLineSettings(const std::string& pageAddress, IMessageBoxHost* messages);

  // The stored values once loaded; empty before.
  std::string SavesUrl() const { return loaded_ ? savesUrl_ : std::string(); }
  std::string UploadUrl() const { return loaded_ ? uploadUrl_ : std::string(); }
  std::string PngUrl() const { return loaded_ ? pngUrl_ : std::string(); }
  std::string CodelistUrl() const { return loaded_ ? codelistUrl_ : std::string(); }
  std::string VersionUrl() const { return loaded_ ? versionUrl_ : std::string(); }
  bool Loaded() const { return loaded_; }

  // The tree browser's way in: SAVES_URL, loading the page once when it is empty; when it is
  // still empty shows "The internet connection does not appear to be working".
  std::string SavesUrlOrLoad(const std::string& pageAddress, IMessageBoxHost* messages);

  void SetTransferLimits(const TransferLimits& limits) { limits_ = limits; }

 private:
  std::string savesUrl_, uploadUrl_, pngUrl_, codelistUrl_, versionUrl_;
  bool loaded_ = false;
  TransferLimits limits_;
};

}  // namespace pspkvx
