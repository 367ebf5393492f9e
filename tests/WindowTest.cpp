// The display and input managers on a real window: colours, the fast drawing
// path against the per-cell reference drawing, and real X input through
// xdotool on an X server of the test's own.
#include <gtest/gtest.h>

#include "DisplayManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Sprite.h"
#include "Support.h"
#include "WorldManager.h"

namespace {

lk::DisplayManager& display() { return lk::DisplayManager::getInstance(); }

class Window : public testing::Test {
 protected:
  void SetUp() override {
    lk::LogManager::getInstance().startUp();
    lkt::stageAssets();
    ASSERT_EQ(display().startUp(), 0);
    lk::WorldManager::getInstance().startUp();
  }
  void TearDown() override {
    lk::InputManager::getInstance().shutDown();
    lk::WorldManager::getInstance().shutDown();
    display().shutDown();
  }
};

// What the game draws: boxed HUD items, sprites with transparency over each
// other, strings over boxes, every colour and every byte at whole and
// fractional places, and cells whose later backgrounds cut into earlier glyphs.
void drawScene() {
  lk::WorldManager::getInstance().draw();  // the HUD
  for (int k = -1; k <= 8; ++k) display().drawCh(lk::Vector(60 + 4 * k + 6, 3), '#', lk::Color(k));
  lk::Sprite block(1), front(1);
  block.setColor(lk::GREEN), front.setColor(lk::RED), front.setTransparency('@');
  block.insertFrame(lk::Frame(5, 3, std::string(15, '#')));
  front.insertFrame(lk::Frame(3, 3, "@#@###  @"));
  block.draw(0, lk::Vector(90, 10)), front.draw(0, lk::Vector(90, 10));
  block.draw(0, lk::Vector(98.5f, 10.5f)), front.draw(0, lk::Vector(99, 10.25f));
  display().drawString(lk::Vector(120, 18), "+----------------+", lk::CYAN);
  display().drawString(lk::Vector(120.4f, 18.6f), "NEW ROUND", lk::MAGENTA);
  for (int b = 0; b < 256; ++b)
    display().drawCh(lk::Vector(62 + (b % 64) * 1.75f, 22 + (b / 64) * 1.5f + 0.125f * (b % 3)), char(b), lk::Color(b % 8));
  const std::string dense = "gjpqy_|WM@#%&QJ,;(){}[]";
  for (int pass = 0; pass < 3; ++pass)
    for (int i = 0; i < 72; ++i) {
      const int k = pass == 2 ? 71 - i : i;
      const float shift = pass == 1 ? 0.5f : 0.f;
      display().drawCh(lk::Vector(130 + k % 12 + shift, 4 + k / 12 + shift), dense[std::size_t(k * 7 + pass) % dense.size()],
                       lk::Color(1 + (k + pass) % 7));
    }
  for (char ch : std::string("W_g|M .#")) display().drawCh(lk::Vector(160.25f, 12.6f), ch, lk::CYAN);
}

}  // namespace

