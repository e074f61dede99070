#include "platform/Platform.h"

#include <cctype>
#include <cstdio>

namespace pspkvx::platform {

std::string JoinPath(const std::string& folder, const std::string& name) {
  std::string path = folder;
  path += kPathSep;
  path += name;
  return path;
}

bool SamePath(const std::string& a, const std::string& b) {
#ifdef _WIN32
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
#else
  return a == b;
#endif
}

std::string PathKey(const std::string& path) {
#ifdef _WIN32
  std::string key = path;
  for (char& c : key)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
#else
  return path;
#endif
}

std::string FolderOfPath(const std::string& path) {
  const size_t sep = path.find_last_of(kPathSep);
  return sep == std::string::npos ? path : path.substr(0, sep);
}

std::string BaseNameOfPath(const std::string& path) {
  const size_t sep = path.find_last_of(kPathSep);
  std::string name = sep == std::string::npos ? path : path.substr(sep + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string UsbDeviceInterfacePath(uint16_t vendor, uint16_t product, const std::string& instance) {
  char ids[32];
  std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x", vendor, product);
  std::string safe = instance;
  for (char& c : safe) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte > '~' || c == '#') c = '_';
  }
  return std::string("\\\\?\\usb#") + ids + "#" + safe + "#" + kUsbDeviceInterfaceGuid;
}

}  // namespace pspkvx::platform
