// The display manager on a real window: start-up and its failures, where and
// in what colour characters land, and the batched drawing against the
// per-cell reference drawing, pixel by pixel.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "DisplayManager.h"
#include "LogManager.h"
#include "TestSupport.h"
#include "ViewObject.h"
#include "WindowProbe.h"
#include "WorldManager.h"

namespace {

using lktest::cellRect;
using lktest::inkCount;

const float CELL_WIDTH = 1024.0f / 120.0f;
const float CELL_HEIGHT = 768.0f / 36.0f;
const float VIEW_X = 60.0f;  // the view's corner with the default window

int colorCount(const sf::Image& image, sf::IntRect area, sf::Color color) {
  return lktest::countPixels(image, area, [&](sf::Color c) { return c == color; });
}

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lktest::requireDisplay());
    ASSERT_EQ(lk::LogManager::getInstance().startUp(), 0);
    lk::LogManager::getInstance().setFlush(true);
  }
  void TearDown() override {
    lktest::keepGraphicsDriverLoaded();
    lk::WorldManager::getInstance().shutDown();
    display().shutDown();
    lk::LogManager::getInstance().shutDown();
  }
  void startAll() {
    lktest::stageFont();
    ASSERT_EQ(display().startUp(), 0);
    ASSERT_EQ(lk::WorldManager::getInstance().startUp(), 0);
  }
  static lk::DisplayManager& display() { return lk::DisplayManager::getInstance(); }
};

TEST_F(DisplayTest, StartUpAndItsFailures) {
  // No window: drawing fails with a message per character.
  EXPECT_EQ(display().drawCh(lk::Vector(61, 1), 'A', lk::RED), -1);
  EXPECT_EQ(display().drawString(lk::Vector(70, 1), "abc", lk::RED), 0);
  EXPECT_EQ(display().swapBuffer(), -1);
  int draw_lines = 0;
  for (const std::string& line : lktest::logLines())
    draw_lines += line == "DisplayManager::drawCh(): Could not draw. The SFML window is not allocated.";
  EXPECT_EQ(draw_lines, 4);
  EXPECT_TRUE(
      lktest::logHas("DisplayManager::swapBuffer(): Could not swap buffers. The SFML window is not allocated."));

  // No font: the window opens but the display does not start.
  std::remove("../lk-font.ttf");
  EXPECT_EQ(display().startUp(), -1);
  EXPECT_TRUE(lktest::logHas("DisplayManager::startUp(): Font 'lk-font.ttf' could not be located or loaded."));
  ASSERT_NE(display().getWindow(), nullptr);
  EXPECT_TRUE(display().getWindow()->isOpen());
  EXPECT_FALSE(display().isStarted());
  // Asked again, it fails again while the font is missing, and finishes its
  // start once the font is there.
  EXPECT_EQ(display().startUp(), -1);
  EXPECT_FALSE(display().isStarted());
  lktest::stageFont();
  EXPECT_EQ(display().startUp(), 0);
  EXPECT_TRUE(display().isStarted());
  lktest::keepGraphicsDriverLoaded();
  display().shutDown();
  EXPECT_EQ(display().getWindow(), nullptr);

  // One fixed-size titled window, kept by a second start.
  startAll();
  sf::RenderWindow* p_window = display().getWindow();
  ASSERT_NE(p_window, nullptr);
  EXPECT_EQ(p_window->getSize(), sf::Vector2u(1024, 768));
  EXPECT_TRUE(display().isStarted());
  EXPECT_TRUE(lktest::logHas("DisplayManager::startUp(): DisplayManager was successfully started."));
  EXPECT_TRUE(lktest::xdotool("search --name '^Fowlshot Lark$'"));
  for (const char* bound : {"minimum", "maximum"})  // not resizable
    EXPECT_EQ(0, std::system(("xprop -id " + lktest::windowId() + " WM_NORMAL_HINTS | grep -q '" + bound +
                              " size: 1024 by 768'").c_str()));
  EXPECT_EQ(display().startUp(), 0);
  EXPECT_EQ(display().getWindow(), p_window);
  EXPECT_TRUE(lktest::logHas("DisplayManager::startUp(): The SFML window has already been created."));
}