TEST_F(Window, ColoursAndTransparencyShowAndTheFastPathDrawsTheReferencePicture) {
  const char* labels[] = {"Ducks Missed:", "ROUND", "Points:"};
  for (int i = 0; i < 3; ++i) {
    lk::ViewObject* p = new lk::ViewObject;
    p->setViewString(labels[i]), p->setLocation(lk::ViewObjectLocation(i)), p->setValue(i == 2 ? -2300 : i);
    p->setColor(i == 1 ? lk::WHITE : lk::YELLOW);
  }
  drawScene();
  const sf::Image fast = lkt::captureWindow();
  display().swapBuffer();
  display().setReferenceDrawing(true);
  drawScene();
  const sf::Image reference = lkt::captureWindow();
  ASSERT_EQ(fast.getSize(), reference.getSize());
  int differing = 0;
  for (unsigned y = 0; y < 768; ++y)
    for (unsigned x = 0; x < 1024; ++x) differing += fast.getPixel(x, y) != reference.getPixel(x, y);
  EXPECT_EQ(differing, 0);

  // Each colour shows itself and only its shades; others are white.
  const sf::Color table[] = {sf::Color::Black, sf::Color::Red, sf::Color::Green, sf::Color::Yellow,
                             sf::Color::Blue, sf::Color::Magenta, sf::Color::Cyan, sf::Color::White};
  for (int k = -1; k <= 8; ++k) {
    const sf::Color e = k >= 0 && k <= 7 ? table[k] : sf::Color::White;
    EXPECT_GT(lkt::count(fast, lkt::cell(4 * k + 6, 3), [&](sf::Color c) { return c == e; }), 10) << k;
    EXPECT_EQ(lkt::count(fast, lkt::cell(4 * k + 6, 3), [&](sf::Color c) { return (!e.r && c.r) || (!e.g && c.g) || (!e.b && c.b); }), 0) << k;
  }
  // The front sprite's '@' cells leave the green block showing; its blanks are drawn.
  const auto shows = [&](float col, float row) {
    const sf::IntRect area = lkt::cell(col, row, 2);
    const int red = lkt::count(fast, area, [](sf::Color c) { return c.r > 150 && c.g < 90; });
    const int green = lkt::count(fast, area, [](sf::Color c) { return c.g > 150 && c.r < 90; });
    return red > 8 && red > 4 * green ? 'R' : green > 8 && green > 4 * red ? 'G' : '.';
  };
  std::string seen;
  for (int row = 9; row <= 11; ++row)
    for (int col = 29; col <= 31; ++col) seen += shows(float(col), float(row));
  EXPECT_EQ(seen, "GRGRRR..G");
}

namespace {

struct Input {
  bool keyboard;
  int action, code;  // key or mouse button
  float x = 0, y = 0;
  bool operator==(const Input& o) const { return keyboard == o.keyboard && action == o.action && code == o.code && x == o.x && y == o.y; }
};
std::ostream& operator<<(std::ostream& out, const Input& i) {
  return out << (i.keyboard ? "key " : "mouse ") << i.action << "/" << i.code << " at " << i.x << "," << i.y;
}

struct Listener : lk::Object {
  std::vector<Input> got;
  int eventHandler(const lk::Event* p) override {
    if (const auto* k = dynamic_cast<const lk::EventKeyboard*>(p)) got.push_back({true, k->getKeyAction(), k->getKey()});
    if (const auto* m = dynamic_cast<const lk::EventMouse*>(p))
      got.push_back({false, m->getMouseAction(), m->getMouseButton(), m->getMousePosition().getX(), m->getMousePosition().getY()});
    return 1;
  }
};

class RealInput : public Window {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lkt::privateDisplay());
    Window::SetUp();
    ASSERT_EQ(lk::InputManager::getInstance().startUp(), 0);
    listener = new Listener;
    window = std::to_string(static_cast<unsigned long>(display().getWindow()->getSystemHandle()));
    ASSERT_TRUE(lkt::run("xdotool mousemove --sync --window " + window + " 500 400 windowfocus --sync " + window));
    received();
  }
  // Everything until a pointer move to a pixel nothing else uses arrives:
  // X keeps a window's events in order. The marker's own move is left out.
  std::vector<Input> received() {
    static int flip = 0;
    const int x = 1000 - flip++ % 2;
    EXPECT_TRUE(lkt::run("xdotool mousemove --window " + window + " " + std::to_string(x) + " 760"));
    EXPECT_TRUE(lkt::waitFor([&] {
      lk::InputManager::getInstance().getInput();
      return !listener->got.empty() && listener->got.back() == Input{false, lk::MOVED, -1, float(x), 760};
    }, 5000, 5));
    std::vector<Input> out(listener->got.begin(), listener->got.end() - (listener->got.empty() ? 0 : 1));
    listener->got.clear();
    return out;
  }
  Listener* listener = nullptr;
  std::string window;
};

}  // namespace

