// Child programs: started with an argument list (never through a shell), their standard input
// the null device, their output and error read together through one pipe or thrown away. A
// child is always waited for: destroying its object ends it first if it still runs. A detached
// program (StartDetachedProgram) is the one exception: it is started and left to itself.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pspkvx::platform {

struct ChildOptions {
  bool captureOutput = true;    // output and error into one pipe; else to the null device
  bool ownProcessGroup = true;  // Terminate then ends the child's own children too
  std::string workingFolder;    // empty: this program's
};

class ChildProcess {
 public:
  virtual ~ChildProcess() = default;
  // Up to size bytes of the child's output: their count; 0 once the output has ended (every
  // writer closed it); -1 when nothing came within timeoutMs (or nothing is captured).
  virtual int ReadOutput(char* buffer, size_t size, int timeoutMs) = 0;
  // The exit code once the child has ended (128 + the signal when a signal ended it); none while
  // it still runs after timeoutMs.
  virtual std::optional<int> WaitFor(int timeoutMs) = 0;
  // Ends the child (and, with ownProcessGroup, its process group) at once.
  virtual void Terminate() = 0;
};

// None when the program cannot be started (missing, not executable, no resources).
std::unique_ptr<ChildProcess> StartChildProcess(const std::string& program,
                                                const std::vector<std::string>& args,
                                                const ChildOptions& options = {});

// Starts a program that runs on by itself: no child of this program (nothing waits for it or
// has to collect its end, and it outlives this program), in a session of its own, its standard
// input the null device, its output and error this program's, in workingFolder (empty: this
// program's). True once the program itself runs; false when it cannot be started.
bool StartDetachedProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& workingFolder);

// The first executable file called name in the folders of PATH that is not the program
// notThis (compared after links are resolved); empty when there is none.
std::string FindProgramOnPath(const std::string& name, const std::string& notThis = "");

}  // namespace pspkvx::platform
