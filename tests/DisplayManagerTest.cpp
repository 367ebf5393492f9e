// The display manager on a real window: start-up and its failures, where and
// in what colour characters land, and the batched drawing against the
// per-cell reference drawing, pixel by pixel.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DisplayManager.h"
#include "LogManager.h"
#include "TestSupport.h"
#include "ViewObject.h"
#include "WindowProbe.h"
#include "WorldManager.h"

namespace {

const float CELL_WIDTH = 1024.0f / 120.0f;
const float CELL_HEIGHT = 768.0f / 36.0f;
const float VIEW_X = 60.0f;  // the view's corner with the default window

bool isInk(const sf::Color& c) { return c.r != 0 || c.g != 0 || c.b != 0; }

struct Area {
  int left, top, right, bottom;  // pixels, right and bottom exclusive
};

// A screen cell's area, shrunk by the inset on every side.
Area cellArea(int column, int row, int inset = 0) {
  return Area{static_cast<int>(column * CELL_WIDTH) + inset,
              static_cast<int>(row * CELL_HEIGHT) + inset,
              static_cast<int>((column + 1) * CELL_WIDTH) - inset,
              static_cast<int>((row + 1) * CELL_HEIGHT) - inset};
}

int inkCount(const sf::Image& image, Area a) {
  int count = 0;
  for (int y = std::max(a.top, 0); y < a.bottom && y < static_cast<int>(image.getSize().y); ++y)
    for (int x = std::max(a.left, 0); x < a.right && x < static_cast<int>(image.getSize().x); ++x)
      if (isInk(image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)))) ++count;
  return count;
}

int inkCount(const sf::Image& image) {
  return inkCount(image, Area{0, 0, static_cast<int>(image.getSize().x),
                              static_cast<int>(image.getSize().y)});
}

// The smallest area holding every ink pixel; empty (right < left) if none.
Area inkBounds(const sf::Image& image) {
  Area b{1 << 20, 1 << 20, -1, -1};
  for (unsigned y = 0; y < image.getSize().y; ++y)
    for (unsigned x = 0; x < image.getSize().x; ++x)
      if (isInk(image.getPixel(x, y))) {
        b.left = std::min(b.left, static_cast<int>(x));
        b.top = std::min(b.top, static_cast<int>(y));
        b.right = std::max(b.right, static_cast<int>(x) + 1);
        b.bottom = std::max(b.bottom, static_cast<int>(y) + 1);
      }
  return b;
}

// How many pixels of the area have exactly this colour.
int colorCount(const sf::Image& image, Area a, sf::Color color) {
  int count = 0;
  for (int y = std::max(a.top, 0); y < a.bottom; ++y)
    for (int x = std::max(a.left, 0); x < a.right; ++x)
      if (image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)) == color) ++count;
  return count;
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
    lk::DisplayManager::getInstance().shutDown();
    lk::LogManager::getInstance().shutDown();
  }
  // The usual start: font staged, display and world up.
  void startAll() {
    lktest::stageFont();
    ASSERT_EQ(display().startUp(), 0);
    ASSERT_EQ(lk::WorldManager::getInstance().startUp(), 0);
  }
  static lk::DisplayManager& display() { return lk::DisplayManager::getInstance(); }

  // What the frame drawn so far looks like.
  static sf::Image frame() {
    display().flush();
    return lktest::captureWindow();
  }
};

// The bold glyph the display draws a character with.
sf::Glyph glyphOf(char ch) {
  static sf::Font font;
  static bool loaded = font.loadFromFile(lktest::fontFile());
  EXPECT_TRUE(loaded);
  return font.getGlyph(static_cast<sf::Uint32>(ch), 15, true);
}

std::string runCapture(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  pclose(pipe);
  return out;
}

