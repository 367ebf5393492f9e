// View objects: where they sit, how view events change them, and what they
// look like on a real window, read back cell by cell.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "EventStep.h"
#include "EventView.h"
#include "LogManager.h"
#include "TestSupport.h"
#include "ViewObject.h"
#include "WindowProbe.h"
#include "WorldManager.h"

namespace {

const float CELL_WIDTH = 1024.0f / 120.0f;
const float CELL_HEIGHT = 768.0f / 36.0f;

class ViewObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lk::LogManager::getInstance().startUp();
    ASSERT_EQ(lk::WorldManager::getInstance().startUp(), 0);
  }
  void TearDown() override {
    lktest::keepGraphicsDriverLoaded();
    lk::WorldManager::getInstance().shutDown();
    lk::DisplayManager::getInstance().shutDown();
    lk::LogManager::getInstance().shutDown();
  }

  static lk::ViewObject* make(const std::string& label, int value,
                              lk::ViewObjectLocation where = lk::TOP_CENTER, bool border = true) {
    lk::ViewObject* p = new lk::ViewObject;
    p->setBorder(border);
    p->setLocation(where);
    p->setViewString(label);
    p->setValue(value);
    return p;
  }

  // Draws the world into a fresh frame and reads it back.
  static sf::Image drawnFrame() {
    lk::DisplayManager& display = lk::DisplayManager::getInstance();
    if (!display.isStarted()) {
      EXPECT_TRUE(lktest::requireDisplay());
      lktest::stageFont();
      EXPECT_EQ(display.startUp(), 0);
    }
    display.swapBuffer();
    lk::WorldManager::getInstance().draw();
    display.flush();
    return lktest::captureWindow();
  }
};

// What a screen cell shows: ' ' nothing, '-' a flat stroke, '|' a tall thin
// one, '#' anything else.
char readCell(const sf::Image& image, int column, int row) {
  const int left = static_cast<int>(column * CELL_WIDTH) + 1;
  const int right = static_cast<int>((column + 1) * CELL_WIDTH) - 1;
  const int top = static_cast<int>(row * CELL_HEIGHT);
  const int bottom = static_cast<int>((row + 1) * CELL_HEIGHT);
  int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const sf::Color c = image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
      if (c.r + c.g + c.b < 96) continue;  // faint edges of a neighbour's glyph
      x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
  if (x1 < 0) return ' ';
  const int w = x1 - x0 + 1, h = y1 - y0 + 1;
  if (h <= 4 && w >= 3) return '-';
  if (w <= 4 && h >= 14) return '|';
  return '#';
}

// The cells of a screen row from one column to another, inclusive.
std::string readRow(const sf::Image& image, int row, int from, int to) {
  std::string out;
  for (int column = from; column <= to; ++column) out += readCell(image, column, row);
  return out;
}

TEST_F(ViewObjectTest, NewViewObjectIsASpectralTopLayerItemAtTheTopCentre) {
  lk::ViewObject* p = new lk::ViewObject;
  EXPECT_EQ(p->getType(), "ViewObject");
  EXPECT_EQ(p->getSolidness(), lk::SPECTRAL);
  EXPECT_EQ(p->getAltitude(), lk::MAX_ALTITUDE);
  EXPECT_EQ(p->getLocation(), lk::TOP_CENTER);
  EXPECT_EQ(p->getPosition(), lk::Vector(60, 1));
  EXPECT_TRUE(p->getBorder());
  EXPECT_EQ(p->getColor(), lk::WHITE);
  EXPECT_EQ(p->getValue(), 0);
  EXPECT_EQ(p->getViewString(), "");
  // It is in the world like any object.
  EXPECT_EQ(lk::WorldManager::getInstance().getAllObjects().getCount(), 1);
}

TEST_F(ViewObjectTest, LocationsSplitTheViewInSixthsAndReadTheBorderThen) {
  lk::ViewObject* p = new lk::ViewObject;
  p->setLocation(lk::TOP_LEFT);
  EXPECT_EQ(p->getPosition(), lk::Vector(20, 1));
  EXPECT_EQ(p->getLocation(), lk::TOP_LEFT);
  p->setLocation(lk::TOP_RIGHT);
  EXPECT_EQ(p->getPosition(), lk::Vector(100, 1));
  // Without a border the single line sits in the top row...
  p->setBorder(false);
  EXPECT_EQ(p->getPosition(), lk::Vector(100, 1));
  p->setLocation(lk::TOP_CENTER);
  EXPECT_EQ(p->getPosition(), lk::Vector(60, 0));
  // ...and the flag is read only when the location is set.
  p->setBorder(true);
  EXPECT_EQ(p->getPosition(), lk::Vector(60, 0));
}

