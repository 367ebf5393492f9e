#ifndef LK_EVENT_KEYBOARD_H
#define LK_EVENT_KEYBOARD_H

#include "Event.h"

namespace lk {

const std::string KEYBOARD_EVENT = "lk::keyboard";

/// Whether the key went down or up.
enum KeyAction {
  UNDEFINED_KEY_ACTION = -1,
  KEY_PRESSED = 0,
  KEY_RELEASED = 1,
};

/// The engine's own key codes; digits run 1 to 9, then 0.
// The keys in their groups, as the table lists them:
// clang-format off
enum Key {
  UNDEFINED_KEY = -1,
  SPACE, ENTER, ESCAPE, TAB, LEFT_ARROW, RIGHT_ARROW, UP_ARROW, DOWN_ARROW,
  PAUSE, HYPHEN, EQUAL, TILDE, PERIOD, COMMA, SLASH,
  LEFT_CONTROL, RIGHT_CONTROL, LEFT_SHIFT, RIGHT_SHIFT,
  F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
  NUM1, NUM2, NUM3, NUM4, NUM5, NUM6, NUM7, NUM8, NUM9, NUM0,
};
// clang-format on

/// A key pressed or released in the window (sent once each: key repeat is off).
class EventKeyboard : public Event {
 public:
  EventKeyboard();

  /// Sets the key.
  void setKey(Key new_key);
  /// The key; UNDEFINED_KEY for keys outside the table.
  Key getKey() const;
  /// Sets whether the key went down or up.
  void setKeyAction(KeyAction new_action);
  /// KEY_PRESSED or KEY_RELEASED.
  KeyAction getKeyAction() const;

 private:
  Key m_key;
  KeyAction m_key_action;
};

}  // namespace lk

#endif
