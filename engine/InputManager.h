// Turns the window's events into keyboard and mouse events for every object.
#ifndef LK_INPUT_MANAGER_H
#define LK_INPUT_MANAGER_H

#include "EventKeyboard.h"
#include "Manager.h"

namespace lk {

class InputManager : public Manager {
 public:
  static InputManager& getInstance();

  // Needs a started display manager; switches key repeat off.
  int startUp() override;
  void shutDown() override;

  // Drains the window's pending events and dispatches them in order.
  void getInput();

  // The engine key for an SFML key code.
  static Key mapKey(int sfml_key_code);

 private:
  InputManager();
};

}  // namespace lk

#endif
