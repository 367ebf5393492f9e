// View objects: how view events change them, and what they look like on a
// real window, read back cell by cell.
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

  static lk::ViewObject* make(const std::string& label, int value, lk::ViewObjectLocation where,
                              bool border = true) {
    lk::ViewObject* p = new lk::ViewObject;
    p->setBorder(border);
    p->setLocation(where);
    p->setViewString(label);
    p->setValue(value);
    return p;
  }

  // Draws the world into a fresh frame on a real window and reads it back.
  static sf::Image drawnFrame() {
    EXPECT_TRUE(lktest::requireDisplay());
    lktest::stageFont();
    EXPECT_EQ(lk::DisplayManager::getInstance().startUp(), 0);
    lk::WorldManager::getInstance().draw();
    return lktest::captureWindow();
  }
};

// What the screen cells of a row show: ' ' nothing, '-' a flat stroke, '|' a
// tall thin one, '#' anything else.
std::string readRow(const sf::Image& image, int row, int from, int to) {
  std::string out;
  for (int column = from; column <= to; ++column) {
    sf::IntRect cell = lktest::cellRect(column, row);
    cell.left += 1, cell.width -= 2;
    const sf::IntRect ink = lktest::inkBounds(image, cell, 96);  // not a neighbour's faint edge
    out += ink.width == 0                        ? ' '
           : ink.height <= 4 && ink.width >= 3  ? '-'
           : ink.width <= 4 && ink.height >= 14 ? '|'
                                                 : '#';
  }
  return out;
}

TEST_F(ViewObjectTest, ViewEventsChangeOnlyTheItemsWithTheirExactLabel) {
  lk::ViewObject* p_points = make("Points:", 0, lk::TOP_RIGHT);
  lk::ViewObject* p_twin = make("Points:", 5, lk::TOP_LEFT);
  lk::ViewObject* p_round = make("ROUND", 3, lk::TOP_CENTER);

  lk::EventView points("Points:", 100);
  EXPECT_EQ(p_points->eventHandler(&points), 1);
  EXPECT_EQ(p_round->eventHandler(&points), 0);
  EXPECT_EQ(p_points->getValue(), 100);
  EXPECT_EQ(p_round->getValue(), 3);

  // Sent to everyone, a delta adds to every item of the label; a non-delta sets.
  lk::WorldManager::getInstance().onEvent(&points);
  EXPECT_EQ(p_points->getValue(), 200);
  EXPECT_EQ(p_twin->getValue(), 105);
  lk::EventView round("ROUND", 1);
  round.setDelta(false);
  lk::WorldManager::getInstance().onEvent(&round);
  EXPECT_EQ(p_round->getValue(), 1);
  lk::EventView minus("Points:", -250);
  lk::WorldManager::getInstance().onEvent(&minus);
  EXPECT_EQ(p_points->getValue(), -50);

  // Letter case and blanks count; other events are not view events.
  for (const char* tag : {"points:", "Points: ", "Points", " Points:", ""}) {
    lk::EventView near_miss(tag, 5);
    EXPECT_EQ(p_points->eventHandler(&near_miss), 0) << tag;
  }
  lk::EventKeyboard key;
  lk::EventStep step(3);
  EXPECT_EQ(p_points->eventHandler(&key), 0);
  EXPECT_EQ(p_points->eventHandler(&step), 0);
  EXPECT_EQ(p_points->getValue(), -50);
  // Sums beyond int stop at its limits.
  const lk::EventView most("Points:", INT_MAX), least("Points:", INT_MIN);
  const int expected[] = {INT_MAX - 50, INT_MAX, -1, INT_MIN, INT_MIN};
  int i = 0;
  for (const lk::EventView* p_event : {&most, &most, &least, &least, &least}) {
    p_points->eventHandler(p_event);
    EXPECT_EQ(p_points->getValue(), expected[i++]);
  }
  EXPECT_EQ(lk::toString(INT_MIN), "-2147483648");
  EXPECT_EQ(lk::toString(INT_MAX), "2147483647");
}

TEST_F(ViewObjectTest, TheHeadsUpDisplayOfTheGameLandsOnItsColumns) {
  lk::ViewObject* p_points = make("Points:", 0, lk::TOP_RIGHT);
  p_points->setColor(lk::YELLOW);
  EXPECT_EQ(p_points->getSolidness(), lk::SPECTRAL);
  EXPECT_EQ(p_points->getAltitude(), lk::MAX_ALTITUDE);
  make("ROUND", 1, lk::TOP_CENTER);
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
  EXPECT_EQ(readRow(image, 3, 0, 119), std::string(120, ' '));

  // Box and text in the item's colour: yellow has no blue.
  const sf::IntRect box(lktest::cellRect(94, 0).left, 0, lktest::cellRect(107, 0).left - lktest::cellRect(94, 0).left,
                        lktest::cellRect(0, 3).top);
  EXPECT_EQ(lktest::countPixels(image, box, [](sf::Color c) { return c.b > 0; }), 0);
  EXPECT_GT(lktest::countPixels(image, box, [](sf::Color c) { return c == sf::Color::Yellow; }), 100);
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
