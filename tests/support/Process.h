// Runs a program as a child process for tests: an argument list (never a shell string), the
// child's output captured, a time limit after which it is killed.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace pspkvx::test {

struct ProcessResult {
  int exitCode = -1;  // -1 when killed by a signal or the time limit
  bool timedOut = false;
  std::string out;
  std::string err;
};

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env = {},
                         std::chrono::milliseconds limit = std::chrono::seconds(30));

// A child that keeps running while the test goes on.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {});
  ~Child();  // kills the child if it still runs
  bool Running();
  // Waits for it to end (killing it after the limit); returns the exit code or -1.
  int Wait(std::chrono::milliseconds limit);
  void Terminate();
  // Everything the child wrote to stdout so far.
  std::string Output();

 private:
  int pid_ = -1;
  int outFd_ = -1;
  int status_ = -1;
  bool reaped_ = false;
  std::string out_;
};

// Path of a program in the program folder.
std::string ProgramFolderFile(const std::string& name);

// Runs pspkvx-cli of the program folder with the arguments, HOME pointing nowhere (so no
// user's settings are read) and the environment given on top.
ProcessResult RunCli(std::vector<std::string> args, std::map<std::string, std::string> env = {},
                     std::chrono::milliseconds limit = std::chrono::seconds(30));

}  // namespace pspkvx::test
