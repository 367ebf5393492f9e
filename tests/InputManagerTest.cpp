// The input manager on a real window, fed real X input through xdotool:
// the whole key table, no key repeat, pointer moves and button presses in
// window pixels, and the events it must drop.
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Object.h"
#include "TestSupport.h"
#include "WindowProbe.h"
#include "WorldManager.h"

namespace {

struct Record {
  bool keyboard;
  int action, code;  // key or mouse button
  float x = 0, y = 0;
  bool operator==(const Record& o) const {
    return keyboard == o.keyboard && action == o.action && code == o.code && x == o.x && y == o.y;
  }
};
std::ostream& operator<<(std::ostream& out, const Record& r) {
  return out << (r.keyboard ? "key " : "mouse ") << r.action << "/" << r.code << " at " << r.x << "," << r.y;
}

// Keeps a copy of every input event it is offered.
class Recorder : public lk::Object {
 public:
  std::vector<Record> records;
  int eventHandler(const lk::Event* p_event) override {
    if (p_event->getType() == lk::KEYBOARD_EVENT) {
      const auto* p = static_cast<const lk::EventKeyboard*>(p_event);
      records.push_back({true, p->getKeyAction(), p->getKey()});
    } else if (p_event->getType() == lk::MOUSE_EVENT) {
      const auto* p = static_cast<const lk::EventMouse*>(p_event);
      records.push_back({false, p->getMouseAction(), p->getMouseButton(), p->getMousePosition().getX(),
                         p->getMousePosition().getY()});
    }
    return 1;
  }
};

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lktest::requireDisplay());
    // Pointer and keyboard focus belong to the server: keep other tests off them.
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
    EXPECT_TRUE(lktest::logHas("InputManager::startUp(): InputManager was successfully started."));
    p_recorder = new Recorder;
    ASSERT_TRUE(lktest::xdotool("mousemove --sync --window " + lktest::windowId() + " 500 400"));
    ASSERT_TRUE(lktest::xdotool("windowfocus --sync " + lktest::windowId()));
    received();
  }

  // Everything received until a pointer move to a pixel nothing else uses
  // arrives: X keeps a window's events in order, so all sent before it have
  // come. The marker's own move is left out.
  std::vector<Record> received() {
    static int flip = 0;
    const float x = 1000.f - float(flip++ % 2);  // a different pixel each time, so it moves
    const Record marker = {false, lk::MOVED, lk::UNDEFINED_MOUSE_BUTTON, x, 760.f};
    EXPECT_TRUE(lktest::xdotool("mousemove --window " + lktest::windowId() + " " + std::to_string(int(x)) + " 760"));
    EXPECT_TRUE(lktest::pumpInputUntil([&] {
      return !p_recorder->records.empty() && p_recorder->records.back() == marker;
    }));
    std::vector<Record> out = p_recorder->records;
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
  lk::InputManager::getInstance().getInput();  // no window: nothing to read

  // No font: the window is open but the display is not started.
  std::remove("../lk-font.ttf");
  EXPECT_EQ(lk::DisplayManager::getInstance().startUp(), -1);
  ASSERT_NE(lk::DisplayManager::getInstance().getWindow(), nullptr);
  EXPECT_EQ(lk::InputManager::getInstance().startUp(), -1);
  EXPECT_FALSE(lk::InputManager::getInstance().isStarted());
}

TEST_F(InputTest, HoldingAKeyGivesOnePressToEveryObjectUntilShutDown) {
  startAll();
  Recorder* p_second = new Recorder;
  const std::vector<Record> once = {{true, lk::KEY_PRESSED, lk::A}, {true, lk::KEY_RELEASED, lk::A}};
  // Longer than the server's repeat delay.
  ASSERT_TRUE(lktest::xdotool("keydown a sleep 1.5 keyup a"));
  EXPECT_EQ(received(), once);
  ASSERT_GE(p_second->records.size(), 2u);
  EXPECT_EQ(std::vector<Record>(p_second->records.begin(), p_second->records.begin() + 2), once);

  // Shutting down switches repeat back on: the same hold now repeats.
  lk::InputManager::getInstance().shutDown();
  EXPECT_FALSE(lk::InputManager::getInstance().isStarted());
  ASSERT_TRUE(lktest::xdotool("keydown a sleep 1.5 keyup a"));
  int presses = 0;
  for (const Record& r : received()) presses += r.action == lk::KEY_PRESSED;
  EXPECT_GT(presses, 2);
}

