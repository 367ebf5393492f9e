// Turns the window's events into keyboard and mouse events for every object.
#ifndef LK_INPUT_MANAGER_H
#define LK_INPUT_MANAGER_H

#include <array>

#include "EventKeyboard.h"
#include "EventMouse.h"
#include "Manager.h"

namespace lk {

/// Turns the window's input into keyboard and mouse events for every object.
class InputManager : public Manager {
 public:
  /// The one input manager.
  static InputManager& getInstance();

  /// Switches key repeat off; 0, or -1 when the display manager is not started.
  int startUp() override;
  /// Switches key repeat back on.
  void shutDown() override;

  /// Drains the window's pending events and dispatches them in order. A
  /// window that loses the focus pauses the game, and gets it back resumes
  /// it; while the game is paused keys and the mouse go to no object.
  void getInput();

  /// Whether the key is held down now, as far as the window has seen
  /// (nothing is held while it has no focus); false for UNDEFINED_KEY.
  bool isKeyHeld(Key key) const;
  /// Whether the mouse button is held down now; false for UNDEFINED_MOUSE_BUTTON.
  bool isButtonHeld(MouseButton button) const;

#if defined(LK_BACKEND_SFML)
  /// The engine key for an SFML key code.
  static Key mapKey(int sfml_key_code);
#endif

 private:
  InputManager();

  void releaseAll();

  std::array<bool, NUM0 + 1> m_key_held;
  std::array<bool, MIDDLE_BUTTON + 1> m_button_held;
};

}  // namespace lk

#endif
