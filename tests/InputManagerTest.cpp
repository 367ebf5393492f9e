// The input manager on a real window, fed real X input through xdotool:
// key codes through the whole table, no key repeat, pointer moves and
// button presses in window pixels, and the events it must drop.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventStep.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Object.h"
#include "TestSupport.h"
#include "WindowProbe.h"
#include "WorldManager.h"

namespace {

// Keeps a copy of every event it is offered.
class Recorder : public lk::Object {
 public:
  struct Record {
    std::string type;
    int key = -100, key_action = -100;
    int mouse_action = -100, mouse_button = -100;
    float x = -1, y = -1;
  };
  std::vector<Record> records;

  int eventHandler(const lk::Event* p_event) override {
    Record r;
    r.type = p_event->getType();
    if (r.type == lk::KEYBOARD_EVENT) {
      const auto* p_key = static_cast<const lk::EventKeyboard*>(p_event);
      r.key = p_key->getKey();
      r.key_action = p_key->getKeyAction();
    } else if (r.type == lk::MOUSE_EVENT) {
      const auto* p_mouse = static_cast<const lk::EventMouse*>(p_event);
      r.mouse_action = p_mouse->getMouseAction();
      r.mouse_button = p_mouse->getMouseButton();
      r.x = p_mouse->getMousePosition().getX();
      r.y = p_mouse->getMousePosition().getY();
    }
    records.push_back(r);
    return 1;
  }

  std::vector<Record> keys() const { return only(lk::KEYBOARD_EVENT); }
  std::vector<Record> mice() const { return only(lk::MOUSE_EVENT); }

 private:
  std::vector<Record> only(const std::string& type) const {
    std::vector<Record> out;
    for (const Record& r : records)
      if (r.type == type) out.push_back(r);
    return out;
  }
};

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lktest::requireDisplay());
    // Pointer and keyboard focus are the server's; tests beside this one
    // must not move them.
    ASSERT_TRUE(lktest::usePrivateDisplay());
    lk::LogManager::getInstance().startUp();
    lk::LogManager::getInstance().setFlush(true);
  }
  void TearDown() override {
    lktest::keepGraphicsDriverLoaded();
    lk::InputManager::getInstance().shutDown();
    lk::WorldManager::getInstance().shutDown();
    lk::DisplayManager::getInstance().shutDown();
    lk::LogManager::getInstance().shutDown();
  }

  void startAll() {
    lktest::stageFont();
    ASSERT_EQ(lk::DisplayManager::getInstance().startUp(), 0);
    ASSERT_EQ(lk::WorldManager::getInstance().startUp(), 0);
    ASSERT_EQ(lk::InputManager::getInstance().startUp(), 0);
    p_recorder = new Recorder;
    ASSERT_TRUE(lktest::focusWindow());
    settle();
  }

  // Moves the pointer to a pixel nothing else uses and waits for that move:
  // X keeps each window's events in order, so whatever was sent before has
  // arrived by then. Then forgets everything received.
  void settle() {
    ASSERT_TRUE(marker());
    p_recorder->records.clear();
  }

  // Sends a pointer move to the marker pixel and waits for it. Returns false
  // when it never came.
  bool marker() {
    static int flip = 0;
    const int x = 1000 - (flip++ % 2);  // a different pixel each time, so it moves
    if (!lktest::xdotool("mousemove --window " + lktest::windowId() + " " + std::to_string(x) +
                         " 760"))
      return false;
    const bool seen = lktest::pumpInputUntil([&] {
      for (const Recorder::Record& r : p_recorder->mice())
        if (r.mouse_action == lk::MOVED && r.x == static_cast<float>(x) && r.y == 760.f) return true;
      return false;
    });
    return seen;
  }

  // Everything received up to the marker, without the marker's own move.
  std::vector<Recorder::Record> receivedUntilMarker() {
    EXPECT_TRUE(marker());
    std::vector<Recorder::Record> out = p_recorder->records;
    if (!out.empty()) out.pop_back();
    p_recorder->records.clear();
    return out;
  }

  Recorder* p_recorder = nullptr;
};

