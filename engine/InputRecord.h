// One thing that happened to the window, in the engine's own terms: what a
// backend's Window hands the input manager, whatever the platform.
#ifndef LK_INPUT_RECORD_H
#define LK_INPUT_RECORD_H

#include "EventKeyboard.h"
#include "EventMouse.h"

namespace lk {

enum InputType {
  UNDEFINED_INPUT = -1,
  KEY_DOWN = 0,
  KEY_UP,
  POINTER_MOVED,
  BUTTON_DOWN,
  BUTTON_UP,
  // The window (or page) got or lost the keyboard focus, or was shown or hidden.
  FOCUS_GAINED,
  FOCUS_LOST,
  // The player asked to close the window.
  CLOSE_REQUESTED,
};

struct InputRecord {
  InputType type = UNDEFINED_INPUT;
  Key key = UNDEFINED_KEY;                        // KEY_DOWN and KEY_UP
  MouseButton button = UNDEFINED_MOUSE_BUTTON;    // BUTTON_DOWN and BUTTON_UP
  int x = 0;                                      // pointer position in window pixels,
  int y = 0;                                      // for the pointer and button records
};

}  // namespace lk

#endif
