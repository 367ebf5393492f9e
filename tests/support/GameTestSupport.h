// Helpers for the game's in-process tests: a world with the game's assets,
// one game-loop iteration at a time, input events as the input manager makes
// them, and look-ups of objects by type.
#ifndef LK_GAME_TEST_SUPPORT_H
#define LK_GAME_TEST_SUPPORT_H

#include <functional>
#include <string>
#include <vector>

#include "Event.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "Object.h"
#include "ViewObject.h"

namespace lktest {

// Starts the log, world and resource managers (and the display manager when
// asked), stages the built game's assets less the `missing` ones (e.g.
// "sprites/gun-spr.txt") and runs loadResources(). False, with a failure,
// when the display does not start.
bool startGameWorld(const std::vector<std::string>& missing = {}, bool with_display = false);
// Shuts the started managers down in the game manager's order.
void stopGameWorld();

// One game-loop iteration: the input the test sends, the world update,
// drawing when the display is started, and the step event.
class Loop {
 public:
  void frame(const std::function<void()>& input = nullptr);
  void frames(int count);

 private:
  int m_step = 0;
};

void sendEvent(const lk::Event& event);
void sendKey(lk::Key key, lk::KeyAction action = lk::KEY_PRESSED);
// A press and a release.
void tapKey(lk::Key key);
void sendMouse(lk::MouseAction action, float px, float py, lk::MouseButton button = lk::LEFT_BUTTON);

// "" for every object.
std::vector<lk::Object*> objectsOfType(const std::string& type);
int countOfType(const std::string& type);
// Every type in the world, in list order.
std::vector<std::string> worldTypes();

template <class T>
T* firstOfType(const std::string& type) {
  const std::vector<lk::Object*> found = objectsOfType(type);
  return found.empty() ? nullptr : dynamic_cast<T*>(found[0]);
}

// The view object with that label, or null.
lk::ViewObject* hudItem(const std::string& label);

}  // namespace lktest

#endif
