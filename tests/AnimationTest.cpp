// Animation timing, and sprite frames drawn into a real window: the cells a
// frame covers, transparency and frames shorter than their size.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Animation.h"
#include "DisplayManager.h"
#include "LogManager.h"
#include "Sprite.h"
#include "TestSupport.h"
#include "WindowProbe.h"
#include "WorldManager.h"

namespace {

// A sprite of `frames` one-cell frames "0", "1", ... with the slowdown.
std::unique_ptr<lk::Sprite> makeSprite(int frames, int slowdown) {
  auto s = std::make_unique<lk::Sprite>(frames);
  s->setWidth(1);
  s->setHeight(1);
  s->setSlowdown(slowdown);
  for (int i = 0; i < frames; ++i) s->insertFrame(lk::Frame(1, 1, std::string(1, char('0' + i))));
  return s;
}

// The frame index each of `draws` draws shows.
std::vector<int> shown(lk::Animation& a, int draws) {
  std::vector<int> out;
  for (int i = 0; i < draws; ++i) {
    out.push_back(a.getIndex());
    EXPECT_EQ(0, a.draw(lk::Vector(10, 5)));
  }
  return out;
}

}  // namespace

TEST(AnimationTiming, EachFrameShowsForSlowdownDrawsAfterAFirstShortOne) {
  const struct {
    int frames, slowdown, index;
    std::vector<int> shown;
  } cases[] = {
      {3, 1, 0, {0, 1, 2, 0, 1, 2, 0}},
      {3, 0, 0, {0, 1, 2, 0, 1, 2, 0}},
      {3, -3, 0, {0, 1, 2, 0, 1, 2, 0}},  // any negative but -1 is every draw
      {3, 4, 0, {0, 1, 1, 1, 1, 2, 2, 2, 2, 0, 0, 0, 0, 1}},
      {2, 4, 0, {0, 1, 1, 1, 1, 0, 0, 0, 0, 1}},
      {3, -1, 2, {2, 2, 2, 2, 2, 2}},  // stopped where setSprite found it
      {0, 1, 0, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    const auto sprite = makeSprite(c.frames, c.slowdown);
    lk::Animation a;
    a.setIndex(c.index);
    a.setSprite(sprite.get());
    EXPECT_EQ(c.shown, shown(a, int(c.shown.size()))) << c.frames << " frames, slowdown " << c.slowdown;
  }
  lk::Animation none;
  EXPECT_EQ(-1, none.draw(lk::Vector(1, 1)));
}

TEST(AnimationTiming, SwitchingSpritesKeepsTheIndexAndAnOutOfRangeIndexWraps) {
  const auto three = makeSprite(3, 2);
  const auto two = makeSprite(2, 3);
  lk::Animation a;
  a.setSprite(three.get());
  shown(a, 4);  // 0, 1, 1, 2
  ASSERT_EQ(2, a.getIndex());

  a.setSprite(two.get());
  EXPECT_EQ(2, a.getIndex());
  EXPECT_EQ(3, a.getSlowdownCount());
  EXPECT_EQ(-1, two->draw(2, lk::Vector(1, 1)));  // nothing to draw at 2...
  EXPECT_EQ(0, a.draw(lk::Vector(1, 1)));         // ...yet the animation goes on
  EXPECT_EQ((std::vector<int>{0, 0, 0, 1, 1, 1, 0}), shown(a, 7));

  // An index set far out of range also wraps on the next draw.
  a.setIndex(2147483647);
  a.setSlowdownCount(2147483647);
  EXPECT_EQ(0, a.draw(lk::Vector(1, 1)));
  EXPECT_EQ(0, a.getIndex());
}

TEST(SpriteFrames, OutOfRangeOrEmptyFramesDrawNothingAndFullSpritesDropFrames) {
  lk::Sprite s(2);
  s.insertFrame(lk::Frame(2, 1, "ab"));
  s.insertFrame(lk::Frame(2, 1, ""));
  s.insertFrame(lk::Frame(2, 1, "cd"));  // no room
  EXPECT_EQ(2, s.getFrameCount());
  EXPECT_EQ(-1, s.draw(-1, lk::Vector(1, 1)));
  EXPECT_EQ(-1, s.draw(1, lk::Vector(1, 1)));  // empty text
  EXPECT_EQ(-1, s.draw(2, lk::Vector(1, 1)));

  lk::Sprite broken(-5);  // a count that cannot be allocated takes no frames
  broken.insertFrame(lk::Frame(1, 1, "x"));
  EXPECT_EQ(0, broken.getFrameCount());
}

namespace {

class WindowDrawing : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lktest::requireDisplay());
    lktest::stageFont();
    lk::LogManager::getInstance().startUp();
    ASSERT_EQ(0, lk::DisplayManager::getInstance().startUp());
    ASSERT_EQ(0, lk::WorldManager::getInstance().startUp());
  }
  void TearDown() override {
    lktest::keepGraphicsDriverLoaded();
    lk::WorldManager::getInstance().shutDown();
    lk::DisplayManager::getInstance().shutDown();
  }
};

