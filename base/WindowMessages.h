// The private messages workers send to the main window. They are always sent, never posted:
// the sender waits until the window thread has handled the message.
#pragma once

#include <cstdint>

namespace pspkvx {

inline constexpr uint32_t kWmApp = 0x8000;

inline constexpr uint32_t WM_BATCH_DONE = 0x8001;      // batch worker finished
inline constexpr uint32_t WM_TRANSFER_DONE = 0x8002;   // lParam: downloaded buffer or 0
inline constexpr uint32_t WM_TREE_CLICKED = 0x800F;    // online tree pressed
inline constexpr uint32_t WM_LIST_CLICKED = 0x8010;    // lParam: the list control
inline constexpr uint32_t WM_CHECK_UPDATES = 0x8011;   // lParam 0 ask first, 1 do not ask
inline constexpr uint32_t WM_STATUS_CHANGED = 0x8013;  // repaint the status rectangle
inline constexpr uint32_t WM_LISTS_LOADED = 0x8016;    // list files loaded

// What workers send the private messages to: the main window, through its WindowBridge (or a
// stand-in in tests). Sending blocks the worker until the window thread has handled the
// message; sent from the window thread itself it is handled at once.
class IWindowMessages {
 public:
  virtual ~IWindowMessages() = default;
  virtual intptr_t SendWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

}  // namespace pspkvx