TEST_F(RealInput, EveryKeyOfTheTableArrivesOnceAsPressAndRelease) {
  const int NONE = -100;
  struct Entry {
    std::string name;  // as xdotool sends it
    int key, companion = NONE;  // xdotool holds the left modifier while it types a right one
  };
  std::vector<Entry> table = {
      {"space", lk::SPACE}, {"Return", lk::ENTER}, {"Escape", lk::ESCAPE}, {"Tab", lk::TAB}, {"Left", lk::LEFT_ARROW},
      {"Right", lk::RIGHT_ARROW}, {"Up", lk::UP_ARROW}, {"Down", lk::DOWN_ARROW}, {"Pause", lk::PAUSE}, {"minus", lk::HYPHEN},
      {"equal", lk::EQUAL}, {"grave", lk::TILDE}, {"period", lk::PERIOD}, {"comma", lk::COMMA}, {"slash", lk::SLASH},
      {"0", lk::NUM0}, {"Control_L", lk::LEFT_CONTROL}, {"Control_R", lk::RIGHT_CONTROL, lk::LEFT_CONTROL},
      {"Shift_L", lk::LEFT_SHIFT}, {"Shift_R", lk::RIGHT_SHIFT, lk::LEFT_SHIFT}, {"Alt_R", -1, -1}, {"Super_R", -1, -1}};
  for (int i = 0; i < 12; ++i) table.push_back({"F" + std::to_string(i + 1), lk::F1 + i});
  for (int i = 0; i < 26; ++i) table.push_back({std::string(1, char('a' + i)), lk::A + i});
  for (int i = 1; i <= 9; ++i) table.push_back({std::to_string(i), lk::NUM1 + i - 1});
  for (const char* name : {"Alt_L", "Super_L", "Menu", "bracketleft", "semicolon", "apostrophe", "backslash", "BackSpace",
                           "Prior", "Next", "End", "Home", "Insert", "Delete", "KP_Add", "KP_Divide", "KP_Insert", "KP_Begin", "F13"})
    table.push_back({name, lk::UNDEFINED_KEY});
  for (const Entry& e : table) {
    ASSERT_TRUE(lkt::run("xdotool key " + e.name)) << e.name;
    std::vector<Input> expected = {{true, lk::KEY_PRESSED, e.key}, {true, lk::KEY_RELEASED, e.key}};
    if (e.companion != NONE)
      expected = {{true, lk::KEY_PRESSED, e.companion}, expected[0], {true, lk::KEY_RELEASED, e.companion}, expected[1]};
    EXPECT_EQ(received(), expected) << e.name;
  }
  // Held longer than the server's repeat delay: one press.
  ASSERT_TRUE(lkt::run("xdotool keydown a sleep 1.5 keyup a"));
  EXPECT_EQ(received(), (std::vector<Input>{{true, lk::KEY_PRESSED, lk::A}, {true, lk::KEY_RELEASED, lk::A}}));
}

TEST_F(RealInput, PointerMovesAndButtonPressesInWindowPixels) {
  const std::string move = "xdotool mousemove --window " + window + " ";
  ASSERT_TRUE(lkt::run(move + "10 20 click 1"));
  ASSERT_TRUE(lkt::run(move + "30 40 click 3"));
  ASSERT_TRUE(lkt::run(move + "50 60 click 2"));
  // Side buttons are undefined; wheel and releases give nothing.
  ASSERT_TRUE(lkt::run(move + "70 80 click 8 click 4 mousedown 1"));
  ASSERT_TRUE(lkt::run("xdotool mouseup 1"));
  const int none = lk::UNDEFINED_MOUSE_BUTTON;
  EXPECT_EQ(received(), (std::vector<Input>{{false, lk::MOVED, none, 10, 20}, {false, lk::CLICKED, lk::LEFT_BUTTON, 10, 20},
                                            {false, lk::MOVED, none, 30, 40}, {false, lk::CLICKED, lk::RIGHT_BUTTON, 30, 40},
                                            {false, lk::MOVED, none, 50, 60}, {false, lk::CLICKED, lk::MIDDLE_BUTTON, 50, 60},
                                            {false, lk::MOVED, none, 70, 80}, {false, lk::CLICKED, none, 70, 80},
                                            {false, lk::CLICKED, lk::LEFT_BUTTON, 70, 80}}));
}
