// Sets environment variables for one test and puts the old values back afterwards.
#pragma once

#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <string>

namespace pspkvx::test {

class ScopedEnv {
 public:
  void Set(const char* name, const std::string& value) {
    Remember(name);
    setenv(name, value.c_str(), 1);
  }
  void Unset(const char* name) {
    Remember(name);
    unsetenv(name);
  }
  ~ScopedEnv() {
    for (auto& [name, value] : saved_) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
  }

 private:
  void Remember(const char* name) {
    if (saved_.count(name)) return;
    const char* old = getenv(name);
    saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
  }
  std::map<std::string, std::optional<std::string>> saved_;
};

// A time zone (a TZ value such as "EST5") for one test; the old one is back afterwards.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const std::string& zone) {
    env_.emplace();
    env_->Set("TZ", zone);
    tzset();
  }
  ~ScopedTimeZone() {
    env_.reset();
    tzset();
  }

 private:
  std::optional<ScopedEnv> env_;
};

}  // namespace pspkvx::test
