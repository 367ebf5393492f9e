#ifndef LK_EVENT_MOUSE_H
#define LK_EVENT_MOUSE_H

#include "Event.h"
#include "Vector.h"

namespace lk {

const std::string MOUSE_EVENT = "lk::mouse";

/// What happened to the mouse.
enum MouseAction {
  UNDEFINED_MOUSE_ACTION = -1,
  CLICKED = 0,
  MOVED = 1,
};

/// Which button was clicked.
enum MouseButton {
  UNDEFINED_MOUSE_BUTTON = -1,
  LEFT_BUTTON = 0,
  RIGHT_BUTTON = 1,
  MIDDLE_BUTTON = 2,
};

/// A pointer move or a button going down, in window pixels.
class EventMouse : public Event {
 public:
  EventMouse();

  /// Sets whether the pointer moved or a button was clicked.
  void setMouseAction(MouseAction new_mouse_action);
  /// MOVED or CLICKED.
  MouseAction getMouseAction() const;
  /// Sets the button clicked.
  void setMouseButton(MouseButton new_mouse_button);
  /// The button clicked; UNDEFINED_MOUSE_BUTTON for a move.
  MouseButton getMouseButton() const;
  /// Sets the pointer's place in window pixels.
  void setMousePosition(Vector new_mouse_xy);
  /// The pointer's place in window pixels (lk::pixelsToCells gives cells).
  Vector getMousePosition() const;

 private:
  MouseAction m_mouse_action;
  MouseButton m_mouse_button;
  Vector m_mouse_position;
};

}  // namespace lk

#endif
