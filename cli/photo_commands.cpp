// photo convert: a picture converted into the photo folder of a memory stick as PSPKVX's photo
// page does it, the stick a folder presented as the PSP's drive (CliStick.h).
#include <iostream>
#include <string>

#include "base/FileRead.h"
#include "cli/Cli.h"
#include "cli/CliStick.h"
#include "media/GroupFolders.h"
#include "media/MediaStick.h"
#include "media/PhotoConvert.h"

namespace pspkvx::cli {
namespace {

struct PhotoOptions {
  std::string file;
  int mode = 0;
  std::string stick;
  std::string group;
  std::string onExists = "skip";
  bool groupGiven = false;
};

void Convert(const Context& context, const PhotoOptions& options) {
  const int answer = OverwriteAnswer(options.onExists);
  if (options.groupGiven) {
    if (const std::string problem = StickNameProblem(options.group); !problem.empty())
      throw CliError(kExitUsage,
                     "--group must be one folder name: \"" + options.group + "\" " + problem);
  }
  if (const std::string problem = InputFileProblem(options.file); !problem.empty())
    throw CliError(kExitFailed, problem);

  CliStick stick(options.stick, CliMessageHost(MbExistingDestination, answer));
  CliMessageHost& host = stick.Host();
  CliMediaWindow window("", RenamePath(options.onExists));
  const MediaStick media{stick.Platform(), stick.Drive(), stick.Files(), host, window};
  PhotoOutcome outcome;
  const int result = ConvertPhoto(media, AbsolutePath(options.file), options.mode, options.group,
                                  nullptr, &outcome);
  if (result != PhotoConverted && result != PhotoSkipped) {
    throw CliError(kExitFailed, host.ShowedMessages() || outcome.error.empty()
                                    ? host.Messages("the photo was not converted")
                                    : outcome.error);
  }
  const std::string file = AbsolutePath(outcome.path);
  const bool written = result == PhotoConverted;
  if (context.json) {
    PrintJson({{"file", file},
               {"width", outcome.width},
               {"height", outcome.height},
               {"written", written}});
  } else if (written) {
    std::cout << "wrote " << file << " (" << outcome.width << "x" << outcome.height << ")\n";
  } else {
    std::cout << "kept " << file << " (--on-exists overwrite replaces it)\n";
  }
}

}  // namespace

void RegisterPhotoCommands(CLI::App& app, Context& context) {
  static PhotoOptions options;
  auto* photo = app.add_subcommand("photo", "Photos for the PSP");
  photo->require_subcommand(1);
  auto* convert =
      photo->add_subcommand("convert", "Convert a picture into the stick's photo folder");
  convert->add_option("FILE", options.file, "The picture to convert")->required();
  convert
      ->add_option("--mode", options.mode,
                   "0 straight, 1 fit inside 480x272, 2 stretch to 480x272, 3 cover 480x272 and "
                   "cut the centre")
      ->required()
      ->check(CLI::Range(0, 3));
  convert->add_option("--stick", options.stick, "The stick's root folder")->required();
  convert->add_option("--group", options.group, "The group folder to put the photo in")
      ->each([](const std::string&) { options.groupGiven = true; });
  AddOnExistsOption(convert, options.onExists, "the JPEG");
  AddJsonFlag(convert, context);
  convert->callback([&context] { Convert(context, options); });
}

}  // namespace pspkvx::cli
