// One thing that happened to the window, in the engine's own terms: what a
// backend's Window hands the input manager, whatever the platform.
#ifndef LK_INPUT_RECORD_H
#define LK_INPUT_RECORD_H

#include "EventKeyboard.h"
#include "EventMouse.h"

namespace lk {

/// What an input record tells.
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

/// One thing that happened to the window, as a backend's Window hands it over.
struct InputRecord {
  /// What happened.
  InputType type = UNDEFINED_INPUT;
  /// The key, of KEY_DOWN and KEY_UP.
  Key key = UNDEFINED_KEY;
  /// The button, of BUTTON_DOWN and BUTTON_UP.
  MouseButton button = UNDEFINED_MOUSE_BUTTON;
  /// The pointer across, in the window's own pixels (whatever the window is
  /// scaled to on the screen), for the pointer and button records.
  int x = 0;
  /// The pointer down, in the window's own pixels.
  int y = 0;
};

}  // namespace lk

#endif