TEST_F(DisplayTest, StartUpOpensAFixedSizeTitledWindowOnce) {
  startAll();
  sf::RenderWindow* p_window = display().getWindow();
  ASSERT_NE(p_window, nullptr);
  EXPECT_TRUE(p_window->isOpen());
  EXPECT_EQ(p_window->getSize(), sf::Vector2u(1024, 768));
  EXPECT_TRUE(display().isStarted());
  EXPECT_EQ(display().getType(), "DisplayManager");
  EXPECT_TRUE(lktest::logHas("DisplayManager::startUp(): DisplayManager was successfully started."));

  // The X server knows it by its title, and it cannot be resized.
  const std::string id = lktest::windowId();
  EXPECT_NE(runCapture("xdotool search --name '^Fowlshot Lark$'").find(id), std::string::npos);
  const std::string hints = runCapture("xprop -id " + id + " WM_NORMAL_HINTS");
  EXPECT_NE(hints.find("minimum size: 1024 by 768"), std::string::npos) << hints;
  EXPECT_NE(hints.find("maximum size: 1024 by 768"), std::string::npos) << hints;

  // A second start keeps the window it has.
  EXPECT_EQ(display().startUp(), 0);
  EXPECT_EQ(display().getWindow(), p_window);
  EXPECT_TRUE(lktest::logHas("DisplayManager::startUp(): The SFML window has already been created."));

  display().shutDown();
  EXPECT_EQ(display().getWindow(), nullptr);
  EXPECT_FALSE(display().isStarted());
}

TEST_F(DisplayTest, MissingFontLeavesTheWindowOpenButNotStarted) {
  std::remove("../lk-font.ttf");
  EXPECT_EQ(display().startUp(), -1);
  EXPECT_TRUE(lktest::logHas(
      "DisplayManager::startUp(): Font 'lk-font.ttf' could not be located or loaded."));
  ASSERT_NE(display().getWindow(), nullptr);
  EXPECT_TRUE(display().getWindow()->isOpen());
  EXPECT_FALSE(display().isStarted());
  EXPECT_FALSE(lktest::logHas("DisplayManager::startUp(): DisplayManager was successfully started."));
}

TEST_F(DisplayTest, DrawingWithoutAWindowFailsWithAMessagePerCharacter) {
  EXPECT_EQ(display().drawCh(lk::Vector(61, 1), 'A', lk::RED), -1);
  EXPECT_EQ(display().drawString(lk::Vector(70, 1), "abc", lk::RED), 0);
  EXPECT_EQ(display().swapBuffer(), -1);
  int draw_lines = 0;
  for (const std::string& line : lktest::logLines())
    if (line == "DisplayManager::drawCh(): Could not draw. The SFML window is not allocated.")
      ++draw_lines;
  EXPECT_EQ(draw_lines, 4);
  EXPECT_TRUE(lktest::logHas(
      "DisplayManager::swapBuffer(): Could not swap buffers. The SFML window is not allocated."));
}

TEST_F(DisplayTest, CharacterLandsInItsCellOnTheTextBaseline) {
  startAll();
  struct Case {
    lk::Vector world;
    float px, py;  // where the text is placed
  };
  // World (60, 0) is the view's corner, pixel (0, 0); the rest step by cells.
  const Case cases[] = {{lk::Vector(60, 0), 0.f, 0.f},
                        {lk::Vector(61, 1), CELL_WIDTH, CELL_HEIGHT},
                        {lk::Vector(100.5f, 20.25f), 40.5f * CELL_WIDTH, 20.25f * CELL_HEIGHT}};
  const sf::Glyph glyph = glyphOf('M');
  for (const Case& c : cases) {
    ASSERT_EQ(display().drawCh(c.world, 'M', lk::GREEN), 0);
    const sf::Image image = frame();
    const Area ink = inkBounds(image);
    const float left = c.px + glyph.bounds.left;
    const float top = c.py + 15 + glyph.bounds.top;
    // Ink starts within a pixel of the glyph's box and stays inside it.
    EXPECT_NEAR(ink.left, left, 1.0f) << c.px;
    EXPECT_NEAR(ink.top, top, 1.0f) << c.py;
    EXPECT_NEAR(ink.right, left + glyph.bounds.width, 1.0f) << c.px;
    EXPECT_NEAR(ink.bottom, top + glyph.bounds.height, 1.0f) << c.py;
    EXPECT_GT(colorCount(image, ink, sf::Color::Green), 20);
    display().swapBuffer();
  }
}

