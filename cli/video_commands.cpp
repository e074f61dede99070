// video args, thumb-args, parse-output and is-avc: the encoder commands PSPKVX forms for a
// conversion and a thumbnail, its reading of the encoder's output, and its test for AVC MP4s.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "base/FileRead.h"
#include "cli/Cli.h"
#include "media/CopyEngine.h"
#include "media/MediaCatalogue.h"
#include "video/EncoderOutput.h"
#include "video/VideoProfile.h"

namespace pspkvx::cli {
namespace {

struct VideoOptions {
  std::string source;
  std::string output;
  std::string frame;
  int level = 2;
  bool wide = false;
  bool avc = false;
  size_t chunk = 511;
};

void PrintCommand(const Context& context, const EncoderCommand& command) {
  if (context.json) {
    nlohmann::json argv = nlohmann::json::array();
    for (const std::string& argument : command.argv)
      argv.push_back(Latin1ToUtf8(argument));
    PrintJson({{"text", Latin1ToUtf8(command.text)}, {"argv", argv}});
  } else {
    std::cout << command.text << "\n";
  }
}

void Args(const Context& context, const VideoOptions& options) {
  const std::string output = options.output.empty()
                                 ? platform::JoinPath(context.ProgramFolder(), "PSP.MP4")
                                 : options.output;
  const std::string title = MakeVideoTitle(DisplayName(options.source, false));
  PrintCommand(context, VideoConversionCommand(options.source, title,
                                               VideoProfileFor(options.level, options.avc),
                                               options.avc, options.wide, output));
}

void ThumbArgs(const Context& context, const VideoOptions& options) {
  const std::string frame = options.frame.empty()
                                ? platform::JoinPath(context.ProgramFolder(), "tempthm.gif")
                                : options.frame;
  const auto status = platform::QueryLocalPath(options.source);
  const uint64_t bytes = status && status->kind == platform::PathKind::File ? status->size : 0;
  PrintCommand(context, ThumbnailCommand(options.source, bytes, frame));
}

void ParseOutput(const Context& context, const VideoOptions& options) {
  if (options.chunk == 0) throw CliError(kExitUsage, "--chunk must be at least 1");
  const std::vector<uint8_t> bytes = ReadInputFile(options.source);
  const std::string_view output(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  EncoderProgress progress;
  for (size_t at = 0; at < output.size(); at += options.chunk)
    ParseEncoderOutput(progress, output.substr(at, std::min(options.chunk, output.size() - at)),
                       false);
  if (context.json) {
    PrintJson({{"duration", progress.duration},
               {"time", progress.currentTime},
               {"percent", progress.percent}});
  } else {
    std::printf(
        "duration %lld s, time %lld s, %.1f %%\n", static_cast<long long>(progress.duration),
        static_cast<long long>(progress.currentTime), static_cast<double>(progress.percent));
  }
}

void IsAvc(const Context& context, const VideoOptions& options) {
  if (const std::string problem = InputFileProblem(options.source); !problem.empty())
    throw CliError(kExitFailed, problem);
  const bool avc = IsAvcMp4(context.platform, options.source);
  if (context.json)
    PrintJson({{"avc", avc}});
  else
    std::cout << (avc ? "AVC" : "not AVC") << "\n";
}

}  // namespace

void RegisterVideoCommands(CLI::App& app, Context& context) {
  static VideoOptions options;
  auto* video = app.add_subcommand("video", "Videos for the PSP");
  video->require_subcommand(1);

  auto* args = video->add_subcommand(
      "args", "Print the encoder's arguments for converting a video as PSPKVX forms them");
  args->add_option("SRC", options.source, "The video to convert")->required();
  args->add_option("--level", options.level,
                   "The quality, 0 Very Low ... 5 Maximum (6..15: the fallback row; default 2)")
      ->check(CLI::Range(0, 15));
  args->add_flag("--wide", options.wide, "Wide 16:9 (default: Normal 4:3)");
  args->add_flag("--avc", options.avc, "AVC encoding (default: MPEG-4)");
  args->add_option("--out", options.output,
                   "The converted file (default: PSP.MP4 in the program folder)");
  AddJsonFlag(args, context);
  args->callback([&context] { Args(context, options); });

  auto* thumbArgs = video->add_subcommand(
      "thumb-args", "Print the encoder's arguments for taking a video's thumbnail frame");
  thumbArgs->add_option("SRC", options.source, "The video")->required();
  thumbArgs->add_option("--frame", options.frame,
                        "The frame file (default: tempthm.gif in the program folder)");
  AddJsonFlag(thumbArgs, context);
  thumbArgs->callback([&context] { ThumbArgs(context, options); });

  auto* parse = video->add_subcommand(
      "parse-output", "Read a file of encoder output as PSPKVX reads it during a conversion");
  parse->add_option("FILE", options.source, "The encoder's output")->required();
  parse->add_option("--chunk", options.chunk, "The size of each read (default 511)");
  AddJsonFlag(parse, context);
  parse->callback([&context] { ParseOutput(context, options); });

  auto* isAvc = video->add_subcommand("is-avc", "Tell whether an MP4 file is AVC-encoded");
  isAvc->add_option("FILE", options.source, "The MP4 file")->required();
  AddJsonFlag(isAvc, context);
  isAvc->callback([&context] { IsAvc(context, options); });
}

}  // namespace pspkvx::cli