TEST_F(DisplayTest, CharacterLandsInItsCellOnTheTextBaseline) {
  startAll();
  sf::Font font;
  ASSERT_TRUE(font.loadFromFile(lktest::fontFile()));
  const sf::FloatRect glyph = font.getGlyph('M', 15, true).bounds;
  // World (60, 0) is the view's corner, pixel (0, 0); the rest step by cells.
  const struct {
    lk::Vector world;
    float px, py;
  } cases[] = {{lk::Vector(60, 0), 0.f, 0.f},
               {lk::Vector(61, 1), CELL_WIDTH, CELL_HEIGHT},
               {lk::Vector(100.5f, 20.25f), 40.5f * CELL_WIDTH, 20.25f * CELL_HEIGHT}};
  for (const auto& c : cases) {
    ASSERT_EQ(display().drawCh(c.world, 'M', lk::GREEN), 0);
    const sf::Image image = lktest::captureWindow();
    const sf::IntRect ink = lktest::inkBounds(image);
    const float left = c.px + glyph.left, top = c.py + 15 + glyph.top;
    EXPECT_NEAR(ink.left, left, 1.0f) << c.px;
    EXPECT_NEAR(ink.top, top, 1.0f) << c.py;
    EXPECT_NEAR(ink.left + ink.width, left + glyph.width, 1.0f) << c.px;
    EXPECT_NEAR(ink.top + ink.height, top + glyph.height, 1.0f) << c.py;
    EXPECT_GT(colorCount(image, ink, sf::Color::Green), 20);
    display().swapBuffer();
  }
}

TEST_F(DisplayTest, EveryColourDrawsAsItsSfmlColourAndOthersWhite) {
  startAll();
  const sf::Color table[] = {sf::Color::Black, sf::Color::Red,     sf::Color::Green, sf::Color::Yellow,
                             sf::Color::Blue,  sf::Color::Magenta, sf::Color::Cyan,  sf::Color::White};
  for (int k = -1; k <= 8; ++k)
    display().drawCh(lk::Vector(VIEW_X + 4 * k + 6, 3), '#', static_cast<lk::Color>(k));
  const sf::Image image = lktest::captureWindow();
  for (int k = -1; k <= 8; ++k) {
    const sf::IntRect area = cellRect(4 * k + 6, 3);
    const sf::Color e = k >= 0 && k <= 7 ? table[k] : sf::Color::White;
    // Solid strokes show the colour itself; every edge pixel is a shade of it.
    auto foreign = [&](sf::Color c) { return (!e.r && c.r) || (!e.g && c.g) || (!e.b && c.b); };
    EXPECT_GT(colorCount(image, area, e), 10) << k;
    EXPECT_EQ(lktest::countPixels(image, area, foreign), 0) << k;
  }
}

