// A pointer move or a button going down, in window pixels.
#ifndef LK_EVENT_MOUSE_H
#define LK_EVENT_MOUSE_H

#include "Event.h"
#include "Vector.h"

namespace lk {

const std::string MOUSE_EVENT = "lk::mouse";

enum MouseAction {
  UNDEFINED_MOUSE_ACTION = -1,
  CLICKED = 0,
  MOVED = 1,
};

enum MouseButton {
  UNDEFINED_MOUSE_BUTTON = -1,
  LEFT_BUTTON = 0,
  RIGHT_BUTTON = 1,
  MIDDLE_BUTTON = 2,
};

class EventMouse : public Event {
 public:
  EventMouse();

  void setMouseAction(MouseAction new_mouse_action);
  MouseAction getMouseAction() const;
  void setMouseButton(MouseButton new_mouse_button);
  MouseButton getMouseButton() const;
  void setMousePosition(Vector new_mouse_xy);
  Vector getMousePosition() const;

 private:
  MouseAction m_mouse_action;
  MouseButton m_mouse_button;
  Vector m_mouse_position;
};

}  // namespace lk

#endif
