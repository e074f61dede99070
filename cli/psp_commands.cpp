#include <iostream>

#include "app/AppConfig.h"
#include "base/Numbers.h"
#include "base/ProgramEnvironment.h"
#include "base/StringTable.h"
#include "cli/Cli.h"
#include "psp/PspDrive.h"
#include "psp/StickLayout.h"
#include "ui/PspStatusPanel.h"

namespace pspkvx::cli {
namespace {

struct PspOptions {
  std::string folder;
  std::string videoFolder;
  bool avc = false;
  std::string bytes;
};

// A decimal byte count that fits 64 bits; anything else is a usage error.
uint64_t ParseByteCount(const std::string& text) {
  if (text.empty()) throw CliError(kExitUsage, "BYTES must not be empty");
  const auto value = ParseNumber<uint64_t>(text);
  if (!value)
    throw CliError(kExitUsage,
                   "BYTES must be a whole number from 0 to 18446744073709551615: " + text);
  return *value;
}

// One detection as PSPKVX makes it, with the configuration of the given folder. The 95 family
// tries five letters a poll, so it gets the polls of one whole round of letters.
void ShowPspStatus(Context& context, const std::string& folder) {
  RequireReadableConfig(folder);
  AppConfig config;
  LoadConfig(config, folder, context.platform.DocumentsFolder());
  const uint32_t family = DetectOsFamily(context.platform);
  CPspDrive drive(context.platform, config, family);
  const int polls = family == platform::kOsWin9x ? 5 : 1;
  for (int i = 0; i < polls && !drive.IsReady(); ++i)
    drive.Poll();
  PspStatusPanel panel(drive, config);
  panel.Tick();

  // The letter the status speaks of: the PSP's, or the fixed one of the configuration.
  std::string letter;
  if (drive.IsReady())
    letter = std::string(1, drive.DriveLetter());
  else if (config.SearchForPsp == 0)
    letter = std::string(1, config.PspDriveLetter);
  const std::string root = letter.empty() ? "" : context.platform.DriveRoot(letter[0]);
  const std::vector<std::string> usb = drive.UsbDevicePaths();

  if (context.json) {
    nlohmann::json paths = nlohmann::json::array();
    for (const std::string& path : usb)
      paths.push_back(Latin1ToUtf8(path));
    PrintJson({{"state", drive.State()},
               {"text", panel.StatusText()},
               {"drive", Latin1ToUtf8(letter)},
               {"root", Latin1ToUtf8(root)},
               {"free", drive.GetFreeBytes()},
               {"total", drive.GetTotalBytes()},
               {"usb", paths}});
    return;
  }
  std::cout << "State: " << drive.State() << "\n"
            << "Text: " << panel.StatusText() << "\n"
            << "Drive: " << letter << "\n"
            << "Root: " << root << "\n"
            << "Free: " << drive.GetFreeBytes() << "\n"
            << "Total: " << drive.GetTotalBytes() << "\n";
  for (const std::string& path : usb)
    std::cout << "USB: " << path << "\n";
}

void ShowNextVideoName(const Context& context, const PspOptions& options) {
  // A missing folder holds no videos yet; a file or a pipe is not a folder at all.
  RequireFolder(options.videoFolder, true);
  std::string folder = options.videoFolder;
  if (folder.empty() || folder.back() != platform::kPathSep) folder += platform::kPathSep;
  const std::string name = NextVideoName(context.platform, folder, options.avc);
  if (name.empty()) throw CliError(kExitFailed, StringOf(IDS_VIDEO_NAMES_EXHAUSTED));
  if (context.json)
    PrintJson({{"name", name}});
  else
    std::cout << name << "\n";
}

}  // namespace

void RegisterPspCommands(CLI::App& app, Context& context) {
  static PspOptions options;
  auto* psp = app.add_subcommand("psp", "The PSP and its memory stick");
  psp->require_subcommand(1);

  auto* status = psp->add_subcommand("status", "Look for the PSP once, as PSPKVX does");
  status->add_option("--folder", options.folder,
                     "Folder holding PSPKV.CFG (default: the program folder)");
  AddJsonFlag(status, context);
  status->callback([&context] {
    ShowPspStatus(context, options.folder.empty() ? context.ProgramFolder() : options.folder);
  });

  auto* next = psp->add_subcommand("next-video-name", "The next free video name of a folder");
  next->add_option("FOLDER", options.videoFolder, "The video folder")->required();
  next->add_flag("--avc", options.avc, "AVC names (MAQ...) instead of MPEG-4 (M4V...)");
  AddJsonFlag(next, context);
  next->callback([&context] { ShowNextVideoName(context, options); });

  auto* size = app.add_subcommand("size", "A byte count as the program's lists show it");
  size->add_option("BYTES", options.bytes, "Number of bytes")->required();
  AddJsonFlag(size, context);
  size->callback([&context] {
    const std::string text = FormatSize(ParseByteCount(options.bytes));
    if (context.json)
      PrintJson({{"text", text}});
    else
      std::cout << text << "\n";
  });
}

}  // namespace pspkvx::cli
