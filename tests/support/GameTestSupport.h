// Helpers for the game's tests: a world with the game's assets, one game-loop
// iteration at a time, input events as the input manager makes them, and
// look-ups of objects by type.
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

// Starts the log, world and resource managers (and, with a display, the
// display manager), stages the built game assets next to the working folder,
// deletes the staged files named in `missing` (paths relative to the staged
// folder, e.g. "sprites/gun-spr.txt") and runs the game's loadResources().
// Returns false, with a test failure, when the display was asked for and
// could not start.
bool startGameWorld(const std::vector<std::string>& missing = {}, bool with_display = false);
// Shuts the started managers down in the game manager's order.
void stopGameWorld();

// One iteration of the game loop without the game manager: the input
// (events the test sends), the world update, drawing when the display is
// started, and the step event.
class Loop {
 public:
  void frame(const std::function<void()>& input = nullptr);
  void frames(int count);
  int stepCount() const { return m_step; }

 private:
  int m_step = 0;
};

void sendKey(lk::Key key, lk::KeyAction action = lk::KEY_PRESSED);
// A press followed by a release, both in the same frame.
void tapKey(lk::Key key);
void sendMouse(lk::MouseAction action, float px, float py,
               lk::MouseButton button = lk::LEFT_BUTTON);
void sendEvent(const lk::Event& event);

std::vector<lk::Object*> objectsOfType(const std::string& type);
int countOfType(const std::string& type);
// Every type in the world, in list order.
std::vector<std::string> worldTypes();

template <class T>
T* firstOfType(const std::string& type) {
  for (lk::Object* p : objectsOfType(type))
    if (T* p_t = dynamic_cast<T*>(p)) return p_t;
  return nullptr;
}

// The view object with that label, or null.
lk::ViewObject* hudItem(const std::string& label);

// A spectral object that notes the type of every event it receives, and
// calls back when one arrives.
class EventRecorder : public lk::Object {
 public:
  EventRecorder();
  int eventHandler(const lk::Event* p_event) override;
  int count(const std::string& type) const;

  std::vector<std::string> types;
  std::function<void(const lk::Event*)> on_event;
};

}  // namespace lktest

#endif
