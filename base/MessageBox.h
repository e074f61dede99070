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
// What a box of the type gives when it is closed without a button (Escape, the window's close):
// its last button's result (No, Cancel, Skip), but OK for the About box, whose second button
// opens a web page, and Skip for the existing-destination question whose last is Add To List.
int CloseResultForType(int type);

// A button's three faces: the skin's bitmap ids for its normal, hot and pressed states.
using ButtonFaces = std::array<int, 3>;
inline constexpr ButtonFaces kDefaultFaces = {-1, -1, -1};  // "the default faces of the button"
inline constexpr ButtonFaces kDefaultButtonFaces = {239, 238, 237};  // the dialog's default button
inline constexpr ButtonFaces kOtherButtonFaces = {243, 242, 241};
inline constexpr ButtonFaces kExtraButtonFaces = {405, 407,
                                                  406};  // the message box's extra choices

struct MessageBoxRequest {
  std::string text;
  int type = MbOk;
  // Per button: a string id for its label (0: the default label of its result).
  std::array<int, 4> labels{};
  // Per button: its faces; -1 takes the face its type gives it (kDefaultFaces: all three).
  std::array<ButtonFaces, 4> faces = {kDefaultFaces, kDefaultFaces, kDefaultFaces, kDefaultFaces};
};

// The label a button shows when the caller gave none.
std::string DefaultButtonLabel(int type, int index);
// The faces a button has when the caller gave none: the first button is the default button;
// the About box's second button and the existing-destination question's buttons 2 to 4 show
// the extra faces; the others the plain ones.
ButtonFaces DefaultButtonFaces(int type, int index);
// The faces button index of the request shows: the request's own where given, else its type's.
ButtonFaces RequestButtonFaces(const MessageBoxRequest& request, int index);

// The process-wide "a message box is open" flag: true while any MessageBoxOpenMark exists.
// The message box dialog holds one for its lifetime; any thread may read the flag.
bool MessageBoxIsOpen();
class MessageBoxOpenMark {
 public:
  MessageBoxOpenMark();
  ~MessageBoxOpenMark();
  MessageBoxOpenMark(const MessageBoxOpenMark&) = delete;
  MessageBoxOpenMark& operator=(const MessageBoxOpenMark&) = delete;
};

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
