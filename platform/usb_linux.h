// USB devices on Linux: sysfs (/sys/bus/usb/devices) presented as Windows device-interface
// paths, so that the detector reads the same text on every system.
#pragma once

#include <string>
#include <vector>

namespace pspkvx::platform {

// One path per device folder that has idVendor and idProduct (interfaces and other entries
// are passed over), ordered by folder name. The instance part is the device's serial number,
// or its folder name when it has none.
std::vector<std::string> UsbDevicePathsFromSysfs(const std::string& devicesFolder);

}  // namespace pspkvx::platform
