// Message-box types, their button sets and the dialog results, GUI-free. Every message and
// question of the program is a MessageBoxRequest shown by the window's message box.
#pragma once

#include <array>
#include <string>

namespace pspkvx {

// Dialog results (the values of the Windows dialog result codes).
enum DialogResult : int {
  ResultOk = 1,
  ResultCancel = 2,
  ResultRetry = 4,
  ResultYes = 6,
  ResultNo = 7,
  ResultAddToList = 39321,
};

// Message-box types.
enum MessageBoxType : int {
  MbOk = 0,
  MbOkCancel = 1,
  MbYesNoCancel = 3,
  MbYesNo = 4,
  MbRetryCancel = 5,
  MbAbout = 39319,                  // "OK" and a second button chosen by the caller
  MbExistingDestination = 39320,    // three buttons: results 6, 7, 2
  MbExistingDestinationAdd = 39321  // four buttons: results 6, 7, 2, 39321
};

struct MessageBoxButtonSet {
  int count;
  std::array<int, 4> results;
};

// The buttons of a type; an unknown type gives one button returning 1.
MessageBoxButtonSet ButtonSetForType(int type);

struct MessageBoxRequest {
  std::string text;
  int type = MbOk;
  // Per button: a string id for its label (0: the default label of its result).
  std::array<int, 4> labels{};
};

// The label a button shows when the caller gave none.
std::string DefaultButtonLabel(int type, int index);

// What shows message boxes: the main window, or a stand-in where there is none.
class IMessageBoxHost {
 public:
  virtual ~IMessageBoxHost() = default;
  // Shows the request modally (from any thread) and returns the pressed button's result.
  virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
  // The window's "a message box is showing" flag.
  virtual void SetMessageShowing(bool showing) = 0;
};

// Shows a request through host with the host's "a message box is showing" flag set meanwhile,
// and returns the pressed button's result: the one way every message of the program is shown.
int ShowMessage(IMessageBoxHost& host, const MessageBoxRequest& request);
int ShowMessage(IMessageBoxHost& host, const std::string& text, int type = MbOk);
// Asks a Yes/No question; true for Yes.
bool AskYesNo(IMessageBoxHost& host, const std::string& question);

}  // namespace pspkvx
