#include "support/FakePlatform.h"

namespace pspkvx::test {
namespace {

class FakeLock : public platform::InstanceLock {
 public:
  void SetRaiseHandler(std::function<void()>) override {}
};

}  // namespace

std::unique_ptr<platform::InstanceLock> FakePlatform::AcquireInstanceLock(const std::string& name) {
  lastLockName = name;
  if (anotherInstanceRuns) return nullptr;
  return std::make_unique<FakeLock>();
}

bool FakePlatform::AskRunningInstanceToRaise(const std::string& name) {
  lastLockName = name;
  ++raiseRequests;
  return true;
}

}  // namespace pspkvx::test
