// video args, thumb-args, parse-output and is-avc: the encoder commands PSPKVX forms for a
// conversion and a thumbnail, its reading of the encoder's output, and its test for AVC MP4s.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "base/FileRead.h"
#include "base/StringTable.h"
#include "cli/Cli.h"
#include "cli/CliProgress.h"
#include "cli/CliStick.h"
#include "media/CatalogueAdd.h"
#include "media/CopyEngine.h"
#include "media/MediaCatalogue.h"
#include "media/MediaTypes.h"
#include "video/EncoderOutput.h"
#include "video/VideoBatch.h"
#include "video/VideoConvert.h"
#include "video/VideoProfile.h"

namespace pspkvx::cli {
namespace {

struct VideoOptions {
  std::string source;
  std::string output;
  std::string frame;
  std::string stick;
  std::string onExists = "skip";
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

// The bar on the terminal while the encoder works.
class ProgressWindow final : public IMediaWindow {
 public:
  void SetStatusText(const std::string& text) override { bar_.SetStatus(text); }
  void SetProgress(int percent) override { bar_.SetPercent(percent); }
  std::string ChooseSavePath(const std::string&) override { return ""; }
  std::string AskName(const std::string&, const std::string&) override { return ""; }
  void Finish() { bar_.Finish(); }

 private:
  TerminalBar bar_;
};

void Convert(Context& context, const VideoOptions& options) {
  if (options.output.empty() == options.stick.empty())
    throw CliError(kExitUsage, "give either --out PATH or --stick ROOT");
  if (const std::string problem = InputFileProblem(options.source); !problem.empty())
    throw CliError(kExitFailed, problem);
  const auto entry = EntryOfFile(AbsolutePath(options.source));
  if (!entry) throw CliError(kExitFailed, "cannot read " + options.source);
  VideoConversion conversion;
  conversion.programFolder = context.ProgramFolder();
  conversion.videoOptions =
      static_cast<uint32_t>(options.level) | (options.wide ? VideoWideScreen : 0);
  conversion.avc = options.avc;
  ManualResetEvent stop;
  conversion.stop = &stop;
  InterruptWatch watch(stop);
  EncoderProgress progress;
  int result = 0;
  std::string output;
  std::string thumbnail;
  std::string message;
  if (!options.output.empty()) {
    if (platform::SamePath(AbsolutePath(options.output), entry->path))
      throw CliError(kExitFailed, "the output would replace the video itself: " + options.output);
    RequireOutputFile(options.output);
    conversion.output = AbsolutePath(options.output);
    ProgressWindow window;
    const ConvertOutcome converted = ConvertVideo(&*entry, conversion, window, progress);
    window.Finish();
    result = converted.result;
    output = converted.output;
    thumbnail = converted.thumbnail;
    if (result == ConvertLaunchFailed) message = StringOf(IDS_ENCODER_NOT_STARTED);
    if (result == ConvertNoOutput) message = StringOf(IDS_VIDEO_UNSUPPORTED) + " " + entry->name;
    if (result == ConvertCancelled) message = "the conversion was stopped";
    // Half a video is no video: a stopped or failed conversion leaves no file.
    if (result != ConvertOk) std::remove(conversion.output.c_str());
  } else {
    CliStick target(options.stick,
                    CliMessageHost(MbExistingDestination, OverwriteAnswer(options.onExists)));
    ProgressWindow window;
    const MediaStick media{target.Platform(), target.Drive(), target.Files(), target.Host(),
                           window};
    const BatchStep step = ConvertForPspStep(media, *entry, conversion, progress);
    window.Finish();
    result = step.result;
    output = step.destination;
    thumbnail = step.thumbnail;
    if (step.conversionStopped)
      message = "the conversion was stopped";
    else if (step.result < 0)
      message = target.Host().Messages("the video was not sent");
  }
  if (context.json) {
    nlohmann::json out = {
        {"result", result}, {"output", PathOrNull(output)}, {"thumbnail", PathOrNull(thumbnail)}};
    if (!message.empty()) out["message"] = message;
    PrintJson(out);
  } else if (message.empty()) {
    std::cout << "wrote " << AbsolutePath(output)
              << (thumbnail.empty() ? "" : " and " + AbsolutePath(thumbnail)) << "\n";
  }
  if (!message.empty()) {
    PrintFailureLine(message);
    context.exitCode = kExitFailed;
  }
}

void Thumb(const Context& context, const VideoOptions& options) {
  if (const std::string problem = InputFileProblem(options.source); !problem.empty())
    throw CliError(kExitFailed, problem);
  const std::string thumbnail = VideoThumbnailPath(AbsolutePath(options.output));
  if (thumbnail.empty()) throw CliError(kExitUsage, "OUT must not be a .thm file itself");
  RequireOutputFile(thumbnail);
  if (!MakeVideoThumbnail(context.ProgramFolder(), AbsolutePath(options.source), nullptr,
                          AbsolutePath(options.output)))
    throw CliError(kExitFailed, "no frame could be taken from " + options.source +
                                    " (the encoder could not read it, or it is shorter than the "
                                    "6 seconds, or a minute, the frame is taken at)");
  if (context.json)
    PrintJson({{"thumbnail", Latin1ToUtf8(thumbnail)}});
  else
    std::cout << "wrote " << thumbnail << "\n";
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

  auto* convert = video->add_subcommand(
      "convert", "Convert a video for the PSP into a file, or onto the stick as PSPKVX sends it");
  convert->add_option("SRC", options.source, "The video to convert")->required();
  convert->add_option("--out", options.output, "The MP4 file to write");
  convert->add_option("--stick", options.stick, "The stick's root folder to send the video to");
  convert->add_option("--level", options.level, "The quality, 0 Very Low ... 5 Maximum (default 2)")
      ->check(CLI::Range(0, 15));
  convert->add_flag("--wide", options.wide, "Wide 16:9 (default: Normal 4:3)");
  convert->add_flag("--avc", options.avc, "AVC encoding (default: MPEG-4)");
  AddOnExistsOption(convert, options.onExists, "the video");
  AddJsonFlag(convert, context);
  convert->callback([&context] { Convert(context, options); });

  auto* thumb = video->add_subcommand(
      "thumb", "Make the 160x120 thumbnail of a video, as PSPKVX makes it for OUT (OUT.thm)");
  thumb->add_option("SRC", options.source, "The video")->required();
  thumb->add_option("OUT", options.output, "The video the thumbnail is for")->required();
  AddJsonFlag(thumb, context);
  thumb->callback([&context] { Thumb(context, options); });

  auto* isAvc = video->add_subcommand("is-avc", "Tell whether an MP4 file is AVC-encoded");
  isAvc->add_option("FILE", options.source, "The MP4 file")->required();
  AddJsonFlag(isAvc, context);
  isAvc->callback([&context] { IsAvc(context, options); });
}

}  // namespace pspkvx::cli