// 'R' red, 'G' green, '.' neither, for the world cells from (x0, y0) on; the
// view's corner is world (60, 0).
std::vector<std::string> picture(const sf::Image& image, int x0, int y0, int w, int h) {
  std::vector<std::string> rows;
  for (int y = y0; y < y0 + h; ++y) {
    std::string row;
    for (int x = x0; x < x0 + w; ++x) {
      const sf::IntRect cell = lktest::cellRect(float(x - 60), float(y), 1);
      const int red = lktest::countPixels(image, cell, [](sf::Color p) { return p.r > 150 && p.g < 90 && p.b < 90; });
      const int green = lktest::countPixels(image, cell, [](sf::Color p) { return p.g > 150 && p.r < 90 && p.b < 90; });
      row += red >= 8 && red > 4 * green ? 'R' : green >= 8 && green > 4 * red ? 'G' : '.';
    }
    rows.push_back(row);
  }
  return rows;
}

void drawBlock(float x, float y, int w, int h, lk::Color color, const std::string& text, char transparency = 0) {
  lk::Sprite s(1);
  s.setWidth(w);
  s.setHeight(h);
  s.setColor(color);
  s.setTransparency(transparency);
  s.insertFrame(lk::Frame(w, h, text));
  EXPECT_EQ(0, s.draw(0, lk::Vector(x, y)));
}

}  // namespace

TEST_F(WindowDrawing, FramesLandOnTheirCellsWithTransparencyAndShortText) {
  drawBlock(70, 5, 3, 2, lk::RED, "######");            // cells 69 to 71, 4 to 5
  drawBlock(80, 5, 4, 4, lk::GREEN, std::string(16, '#'));  // cells 78 to 81, 3 to 6
  // Over green: spaces are drawn (black), at signs are not.
  drawBlock(90, 10, 5, 3, lk::GREEN, std::string(15, '#'));
  drawBlock(90, 10, 3, 3, lk::RED, "@#@###  @", '@');
  drawBlock(90, 14, 3, 1, lk::RED, "@#@");  // no transparency
  // A 3 x 2 frame with four characters: the last two cells are skipped.
  drawBlock(98, 10, 5, 3, lk::GREEN, std::string(15, '#'));
  drawBlock(98, 10, 3, 2, lk::RED, "####");
  const sf::Image image = lktest::captureWindow();
  EXPECT_EQ((std::vector<std::string>{
                "................",
                "...........GGGG.",
                "..RRR......GGGG.",
                "..RRR......GGGG.",
                "...........GGGG.",
                "................",
            }),
            picture(image, 67, 2, 16, 6));
  EXPECT_EQ((std::vector<std::string>{
                ".......",
                ".GGRGG.",
                ".GRRRG.",
                ".G..GG.",
                ".......",
                ".......",
                "..RRR..",
            }),
            picture(image, 87, 8, 7, 7));
  EXPECT_EQ((std::vector<std::string>{
                ".GRRRG.",
                ".GRGGG.",
                ".GGGGG.",
            }),
            picture(image, 95, 9, 7, 3));
}