TEST_F(InputTest, StartingBeforeTheDisplayFails) {
  EXPECT_EQ(lk::InputManager::getInstance().startUp(), -1);
  EXPECT_FALSE(lk::InputManager::getInstance().isStarted());
  EXPECT_TRUE(lktest::logHas(
      "InputManager::startUp(): InputManager could not start; DisplayManager was not started."));
  EXPECT_EQ(lk::InputManager::getInstance().getType(), "InputManager");
  // With no window there is nothing to read.
  lk::InputManager::getInstance().getInput();
}

TEST_F(InputTest, StartingOnAHalfStartedDisplayFails) {
  // No font: the window is open but the display is not started.
  std::remove("../lk-font.ttf");
  EXPECT_EQ(lk::DisplayManager::getInstance().startUp(), -1);
  ASSERT_NE(lk::DisplayManager::getInstance().getWindow(), nullptr);
  EXPECT_EQ(lk::InputManager::getInstance().startUp(), -1);
  EXPECT_FALSE(lk::InputManager::getInstance().isStarted());
}

TEST_F(InputTest, PressAndReleaseGiveTwoEventsInOrder) {
  startAll();
  EXPECT_TRUE(lk::InputManager::getInstance().isStarted());
  EXPECT_TRUE(lktest::logHas("InputManager::startUp(): InputManager was successfully started."));
  ASSERT_TRUE(lktest::xdotool("key q"));
  const auto received = receivedUntilMarker();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].type, lk::KEYBOARD_EVENT);
  EXPECT_EQ(received[0].key, lk::Q);
  EXPECT_EQ(received[0].key, 47);
  EXPECT_EQ(received[0].key_action, lk::KEY_PRESSED);
  EXPECT_EQ(received[1].key, 47);
  EXPECT_EQ(received[1].key_action, lk::KEY_RELEASED);
}

// Holds the key for longer than the X server's repeat delay.
void holdKey(const std::string& key) {
  EXPECT_TRUE(lktest::xdotool("keydown " + key + " sleep 1.5 keyup " + key));
}

TEST_F(InputTest, HoldingAKeyGivesOnePressUntilShutDown) {
  startAll();
  holdKey("a");
  auto received = receivedUntilMarker();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].key, lk::A);
  EXPECT_EQ(received[0].key_action, lk::KEY_PRESSED);
  EXPECT_EQ(received[1].key, lk::A);
  EXPECT_EQ(received[1].key_action, lk::KEY_RELEASED);

  // Shutting down switches repeat back on: the same hold now repeats.
  lk::InputManager::getInstance().shutDown();
  EXPECT_FALSE(lk::InputManager::getInstance().isStarted());
  holdKey("a");
  received = receivedUntilMarker();
  int presses = 0;
  for (const auto& r : received)
    if (r.key == lk::A && r.key_action == lk::KEY_PRESSED) ++presses;
  EXPECT_GT(presses, 2);
}