TEST_F(InputTest, EveryKeyOfTheTableAndTheUndefinedOnes) {
  startAll();
  const int NONE = -100;
  struct Entry {
    std::string name;  // the X key name xdotool sends
    int key;
    // xdotool holds the left modifier while it types a right one.
    int companion = NONE;
  };
  std::vector<Entry> table = {
      {"space", lk::SPACE},   {"Return", lk::ENTER},     {"Escape", lk::ESCAPE},   {"Tab", lk::TAB},
      {"Left", lk::LEFT_ARROW}, {"Right", lk::RIGHT_ARROW}, {"Up", lk::UP_ARROW},  {"Down", lk::DOWN_ARROW},
      {"Pause", lk::PAUSE},   {"minus", lk::HYPHEN},     {"equal", lk::EQUAL},     {"grave", lk::TILDE},
      {"period", lk::PERIOD}, {"comma", lk::COMMA},      {"slash", lk::SLASH},     {"0", lk::NUM0},
      {"Control_L", lk::LEFT_CONTROL}, {"Control_R", lk::RIGHT_CONTROL, lk::LEFT_CONTROL},
      {"Shift_L", lk::LEFT_SHIFT},     {"Shift_R", lk::RIGHT_SHIFT, lk::LEFT_SHIFT},
      {"Alt_R", lk::UNDEFINED_KEY, lk::UNDEFINED_KEY}, {"Super_R", lk::UNDEFINED_KEY, lk::UNDEFINED_KEY}};
  for (int i = 0; i < 12; ++i) table.push_back({"F" + std::to_string(i + 1), lk::F1 + i});
  for (int i = 0; i < 26; ++i) table.push_back({std::string(1, char('a' + i)), lk::A + i});
  for (int i = 1; i <= 9; ++i) table.push_back({std::to_string(i), lk::NUM1 + i - 1});
  // Keys the engine has no code for still arrive, as undefined keys.
  for (const char* name : {"Alt_L", "Super_L", "Menu", "bracketleft", "bracketright", "semicolon", "apostrophe",
                           "backslash", "BackSpace", "Prior", "Next", "End", "Home", "Insert", "Delete", "KP_Add",
                           "KP_Subtract", "KP_Multiply", "KP_Divide", "KP_Insert", "KP_End", "KP_Down", "KP_Next",
                           "KP_Left", "KP_Begin", "KP_Right", "KP_Home", "KP_Up", "KP_Prior", "F13", "F14", "F15"})
    table.push_back({name, lk::UNDEFINED_KEY});
  ASSERT_EQ(table.size(), 101u);

  for (const Entry& entry : table) {
    ASSERT_TRUE(lktest::xdotool("key " + entry.name)) << entry.name;
    std::vector<Record> expected = {{true, lk::KEY_PRESSED, entry.key}, {true, lk::KEY_RELEASED, entry.key}};
    if (entry.companion != NONE) {  // its press comes first, its release between
      expected.insert(expected.begin(), {true, lk::KEY_PRESSED, entry.companion});
      expected.insert(expected.begin() + 2, {true, lk::KEY_RELEASED, entry.companion});
    }
    EXPECT_EQ(received(), expected) << entry.name;
  }
  // Codes outside the table.
  for (int code : {-1, -1000, 101, 1 << 20}) EXPECT_EQ(lk::InputManager::mapKey(code), lk::UNDEFINED_KEY) << code;
}

TEST_F(InputTest, PointerMovesAndButtonPressesInWindowPixels) {
  startAll();
  const std::string move = "mousemove --window " + lktest::windowId() + " ";
  ASSERT_TRUE(lktest::xdotool(move + "512 384"));
  ASSERT_TRUE(lktest::xdotool(move + "10 20 click 1"));
  ASSERT_TRUE(lktest::xdotool(move + "30 40 click 3"));
  ASSERT_TRUE(lktest::xdotool(move + "50 60 click 2"));
  // Side buttons are pressed but undefined; wheel and releases give nothing.
  ASSERT_TRUE(lktest::xdotool(move + "70 80 click 8 click 9 click 4 click 5 mousedown 1"));
  ASSERT_TRUE(lktest::xdotool("mouseup 1"));
  const int none = lk::UNDEFINED_MOUSE_BUTTON;
  const std::vector<Record> expected = {
      {false, lk::MOVED, none, 512, 384},  {false, lk::MOVED, none, 10, 20},
      {false, lk::CLICKED, lk::LEFT_BUTTON, 10, 20},  {false, lk::MOVED, none, 30, 40},
      {false, lk::CLICKED, lk::RIGHT_BUTTON, 30, 40}, {false, lk::MOVED, none, 50, 60},
      {false, lk::CLICKED, lk::MIDDLE_BUTTON, 50, 60}, {false, lk::MOVED, none, 70, 80},
      {false, lk::CLICKED, none, 70, 80}, {false, lk::CLICKED, none, 70, 80},
      {false, lk::CLICKED, lk::LEFT_BUTTON, 70, 80}};
  EXPECT_EQ(received(), expected);
}

TEST_F(InputTest, TheCloseButtonNeitherClosesNorReports) {
  startAll();
  sf::RenderWindow* p_window = lk::DisplayManager::getInstance().getWindow();
  // The request does reach the window, as SFML's close event...
  ASSERT_TRUE(lktest::sendCloseRequest());
  bool closed_seen = false;
  sf::Event event;
  for (int i = 0; i < 600 && !closed_seen; ++i, sf::sleep(sf::milliseconds(5)))
    while (!closed_seen && p_window->pollEvent(event)) closed_seen = event.type == sf::Event::Closed;
  ASSERT_TRUE(closed_seen);
  // ...which the input manager drops.
  ASSERT_TRUE(lktest::sendCloseRequest());
  EXPECT_TRUE(received().empty());
  EXPECT_TRUE(p_window->isOpen());
  EXPECT_EQ(lk::DisplayManager::getInstance().getWindow(), p_window);
}

}  // namespace
