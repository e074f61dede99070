#include "platform/usb_linux.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/Platform.h"
#include "platform/files_linux.h"

namespace pspkvx::platform {
namespace {

// A sysfs value such as "054c\n" as a 16-bit number.
std::optional<uint16_t> ReadHexId(const std::string& path) {
  const auto text = ReadTextFile(path);
  if (!text) return std::nullopt;
  try {
    size_t used = 0;
    const unsigned long value = std::stoul(*text, &used, 16);
    if (used == 0 || value > 0xFFFF) return std::nullopt;
    return static_cast<uint16_t>(value);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::string TrimmedLine(const std::string& text) {
  const size_t end = text.find_first_of("\r\n");
  return text.substr(0, end);
}

}  // namespace

std::vector<std::string> UsbDevicePathsFromSysfs(const std::string& devicesFolder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(devicesFolder, error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());

  std::vector<std::string> paths;
  for (const std::string& name : names) {
    const std::string folder = devicesFolder + "/" + name;
    const auto vendor = ReadHexId(folder + "/idVendor");
    const auto product = ReadHexId(folder + "/idProduct");
    if (!vendor || !product) continue;
    const std::string serial = TrimmedLine(ReadTextFile(folder + "/serial").value_or(""));
    paths.push_back(UsbDeviceInterfacePath(*vendor, *product, serial.empty() ? name : serial));
  }
  return paths;
}

}  // namespace pspkvx::platform
