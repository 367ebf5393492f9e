#include "EventMouse.h"

namespace lk {

EventMouse::EventMouse()
    : m_mouse_action(UNDEFINED_MOUSE_ACTION),
      m_mouse_button(UNDEFINED_MOUSE_BUTTON),
      m_mouse_position(0.f, 0.f) {
  setType(MOUSE_EVENT);
}

void EventMouse::setMouseAction(MouseAction new_mouse_action) { m_mouse_action = new_mouse_action; }
MouseAction EventMouse::getMouseAction() const { return m_mouse_action; }
void EventMouse::setMouseButton(MouseButton new_mouse_button) { m_mouse_button = new_mouse_button; }
MouseButton EventMouse::getMouseButton() const { return m_mouse_button; }
void EventMouse::setMousePosition(Vector new_mouse_xy) { m_mouse_position = new_mouse_xy; }
Vector EventMouse::getMousePosition() const { return m_mouse_position; }

}  // namespace lk