TEST_F(DisplayTest, LaterCharacterBackgroundCoversEarlierOne) {
  startAll();
  // A blank over a character wipes it and a character over a blank shows,
  // in either drawing way and when the way changes between the two.
  const bool ways[][2] = {{false, false}, {true, true}, {false, true}, {true, false}};
  for (int i = 0; i < 4; ++i) {
    const float x = VIEW_X + 10 + 4 * i;
    display().setReferenceDrawing(ways[i][0]);
    display().drawCh(lk::Vector(x, 5), 'W', lk::WHITE);
    display().drawCh(lk::Vector(x + 2, 5), ' ', lk::WHITE);
    display().setReferenceDrawing(ways[i][1]);
    display().drawCh(lk::Vector(x, 5), ' ', lk::WHITE);
    display().drawCh(lk::Vector(x + 2, 5), 'W', lk::WHITE);
  }
  display().setReferenceDrawing(false);
  // Half a cell over: the right half of the first glyph stays hidden.
  display().drawCh(lk::Vector(VIEW_X + 30, 5), 'W', lk::RED);
  display().drawCh(lk::Vector(VIEW_X + 30.5f, 5), 'W', lk::BLUE);
  const sf::Image image = lktest::captureWindow();
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(inkCount(image, cellRect(10 + 4 * i, 5, 1)), 0) << i;  // a bold W is wider than its cell
    EXPECT_GT(inkCount(image, cellRect(12 + 4 * i, 5)), 20) << i;
  }
  const sf::IntRect cell = cellRect(30, 5), next = cellRect(31, 5);
  const int hidden_from = int(30.5f * CELL_WIDTH - CELL_WIDTH / 10) + 1;
  const sf::IntRect hidden(hidden_from, cell.top, next.left + next.width - hidden_from, cell.height);
  EXPECT_EQ(lktest::countPixels(image, hidden, [](sf::Color c) { return c.r > 0; }), 0);
  const sf::IntRect shown(cell.left, cell.top, hidden_from - 1 - cell.left, cell.height);
  EXPECT_GT(lktest::countPixels(image, shown, [](sf::Color c) { return c.r > 128; }), 5);
}

TEST_F(DisplayTest, StringsAreCentredAndSwapStartsAnEmptyFrame) {
  startAll();
  // "ROUND" at screen column 60 fills columns 58 to 62; for an even length
  // index n/2 lands on the position.
  EXPECT_EQ(display().drawString(lk::Vector(VIEW_X + 60, 10), "ROUND", lk::WHITE), 0);
  EXPECT_EQ(display().drawString(lk::Vector(VIEW_X + 10, 12), "AB", lk::WHITE), 0);
  EXPECT_EQ(display().drawString(lk::Vector(VIEW_X + 30, 14), "", lk::WHITE), 0);
  sf::Image image = lktest::captureWindow();
  for (int column = 56; column <= 64; ++column)
    EXPECT_EQ(inkCount(image, cellRect(column, 10, 2)) > 0, column >= 58 && column <= 62) << column;
  for (int column = 8; column <= 11; ++column)
    EXPECT_EQ(inkCount(image, cellRect(column, 12, 2)) > 0, column == 9 || column == 10) << column;
  EXPECT_EQ(inkCount(image, {0, cellRect(0, 13).top, 1024, 768}), 0);

  EXPECT_EQ(display().swapBuffer(), 0);
  image = lktest::captureWindow();
  EXPECT_EQ(inkCount(image), 0);
}