TEST_F(DisplayTest, EveryColourDrawsAsItsSfmlColour) {
  startAll();
  const sf::Color expected[] = {sf::Color::Black,  sf::Color::Red,  sf::Color::Green,
                                sf::Color::Yellow, sf::Color::Blue, sf::Color::Magenta,
                                sf::Color::Cyan,   sf::Color::White};
  for (int k = lk::BLACK; k <= lk::WHITE; ++k) {
    EXPECT_EQ(lk::toSfColor(k), expected[k]) << k;
    display().drawCh(lk::Vector(VIEW_X + 4 * k + 2, 3), '#', static_cast<lk::Color>(k));
  }
  // Values outside the enumeration are white.
  EXPECT_EQ(lk::toSfColor(8), sf::Color::White);
  EXPECT_EQ(lk::toSfColor(-1), sf::Color::White);
  EXPECT_EQ(lk::toSfColor(1000), sf::Color::White);

  const sf::Image image = frame();
  for (int k = lk::BLACK; k <= lk::WHITE; ++k) {
    const Area area = cellArea(4 * k + 2, 3);
    if (k == lk::BLACK) {
      EXPECT_EQ(inkCount(image, area), 0);
      continue;
    }
    // Solid strokes show the colour itself; every edge pixel is a shade of it.
    EXPECT_GT(colorCount(image, area, expected[k]), 10) << k;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) {
        const sf::Color c = image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
        EXPECT_TRUE(expected[k].r != 0 || c.r == 0) << k;
        EXPECT_TRUE(expected[k].g != 0 || c.g == 0) << k;
        EXPECT_TRUE(expected[k].b != 0 || c.b == 0) << k;
      }
  }
}

TEST_F(DisplayTest, LaterCharacterBackgroundCoversEarlierOne) {
  startAll();
  // A blank over a character wipes it; a character over a blank shows.
  display().drawCh(lk::Vector(70, 5), 'W', lk::WHITE);
  display().drawCh(lk::Vector(70, 5), ' ', lk::WHITE);
  display().drawCh(lk::Vector(72, 5), ' ', lk::WHITE);
  display().drawCh(lk::Vector(72, 5), 'W', lk::WHITE);
  // Half a cell over: the right half of the first glyph stays hidden.
  display().drawCh(lk::Vector(74, 5), 'W', lk::RED);
  display().drawCh(lk::Vector(74.5f, 5), 'W', lk::BLUE);
  const sf::Image image = frame();
  EXPECT_EQ(inkCount(image, cellArea(10, 5, 1)), 0);
  EXPECT_GT(inkCount(image, cellArea(12, 5)), 20);

  const Area second = {static_cast<int>(14.5f * CELL_WIDTH - CELL_WIDTH / 10) + 1,
                       cellArea(14, 5).top, cellArea(15, 5).right, cellArea(14, 5).bottom};
  for (int y = second.top; y < second.bottom; ++y)
    for (int x = second.left; x < second.right; ++x)
      EXPECT_EQ(image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)).r, 0)
          << "red left at " << x << "," << y;
  const Area first = {cellArea(14, 5).left, second.top, second.left - 1, second.bottom};
  EXPECT_GT(colorCount(image, first, sf::Color::Red), 5);
}

TEST_F(DisplayTest, StringsAreCentredOnTheirPosition) {
  startAll();
  // "ROUND" at world x 120 is screen 60, so it fills screen columns 58 to 62.
  EXPECT_EQ(display().drawString(lk::Vector(VIEW_X + 60, 10), "ROUND", lk::WHITE), 0);
  // An even length: index n/2 lands on the position.
  EXPECT_EQ(display().drawString(lk::Vector(VIEW_X + 10, 12), "AB", lk::WHITE), 0);
  EXPECT_EQ(display().drawString(lk::Vector(VIEW_X + 30, 14), "", lk::WHITE), 0);
  const sf::Image image = frame();
  for (int column = 56; column <= 64; ++column) {
    const bool inside = column >= 58 && column <= 62;
    EXPECT_EQ(inkCount(image, cellArea(column, 10, 2)) > 0, inside) << column;
  }
  EXPECT_EQ(inkCount(image, cellArea(8, 12, 2)), 0);
  EXPECT_GT(inkCount(image, cellArea(9, 12, 2)), 0);
  EXPECT_GT(inkCount(image, cellArea(10, 12, 2)), 0);
  EXPECT_EQ(inkCount(image, cellArea(11, 12, 2)), 0);
  // The empty string below drew nothing.
  EXPECT_EQ(inkCount(image, Area{0, cellArea(0, 13).top, 1024, 768}), 0);
}

