// A memory stick for the subcommands that work on one: the stick's root folder presented as the
// PSP's drive (the simulated PSP on letter P, with the capacity of PSPKVX_SIMULATED_CAPACITY), so
// that the detection, the paths and the writes are PSPKVX's own; and a message-box host that
// keeps the messages for stderr and answers questions as the command's flags say.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#include "app/AppConfig.h"
#include "base/MessageBox.h"
#include "media/MediaStick.h"
#include "platform/Platform.h"
#include "psp/PspDrive.h"
#include "psp/PspStick.h"

namespace pspkvx::cli {

// Messages are kept (for stderr, when the command fails); a Yes/No question is answered Yes
// or No as the command was told, or the questions of another box type get a fixed result (the
// existing-destination question: ResultYes Overwrite, ResultNo Rename, ResultCancel Skip).
class CliMessageHost final : public IMessageBoxHost {
 public:
  explicit CliMessageHost(bool answerYes)
      : CliMessageHost(MbYesNo, answerYes ? ResultYes : ResultNo) {}
  CliMessageHost(int questionType, int answer) : questionType_(questionType), answer_(answer) {}
  int ShowMessageBox(const MessageBoxRequest& request) override;
  void SetMessageShowing(bool) override {}
  // Every message shown, or the fallback when there was none.
  std::string Messages(const std::string& fallback) const {
    return messages_.empty() ? fallback : messages_;
  }
  bool ShowedMessages() const { return !messages_.empty(); }

 private:
  int questionType_;
  int answer_;
  std::string messages_;
};

// The window's side of a media operation, without a window: no status line or progress; the
// name entry and the save dialog answer with what the command was given (empty: cancelled).
class CliMediaWindow final : public IMediaWindow {
 public:
  CliMediaWindow(std::string name, std::string savePath)
      : name_(std::move(name)), savePath_(std::move(savePath)) {}
  void SetStatusText(const std::string&) override {}
  void SetProgress(int) override {}
  std::string ChooseSavePath(const std::string&) override { return savePath_; }
  std::string AskName(const std::string&, const std::string&) override { return name_; }

 private:
  std::string name_;
  std::string savePath_;
};

// --on-exists overwrite|skip|rename:PATH, what a command does when its file is already on the
// stick (the default: skip).
void AddOnExistsOption(CLI::App* command, std::string& onExists, const std::string& what);
// The answer of the existing-destination question it gives (ResultYes Overwrite, ResultNo
// Rename, ResultCancel Skip); CliError (exit 2) for another text.
int OverwriteAnswer(const std::string& onExists);
// The path of rename:PATH; empty for the other answers.
std::string RenamePath(const std::string& onExists);

// A path made absolute and normal, for what a command reports; as given when that fails.
std::string AbsolutePath(const std::string& path);
// The same for JSON output; null for an empty path (no file).
nlohmann::json PathOrNull(const std::string& path);

// The stick folder as the PSP's drive, found by one detection with the letter fixed on P. A root
// that does not exist is an unplugged PSP, a file or a pipe a mistake to name: both are CliError
// (exit 1).
class CliStick {
 public:
  CliStick(const std::string& root, bool answerYes) : CliStick(root, CliMessageHost(answerYes)) {}
  CliStick(const std::string& root, CliMessageHost host);

  platform::Platform& Platform() { return *platform_; }
  CPspDrive& Drive() { return *drive_; }
  PspStick& Files() { return *files_; }
  CliMessageHost& Host() { return host_; }

 private:
  std::unique_ptr<platform::Platform> platform_;
  AppConfig config_{};
  std::unique_ptr<CPspDrive> drive_;
  std::unique_ptr<PspStick> files_;
  CliMessageHost host_;
};

}  // namespace pspkvx::cli