TEST_F(InputTest, EveryKeyOfTheTableAndTheUndefinedOnes) {
  startAll();
  struct Entry {
    std::string name;  // the X key name xdotool sends
    lk::Key key;
    // xdotool holds the left modifier while it types a right one; its events
    // come along.
    bool with_left_modifier = false;
    lk::Key companion = lk::UNDEFINED_KEY;
  };
  std::vector<Entry> table = {
      {"space", lk::SPACE},       {"Return", lk::ENTER},        {"Escape", lk::ESCAPE},
      {"Tab", lk::TAB},           {"Left", lk::LEFT_ARROW},     {"Right", lk::RIGHT_ARROW},
      {"Up", lk::UP_ARROW},       {"Down", lk::DOWN_ARROW},     {"Pause", lk::PAUSE},
      {"minus", lk::HYPHEN},      {"equal", lk::EQUAL},         {"grave", lk::TILDE},
      {"period", lk::PERIOD},     {"comma", lk::COMMA},         {"slash", lk::SLASH},
      {"Control_L", lk::LEFT_CONTROL},
      {"Control_R", lk::RIGHT_CONTROL, true, lk::LEFT_CONTROL},
      {"Shift_L", lk::LEFT_SHIFT},
      {"Shift_R", lk::RIGHT_SHIFT, true, lk::LEFT_SHIFT},
      {"0", lk::NUM0}};
  for (int i = 0; i < 12; ++i)
    table.push_back({"F" + std::to_string(i + 1), static_cast<lk::Key>(lk::F1 + i)});
  for (int i = 0; i < 26; ++i)
    table.push_back({std::string(1, static_cast<char>('a' + i)), static_cast<lk::Key>(lk::A + i)});
  for (int i = 1; i <= 9; ++i)
    table.push_back({std::to_string(i), static_cast<lk::Key>(lk::NUM1 + i - 1)});
  // Keys the engine has no code for still arrive, as undefined keys.
  table.push_back({"Alt_R", lk::UNDEFINED_KEY, true});
  table.push_back({"Super_R", lk::UNDEFINED_KEY, true});
  for (const char* name :
       {"Alt_L", "Super_L", "Menu", "bracketleft", "bracketright",
        "semicolon", "apostrophe", "backslash", "BackSpace", "Prior", "Next", "End", "Home",
        "Insert", "Delete", "KP_Add", "KP_Subtract", "KP_Multiply", "KP_Divide", "KP_Insert",
        "KP_End", "KP_Down", "KP_Next", "KP_Left", "KP_Begin", "KP_Right", "KP_Home", "KP_Up",
        "KP_Prior", "F13", "F14", "F15"})
    table.push_back({name, lk::UNDEFINED_KEY});
  ASSERT_EQ(table.size(), 101u);

  for (const Entry& entry : table) {
    ASSERT_TRUE(lktest::xdotool("key " + entry.name)) << entry.name;
    const auto received = receivedUntilMarker();
    int presses = 0, releases = 0, own_presses = 0, own_releases = 0;
    for (const auto& r : received) {
      EXPECT_EQ(r.type, lk::KEYBOARD_EVENT) << entry.name;
      EXPECT_TRUE(r.key == entry.key || r.key == entry.companion) << entry.name << " " << r.key;
      presses += r.key_action == lk::KEY_PRESSED;
      releases += r.key_action == lk::KEY_RELEASED;
      own_presses += r.key == entry.key && r.key_action == lk::KEY_PRESSED;
      own_releases += r.key == entry.key && r.key_action == lk::KEY_RELEASED;
    }
    EXPECT_GE(own_presses, 1) << entry.name;
    EXPECT_GE(own_releases, 1) << entry.name;
    EXPECT_EQ(presses, releases) << entry.name;
    if (!entry.with_left_modifier) {
      ASSERT_EQ(received.size(), 2u) << entry.name;
      EXPECT_EQ(received[0].key_action, lk::KEY_PRESSED) << entry.name;
      EXPECT_EQ(received[1].key_action, lk::KEY_RELEASED) << entry.name;
    }
  }
}

TEST_F(InputTest, KeyCodesOutsideTheTableAreUndefined) {
  EXPECT_EQ(lk::InputManager::mapKey(-1), lk::UNDEFINED_KEY);
  EXPECT_EQ(lk::InputManager::mapKey(-1000), lk::UNDEFINED_KEY);
  EXPECT_EQ(lk::InputManager::mapKey(101), lk::UNDEFINED_KEY);
  EXPECT_EQ(lk::InputManager::mapKey(1 << 20), lk::UNDEFINED_KEY);
  // The edges of the table.
  EXPECT_EQ(lk::InputManager::mapKey(0), lk::A);
  EXPECT_EQ(lk::InputManager::mapKey(25), lk::Z);
  EXPECT_EQ(lk::InputManager::mapKey(100), lk::PAUSE);
  EXPECT_EQ(lk::InputManager::mapKey(99), lk::UNDEFINED_KEY);  // F15
}

