// A platform whose every answer the test scripts.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace pspkvx::test {

class FakePlatform : public platform::Platform {
 public:
  uint32_t osFamily = platform::kOsNt;
  std::string programPath = "/opt/pspkvx/PSPKVX";
  std::string currentDirectory = "/home/user";
  std::string documentsFolder = "/home/user/Documents";
  // When set, AcquireInstanceLock fails as if another instance ran.
  bool anotherInstanceRuns = false;
  int raiseRequests = 0;
  std::string lastLockName;

  uint32_t OsFamily() const override { return osFamily; }
  std::string ProgramPath() const override { return programPath; }
  std::string CurrentDirectory() const override { return currentDirectory; }
  std::string DocumentsFolder() const override { return documentsFolder; }
  std::unique_ptr<platform::InstanceLock> AcquireInstanceLock(const std::string& name) override;
  bool AskRunningInstanceToRaise(const std::string& name) override;
};

}  // namespace pspkvx::test