TEST_F(ViewObjectTest, ViewEventsChangeOnlyTheItemsWithTheirExactLabel) {
  lk::ViewObject* p_points = make("Points:", 0, lk::TOP_RIGHT);
  lk::ViewObject* p_round = make("ROUND", 3);
  lk::ViewObject* p_missed = make("Ducks Missed:", 0, lk::TOP_LEFT);

  lk::EventView points("Points:", 100);
  EXPECT_EQ(points.getType(), "lk::view");
  EXPECT_TRUE(points.getDelta());
  EXPECT_EQ(p_points->eventHandler(&points), 1);
  EXPECT_EQ(p_round->eventHandler(&points), 0);
  EXPECT_EQ(p_missed->eventHandler(&points), 0);
  EXPECT_EQ(p_points->getValue(), 100);
  EXPECT_EQ(p_round->getValue(), 3);
  EXPECT_EQ(p_missed->getValue(), 0);

  // Sent to everyone, a delta adds; a non-delta replaces.
  lk::WorldManager::getInstance().onEvent(&points);
  EXPECT_EQ(p_points->getValue(), 200);
  lk::EventView round("ROUND", 1);
  round.setDelta(false);
  lk::WorldManager::getInstance().onEvent(&round);
  EXPECT_EQ(p_round->getValue(), 1);
  lk::EventView minus("Points:", -250);
  lk::WorldManager::getInstance().onEvent(&minus);
  EXPECT_EQ(p_points->getValue(), -50);

  // Letter case and trailing blanks count.
  for (const char* tag : {"points:", "Points: ", "Points", " Points:", ""}) {
    lk::EventView near_miss(tag, 5);
    EXPECT_EQ(p_points->eventHandler(&near_miss), 0) << tag;
  }
  EXPECT_EQ(p_points->getValue(), -50);

  // Other events are not view events, whatever they carry.
  lk::EventKeyboard key;
  lk::EventStep step(3);
  EXPECT_EQ(p_points->eventHandler(&key), 0);
  EXPECT_EQ(p_points->eventHandler(&step), 0);
  EXPECT_EQ(p_points->getValue(), -50);
}

TEST_F(ViewObjectTest, ItemsWithTheSameLabelMoveTogether) {
  lk::ViewObject* p_a = make("Ducks Missed:", 1, lk::TOP_LEFT);
  lk::ViewObject* p_b = make("Ducks Missed:", 5, lk::TOP_RIGHT);
  lk::EventView missed("Ducks Missed:", 1);
  lk::WorldManager::getInstance().onEvent(&missed);
  EXPECT_EQ(p_a->getValue(), 2);
  EXPECT_EQ(p_b->getValue(), 6);
}

TEST_F(ViewObjectTest, ValuesPrintAsAStreamPrintsThem) {
  EXPECT_EQ(lk::toString(0), "0");
  EXPECT_EQ(lk::toString(-2), "-2");
  EXPECT_EQ(lk::toString(1234567), "1234567");
  EXPECT_EQ(lk::toString(INT_MAX), "2147483647");
  EXPECT_EQ(lk::toString(INT_MIN), "-2147483648");
}

TEST_F(ViewObjectTest, TheHeadsUpDisplayOfTheGameLandsOnItsColumns) {
  lk::ViewObject* p_points = make("Points:", 0, lk::TOP_RIGHT);
  p_points->setColor(lk::YELLOW);
  make("ROUND", 1);
  make("Ducks Missed:", 0, lk::TOP_LEFT);
  const sf::Image image = drawnFrame();

  // "Points:" 0: text on 95 to 105, box 94 to 106.
  EXPECT_EQ(readRow(image, 0, 93, 107), " ------------- ");
  EXPECT_EQ(readRow(image, 1, 93, 107), " | ####### # | ");
  EXPECT_EQ(readRow(image, 2, 93, 107), " ------------- ");
  // "ROUND" 1: text on 56 to 64, box 55 to 65.
  EXPECT_EQ(readRow(image, 0, 54, 66), " ----------- ");
  EXPECT_EQ(readRow(image, 1, 54, 66), " | ##### # | ");
  EXPECT_EQ(readRow(image, 2, 54, 66), " ----------- ");
  // "Ducks Missed:" 0, though its position lies outside the world's view:
  // text on 12 to 28, box 11 to 29.
  EXPECT_EQ(readRow(image, 0, 10, 30), " ------------------- ");
  EXPECT_EQ(readRow(image, 1, 10, 30), " | ##### ####### # | ");
  EXPECT_EQ(readRow(image, 2, 10, 30), " ------------------- ");
  // Nothing else on the screen.
  EXPECT_EQ(readRow(image, 3, 0, 119), std::string(120, ' '));

  // Box and text in the item's colour: yellow has no blue.
  int yellow = 0;
  for (int y = 0; y < static_cast<int>(3 * CELL_HEIGHT); ++y)
    for (int x = static_cast<int>(94 * CELL_WIDTH); x < static_cast<int>(107 * CELL_WIDTH); ++x) {
      const sf::Color c = image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
      EXPECT_EQ(c.b, 0);
      yellow += c == sf::Color::Yellow;
    }
  EXPECT_GT(yellow, 100);
}

TEST_F(ViewObjectTest, UnborderedItemsAndOddLabelsAndValues) {
  make("ROUND", 1, lk::TOP_CENTER, false);  // "ROUND 1" on row 0, 57 to 63
  make("", 7, lk::TOP_LEFT);                // "  7 " in a box of six columns
  make("Points:", -2, lk::TOP_RIGHT);       // " Points: -2 "
  const sf::Image image = drawnFrame();

  EXPECT_EQ(readRow(image, 0, 55, 65), "  ##### #  ");
  EXPECT_EQ(readRow(image, 1, 55, 65), std::string(11, ' '));

  EXPECT_EQ(readRow(image, 0, 16, 23), " ------ ");
  EXPECT_EQ(readRow(image, 1, 16, 23), " |  # | ");
  EXPECT_EQ(readRow(image, 2, 16, 23), " ------ ");

  // 12 characters: the text starts at 100 - 6 = 94, the box one cell out.
  EXPECT_EQ(readRow(image, 0, 92, 107), " -------------- ");
  EXPECT_EQ(readRow(image, 1, 92, 107), " | ####### -# | ");
}

}  // namespace