TEST_F(InputTest, PointerMovesAndButtonPressesInWindowPixels) {
  startAll();
  const std::string move = "mousemove --window " + lktest::windowId() + " ";
  ASSERT_TRUE(lktest::xdotool(move + "512 384"));
  ASSERT_TRUE(lktest::xdotool(move + "10 20 click 1"));
  ASSERT_TRUE(lktest::xdotool(move + "30 40 click 3"));
  ASSERT_TRUE(lktest::xdotool(move + "50 60 click 2"));
  ASSERT_TRUE(lktest::xdotool(move + "70 80 click 8 click 9"));
  const auto received = receivedUntilMarker();

  struct Expected {
    int action, button;
    float x, y;
  };
  const Expected expected[] = {
      {lk::MOVED, lk::UNDEFINED_MOUSE_BUTTON, 512, 384},
      {lk::MOVED, lk::UNDEFINED_MOUSE_BUTTON, 10, 20},
      {lk::CLICKED, lk::LEFT_BUTTON, 10, 20},
      {lk::MOVED, lk::UNDEFINED_MOUSE_BUTTON, 30, 40},
      {lk::CLICKED, lk::RIGHT_BUTTON, 30, 40},
      {lk::MOVED, lk::UNDEFINED_MOUSE_BUTTON, 50, 60},
      {lk::CLICKED, lk::MIDDLE_BUTTON, 50, 60},
      {lk::MOVED, lk::UNDEFINED_MOUSE_BUTTON, 70, 80},
      {lk::CLICKED, lk::UNDEFINED_MOUSE_BUTTON, 70, 80},
      {lk::CLICKED, lk::UNDEFINED_MOUSE_BUTTON, 70, 80},
  };
  // Releases give nothing, so a click is one event.
  ASSERT_EQ(received.size(), sizeof expected / sizeof expected[0]);
  for (std::size_t i = 0; i < received.size(); ++i) {
    EXPECT_EQ(received[i].type, lk::MOUSE_EVENT) << i;
    EXPECT_EQ(received[i].mouse_action, expected[i].action) << i;
    EXPECT_EQ(received[i].mouse_button, expected[i].button) << i;
    EXPECT_EQ(received[i].x, expected[i].x) << i;
    EXPECT_EQ(received[i].y, expected[i].y) << i;
  }
}

TEST_F(InputTest, WheelAndLoneButtonReleasesGiveNothing) {
  startAll();
  ASSERT_TRUE(lktest::xdotool("mousedown 1"));
  ASSERT_EQ(receivedUntilMarker().size(), 1u);  // the press
  ASSERT_TRUE(lktest::xdotool("mouseup 1 click 4 click 5"));
  EXPECT_TRUE(receivedUntilMarker().empty());
}

TEST_F(InputTest, TheCloseButtonNeitherClosesNorReports) {
  startAll();
  sf::RenderWindow* p_window = lk::DisplayManager::getInstance().getWindow();
  // The request reaches the window as SFML's close event...
  ASSERT_TRUE(lktest::sendCloseRequest());
  bool closed_seen = false;
  sf::Event event;
  for (int i = 0; i < 600 && !closed_seen; ++i) {
    while (!closed_seen && p_window->pollEvent(event)) closed_seen = event.type == sf::Event::Closed;
    if (!closed_seen) sf::sleep(sf::milliseconds(5));
  }
  ASSERT_TRUE(closed_seen);

  // ...which the input manager drops.
  ASSERT_TRUE(lktest::sendCloseRequest());
  EXPECT_TRUE(receivedUntilMarker().empty());
  EXPECT_TRUE(p_window->isOpen());
  EXPECT_EQ(lk::DisplayManager::getInstance().getWindow(), p_window);
}

TEST_F(InputTest, EveryObjectHearsTheInput) {
  startAll();
  Recorder* p_second = new Recorder;
  ASSERT_TRUE(lktest::xdotool("key 1"));
  const auto first = receivedUntilMarker();
  ASSERT_EQ(first.size(), 2u);
  // The second recorder also heard the marker's move.
  ASSERT_EQ(p_second->records.size(), 3u);
  EXPECT_EQ(p_second->records[0].key, lk::NUM1);
  EXPECT_EQ(p_second->records[1].key_action, lk::KEY_RELEASED);
}

TEST(InputEvents, NewEventsAreUndefinedAndTyped) {
  const lk::EventKeyboard keyboard;
  EXPECT_EQ(keyboard.getType(), "lk::keyboard");
  EXPECT_EQ(keyboard.getKey(), lk::UNDEFINED_KEY);
  EXPECT_EQ(keyboard.getKeyAction(), lk::UNDEFINED_KEY_ACTION);
  const lk::EventMouse mouse;
  EXPECT_EQ(mouse.getType(), "lk::mouse");
  EXPECT_EQ(mouse.getMouseAction(), lk::UNDEFINED_MOUSE_ACTION);
  EXPECT_EQ(mouse.getMouseButton(), lk::UNDEFINED_MOUSE_BUTTON);
  EXPECT_EQ(mouse.getMousePosition(), lk::Vector(0, 0));
}

}  // namespace