// What the game draws: boxed HUD items, sprite-like runs of characters that
// overlap and have gaps, strings over boxes, every colour and every byte, at
// whole and fractional positions.
void drawScene() {
  lk::DisplayManager& d = lk::DisplayManager::getInstance();
  lk::WorldManager::getInstance().draw();  // the HUD items
  const char* duck[] = {"  __  ", "<(o )___", " ( ._> /", "  `---' "};
  for (int k = 0; k < 3; ++k)
    for (int row = 0; row < 4; ++row)
      for (std::size_t i = 0; duck[row][i] != 0; ++i)
        if (duck[row][i] != ' ')  // sprites leave their blanks undrawn
          d.drawCh(lk::Vector(VIEW_X + 20 + 3.5f * k + i, 6.3f * k + 5 + row), duck[row][i],
                   static_cast<lk::Color>(k + 1));
  d.drawString(lk::Vector(VIEW_X + 60, 18), "+----------------+", lk::CYAN);
  d.drawString(lk::Vector(VIEW_X + 60, 18), "NEW ROUND", lk::MAGENTA);
  d.drawString(lk::Vector(VIEW_X + 60.4f, 18.6f), "overlapping text", lk::GREEN);
  for (int b = 0; b < 256; ++b)
    d.drawCh(lk::Vector(VIEW_X + 2 + (b % 64) * 1.75f, 22 + (b / 64) * 1.5f + 0.125f * (b % 3)),
             static_cast<char>(b), static_cast<lk::Color>(b % 8));
  for (int x = 0; x < 120; ++x) d.drawCh(lk::Vector(VIEW_X + x, 35), (x % 3) ? '=' : '#', lk::GREEN);
  d.drawCh(lk::Vector(VIEW_X + 90.33f, 14.77f), '+', lk::RED);  // reticle
  // A dense block with descenders and wide glyphs, then the same half a cell
  // off, then backwards, so later backgrounds cut into earlier glyphs from
  // every side; and one cell drawn over and over.
  const std::string dense = "gjpqy_|WM@#%&QJ,;(){}[]";
  for (int pass = 0; pass < 3; ++pass)
    for (int i = 0; i < 12 * 6; ++i) {
      const int k = pass == 2 ? 12 * 6 - 1 - i : i;
      const float shift = pass == 1 ? 0.5f : 0.f;
      d.drawCh(lk::Vector(VIEW_X + 70 + k % 12 + shift, 4 + k / 12 + shift),
               dense[static_cast<std::size_t>(k * 7 + pass) % dense.size()], static_cast<lk::Color>(1 + (k + pass) % 7));
    }
  for (char ch : std::string("W_g|M .#")) d.drawCh(lk::Vector(VIEW_X + 100.25f, 12.6f), ch, lk::CYAN);
}

// The batched way cuts glyph quads by the backgrounds drawn after them, so
// texture coordinates at a cut may round otherwise than in the reference
// way: a pixel may differ by at most 2 levels, on at most 0.1% of the pixels.
void expectBatchedCloseToReference(const char* scene, const std::function<void()>& draw) {
  lk::DisplayManager& d = lk::DisplayManager::getInstance();
  d.setReferenceDrawing(false);
  draw();
  const sf::Image batched = lktest::captureWindow();
  d.swapBuffer();
  d.setReferenceDrawing(true);
  draw();
  const sf::Image reference = lktest::captureWindow();
  d.setReferenceDrawing(false);
  d.swapBuffer();
  ASSERT_EQ(batched.getSize(), reference.getSize());
  EXPECT_GT(inkCount(reference), 10000) << scene;
  int differing = 0, largest = 0;
  for (unsigned y = 0; y < reference.getSize().y; ++y)
    for (unsigned x = 0; x < reference.getSize().x; ++x) {
      const sf::Color a = batched.getPixel(x, y), b = reference.getPixel(x, y);
      const int most = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
      differing += most > 0;
      largest = std::max(largest, most);
    }
  std::printf("%s: %d pixels differ from the reference, by at most %d\n", scene, differing, largest);
  EXPECT_LE(largest, 2) << scene;
  EXPECT_LE(differing, int(reference.getSize().x * reference.getSize().y / 1000)) << scene;
}

TEST_F(DisplayTest, BatchedDrawingMatchesTheReferenceDrawing) {
  startAll();
  const char* labels[] = {"Ducks Missed:", "ROUND", "Points:"};
  for (int i = 0; i < 3; ++i) {
    lk::ViewObject* p = new lk::ViewObject;
    p->setViewString(labels[i]);
    p->setLocation(static_cast<lk::ViewObjectLocation>(i));
    p->setValue(i == 2 ? -2300 : i);
    p->setColor(i == 1 ? lk::WHITE : lk::YELLOW);
  }
  expectBatchedCloseToReference("scene", drawScene);
  expectBatchedCloseToReference("every printable character in every colour", [] {
    for (int n = 0; n < 120 * 36; ++n)
      display().drawCh(lk::Vector(VIEW_X + n % 120, n / 120), static_cast<char>(' ' + n % 95),
                       static_cast<lk::Color>(n / 95 % 8));
  });
}

}  // namespace
