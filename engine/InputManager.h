// Turns the window's events into keyboard and mouse events for every object.
#ifndef LK_INPUT_MANAGER_H
#define LK_INPUT_MANAGER_H

#include <array>

#include "EventKeyboard.h"
#include "EventMouse.h"
#include "Manager.h"

namespace lk {

class InputManager : public Manager {
 public:
  static InputManager& getInstance();

  // Needs a started display manager; switches key repeat off.
  int startUp() override;
  void shutDown() override;

  // Drains the window's pending events and dispatches them in order. A
  // window that loses the focus pauses the game, and gets it back resumes
  // it; while the game is paused keys and the mouse go to no object.
  void getInput();

  // Whether the key or mouse button is held down now, as far as the window
  // has seen (nothing is held while it has no focus).
  bool isKeyHeld(Key key) const;
  bool isButtonHeld(MouseButton button) const;

#if defined(LK_BACKEND_SFML)
  // The engine key for an SFML key code.
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