TEST_F(DisplayTest, SwapBufferShowsTheFrameAndStartsAnEmptyOne) {
  startAll();
  // Even the first frame starts from the background.
  EXPECT_EQ(inkCount(frame()), 0);
  display().drawString(lk::Vector(VIEW_X + 60, 18), "FRAME", lk::YELLOW);
  EXPECT_GT(inkCount(frame()), 100);
  display().drawString(lk::Vector(VIEW_X + 60, 18), "FRAME", lk::YELLOW);
  EXPECT_EQ(display().swapBuffer(), 0);
  EXPECT_EQ(inkCount(frame()), 0);
}

TEST_F(DisplayTest, CellsAndPixelsConvertWithTheSinglePrecisionCell) {
  const lk::Vector pixels = lk::cellsToPixels(lk::Vector(120, 36));
  EXPECT_EQ(pixels, lk::Vector(1024, 768));
  // The cell is 8.533334 pixels wide, so the middle is a hair short of 60.
  const lk::Vector middle = lk::pixelsToCells(lk::Vector(512, 384));
  EXPECT_LT(middle.getX(), 60.0f);
  EXPECT_NEAR(middle.getX(), 59.999996f, 1e-6f);
  EXPECT_EQ(middle.getY(), 18.0f);
  EXPECT_EQ(lk::cellsToPixels(lk::Vector(1, 1)), lk::Vector(CELL_WIDTH, CELL_HEIGHT));
}

// Draws a frame with what the game draws: boxed HUD items, sprite-like runs of
// characters that overlap and have gaps, strings over boxes, every colour and
// every byte, at whole and fractional positions.
void drawScene() {
  lk::DisplayManager& d = lk::DisplayManager::getInstance();
  lk::WorldManager::getInstance().draw();  // the HUD items
  const char* duck[] = {"  __  ", "<(o )___", " ( ._> /", "  `---' "};
  for (int k = 0; k < 3; ++k)
    for (int row = 0; row < 4; ++row) {
      const std::string line = duck[row];
      for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] != ' ')  // sprites leave their blanks undrawn
          d.drawCh(lk::Vector(VIEW_X + 20 + 3.5f * k + i, 6.3f * k + 5 + row), line[i],
                   static_cast<lk::Color>(k + 1));
    }
  d.drawString(lk::Vector(VIEW_X + 60, 18), "+----------------+", lk::CYAN);
  d.drawString(lk::Vector(VIEW_X + 60, 18), "NEW ROUND", lk::MAGENTA);
  d.drawString(lk::Vector(VIEW_X + 60.4f, 18.6f), "overlapping text", lk::GREEN);
  for (int b = 0; b < 256; ++b)
    d.drawCh(lk::Vector(VIEW_X + 2 + (b % 64) * 1.75f, 22 + (b / 64) * 1.5f + 0.125f * (b % 3)),
             static_cast<char>(b), static_cast<lk::Color>(b % 8));
  for (int x = 0; x < 120; ++x)  // ground
    d.drawCh(lk::Vector(VIEW_X + x, 35), (x % 3) ? '=' : '#', lk::GREEN);
  d.drawCh(lk::Vector(VIEW_X + 90.33f, 14.77f), '+', lk::RED);  // reticle

  // A dense block with descenders and wide glyphs, then the same block half a
  // cell off, then drawn backwards, so later backgrounds cut into earlier
  // glyphs from every side; and one cell drawn over and over.
  const std::string dense = "gjpqy_|WM@#%&QJ,;(){}[]";
  for (int pass = 0; pass < 3; ++pass)
    for (int i = 0; i < 12 * 6; ++i) {
      const int k = pass == 2 ? 12 * 6 - 1 - i : i;
      const float shift = pass == 1 ? 0.5f : 0.f;
      d.drawCh(lk::Vector(VIEW_X + 70 + k % 12 + shift, 4 + k / 12 + shift),
               dense[static_cast<std::size_t>(k * 7 + pass) % dense.size()],
               static_cast<lk::Color>(1 + (k + pass) % 7));
    }
  for (char ch : std::string("W_g|M .#"))
    d.drawCh(lk::Vector(VIEW_X + 100.25f, 12.6f), ch, lk::CYAN);
}

