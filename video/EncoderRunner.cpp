#include "video/EncoderRunner.h"

#include <string_view>

#include "platform/ChildProcess.h"

namespace pspkvx {
namespace {

constexpr size_t kChunkBytes = 511;
constexpr int kStopCheckMs = 100;

bool Stopped(const ManualResetEvent* stop) {
  return stop && stop->IsSet();
}

EncoderRunOutcome Cancel(platform::ChildProcess& child) {
  child.Terminate();
  child.WaitFor(5000);
  return {RunCancelled, -1};
}

EncoderRunOutcome RunHidden(const EncoderRun& run) {
  auto child = platform::StartChildProcess(run.program, run.args,
                                           platform::ChildOptions{false, true, run.workingFolder});
  if (!child) return {RunStartFailed, -1};
  for (;;) {
    if (const auto code = child->WaitFor(kStopCheckMs)) return {RunOk, *code};
    if (Stopped(run.stop)) return Cancel(*child);
  }
}

}  // namespace

EncoderRunOutcome RunEncoder(const EncoderRun& run, EncoderProgress& progress,
                             const std::function<void(float)>& onPercent) {
  if (run.hidden) return RunHidden(run);
  progress.duration = 0;
  progress.currentTime = 0;
  if (!run.quiet) {
    progress.percent = 0;
    if (onPercent) onPercent(0);
  }
  auto child = platform::StartChildProcess(run.program, run.args,
                                           platform::ChildOptions{true, true, run.workingFolder});
  if (!child) return {RunStartFailed, -1};
  char chunk[kChunkBytes];
  for (;;) {
    const int n = child->ReadOutput(chunk, sizeof chunk, kStopCheckMs);
    if (n == 0) break;  // the output has ended
    if (n > 0 &&
        ParseEncoderOutput(progress, std::string_view(chunk, static_cast<size_t>(n)), run.quiet) &&
        onPercent)
      onPercent(progress.percent);
    if (Stopped(run.stop)) return Cancel(*child);
  }
  // The output ends when the child does; a child that closed it early is still waited for.
  std::optional<int> code;
  while (!(code = child->WaitFor(kStopCheckMs)))
    if (Stopped(run.stop)) return Cancel(*child);
  if (!run.quiet) {
    progress.percent = 100;
    if (onPercent) onPercent(100);
  }
  return {RunOk, *code};
}

}  // namespace pspkvx
