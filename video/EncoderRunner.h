// Running the encoder program as a child. The piped run (conversions) reads everything the
// child writes, in chunks of 511 bytes, keeps the progress up to date from it and lets the stop
// event end the run; the hidden run (thumbnails) throws the output away and waits for the child,
// which the stop event ends too. The child's input is the null device; it is always waited for.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/ManualResetEvent.h"
#include "video/EncoderOutput.h"

namespace pspkvx {

enum RunResult : int {
  RunOk = 0,            // the output ended (piped) or the child ended (hidden)
  RunStartFailed = -1,  // the program could not be started
  RunCancelled = -2,    // the stop event was set; the child has been ended
};

struct EncoderRun {
  std::string program;
  std::vector<std::string> args;  // without the program itself
  const ManualResetEvent* stop = nullptr;
  bool hidden = false;
  std::string workingFolder;  // hidden run: the child's working folder (empty: this program's)
  bool quiet = false;         // piped run: the percentage is left alone
};

struct EncoderRunOutcome {
  int result = RunOk;
  int exitCode = -1;  // the child's, once it ended by itself; -1 otherwise
};

// progress is reset at the start of a piped run; onPercent (may be empty) hears every new
// percentage, and 100 when the output has ended.
EncoderRunOutcome RunEncoder(const EncoderRun& run, EncoderProgress& progress,
                             const std::function<void(float percent)>& onPercent);

}  // namespace pspkvx