TEST_F(DisplayTest, BatchedDrawingMatchesTheReferenceDrawing) {
  startAll();
  lk::ViewObject* p_missed = new lk::ViewObject;
  p_missed->setViewString("Ducks Missed:");
  p_missed->setLocation(lk::TOP_LEFT);
  p_missed->setColor(lk::YELLOW);
  lk::ViewObject* p_round = new lk::ViewObject;
  p_round->setViewString("ROUND");
  p_round->setValue(1);
  lk::ViewObject* p_points = new lk::ViewObject;
  p_points->setViewString("Points:");
  p_points->setLocation(lk::TOP_RIGHT);
  p_points->setValue(-2300);
  p_points->setColor(lk::YELLOW);

  ASSERT_FALSE(display().getReferenceDrawing());
  drawScene();
  const sf::Image batched = frame();
  display().swapBuffer();

  display().setReferenceDrawing(true);
  drawScene();
  const sf::Image reference = frame();
  display().swapBuffer();

  ASSERT_EQ(batched.getSize(), reference.getSize());
  EXPECT_GT(inkCount(reference), 10000);
  int differing = 0;
  int not_isolated = 0;
  const unsigned w = reference.getSize().x, h = reference.getSize().y;
  auto differs = [&](unsigned x, unsigned y) {
    return batched.getPixel(x, y) != reference.getPixel(x, y);
  };
  for (unsigned y = 0; y < h; ++y)
    for (unsigned x = 0; x < w; ++x) {
      if (!differs(x, y)) continue;
      ++differing;
      // A difference from rounding touches no other differing pixel.
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = static_cast<int>(x) + dx, ny = static_cast<int>(y) + dy;
          if ((dx || dy) && nx >= 0 && ny >= 0 && nx < static_cast<int>(w) &&
              ny < static_cast<int>(h) && differs(static_cast<unsigned>(nx), static_cast<unsigned>(ny)))
            ++not_isolated;
        }
    }
  if (std::getenv("LK_TEST_SAVE_FRAMES")) {
    batched.saveToFile("/tmp/x/batched.png");
    reference.saveToFile("/tmp/x/reference.png");
  }
  std::printf("batched vs reference: %d of %u pixels differ\n", differing, w * h);
  EXPECT_LE(differing, 50);
  EXPECT_EQ(not_isolated, 0);
}

TEST_F(DisplayTest, SwitchingDrawingWaysMidFrameKeepsCallOrder) {
  startAll();
  // Batched 'W', then the reference blank over it: the blank must win.
  display().drawCh(lk::Vector(80, 8), 'W', lk::WHITE);
  display().setReferenceDrawing(true);
  display().drawCh(lk::Vector(80, 8), ' ', lk::WHITE);
  display().drawCh(lk::Vector(82, 8), 'W', lk::WHITE);
  display().setReferenceDrawing(false);
  display().drawCh(lk::Vector(82, 8), ' ', lk::WHITE);
  const sf::Image image = frame();
  // A bold 'W' is a little wider than the blank's background.
  EXPECT_EQ(inkCount(image, cellArea(20, 8, 1)), 0);
  EXPECT_EQ(inkCount(image, cellArea(22, 8, 1)), 0);
}

}  // namespace
