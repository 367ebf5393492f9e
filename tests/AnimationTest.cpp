// Animation timing, and sprite frames drawn into a real window: the cells a
// frame covers, transparency and frames shorter than their size.
#include <map>
#include <string>
#include <vector>

#include <SFML/Graphics.hpp>
#include <gtest/gtest.h>

#include "Animation.h"
#include "DisplayManager.h"
#include "LogManager.h"
#include "Object.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "TestSupport.h"
#include "WindowProbe.h"
#include "WorldManager.h"

namespace {

// A sprite of `frames` one-cell frames "0", "1", ... with the slowdown.
lk::Sprite* makeSprite(int frames, int slowdown) {
  lk::Sprite* s = new lk::Sprite(frames);
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

TEST(AnimationTiming, FreshAnimationHasNoSpriteAndDrawsNothing) {
  lk::Animation a;
  EXPECT_EQ(nullptr, a.getSprite());
  EXPECT_EQ("undefined", a.getName());
  EXPECT_EQ(0, a.getIndex());
  EXPECT_EQ(0, a.getSlowdownCount());
  EXPECT_EQ(-1, a.draw(lk::Vector(1, 1)));
  EXPECT_EQ(0, a.getIndex());
}

TEST(AnimationTiming, SlowdownsOneZeroFourMinusOneAndOtherNegatives) {
  lk::Sprite* one = makeSprite(3, 1);
  lk::Sprite* zero = makeSprite(3, 0);
  lk::Sprite* four = makeSprite(3, 4);
  lk::Sprite* stopped = makeSprite(3, -1);
  lk::Sprite* minus_three = makeSprite(3, -3);
  const std::vector<int> every_draw = {0, 1, 2, 0, 1, 2, 0};

  lk::Animation a;
  a.setSprite(one);
  EXPECT_EQ(1, a.getSlowdownCount());
  EXPECT_EQ(every_draw, shown(a, 7));

  lk::Animation b;
  b.setSprite(zero);
  EXPECT_EQ(every_draw, shown(b, 7));

  lk::Animation c;
  c.setSprite(four);
  EXPECT_EQ((std::vector<int>{0, 1, 1, 1, 1, 2, 2, 2, 2, 0, 0, 0, 0, 1}), shown(c, 14));

  lk::Animation d;
  d.setIndex(2);
  d.setSprite(stopped);
  EXPECT_EQ(-1, d.getSlowdownCount());
  EXPECT_EQ(std::vector<int>(6, 2), shown(d, 6));

  lk::Animation e;
  e.setSprite(minus_three);
  EXPECT_EQ(every_draw, shown(e, 7));

  for (lk::Sprite* s : {one, zero, four, stopped, minus_three}) delete s;
}

TEST(AnimationTiming, TwoFramesAtSlowdownFour) {
  lk::Sprite* s = makeSprite(2, 4);
  lk::Animation a;
  a.setSprite(s);
  EXPECT_EQ((std::vector<int>{0, 1, 1, 1, 1, 0, 0, 0, 0, 1}), shown(a, 10));
  delete s;
}

TEST(AnimationTiming, SwitchingSpritesKeepsTheIndexAndAnOutOfRangeIndexWraps) {
  lk::Sprite* three = makeSprite(3, 2);
  lk::Sprite* two = makeSprite(2, 3);
  lk::Animation a;
  a.setSprite(three);
  shown(a, 4);  // 0, 1, 1, 2
  ASSERT_EQ(2, a.getIndex());

  a.setSprite(two);
  EXPECT_EQ(2, a.getIndex());
  EXPECT_EQ(3, a.getSlowdownCount());
  EXPECT_EQ(-1, two->draw(2, lk::Vector(1, 1)));  // nothing to draw at 2...
  EXPECT_EQ(0, a.draw(lk::Vector(1, 1)));         // ...yet the animation goes on
  EXPECT_EQ(0, a.getIndex());
  EXPECT_EQ((std::vector<int>{0, 0, 0, 1, 1, 1, 0}), shown(a, 7));

  // An index set far out of range also wraps on the next draw.
  a.setIndex(2147483647);
  a.setSlowdownCount(2147483647);
  EXPECT_EQ(0, a.draw(lk::Vector(1, 1)));
  EXPECT_EQ(0, a.getIndex());
  delete three;
  delete two;
}

TEST(AnimationTiming, SpriteWithoutFramesKeepsIndexZero) {
  lk::Sprite empty(0);
  empty.setSlowdown(1);
  EXPECT_EQ(-1, empty.draw(0, lk::Vector(1, 1)));
  EXPECT_EQ(-1, empty.draw(-1, lk::Vector(1, 1)));
  lk::Animation a;
  a.setSprite(&empty);
  EXPECT_EQ(std::vector<int>(3, 0), shown(a, 3));
}

TEST(SpriteFrames, OutOfRangeOrEmptyFramesDrawNothingAndFullSpritesDropFrames) {
  lk::Sprite s(2);
  s.insertFrame(lk::Frame(2, 1, "ab"));
  s.insertFrame(lk::Frame(2, 1, ""));
  s.insertFrame(lk::Frame(2, 1, "cd"));  // no room
  EXPECT_EQ(2, s.getFrameCount());
  EXPECT_EQ("ab", s.getFrame(0).getString());
  EXPECT_EQ(-1, s.draw(-1, lk::Vector(1, 1)));
  EXPECT_EQ(-1, s.draw(1, lk::Vector(1, 1)));  // empty text
  EXPECT_EQ(-1, s.draw(2, lk::Vector(1, 1)));

  lk::Sprite broken(-5);  // a count that cannot be allocated takes no frames
  EXPECT_EQ(0, broken.getMaxFrameCount());
  broken.insertFrame(lk::Frame(1, 1, "x"));
  EXPECT_EQ(0, broken.getFrameCount());
}

TEST(ObjectSprite, SetSpriteStartsTheCountAtTheSlowdownAndKeepsTheIndex) {
  lk::LogManager::getInstance().startUp();
  lk::WorldManager::getInstance().startUp();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  rm.startUp();
  lktest::writeFile("../walk-spr.txt", "3\n2\n1\n4\nred\naa\nbb\ncc\n");
  lktest::writeFile("../rest-spr.txt", "1\n4\n4\n-1\nblue\n");
  testing::internal::CaptureStdout();
  ASSERT_EQ(0, rm.loadSprite("../walk-spr.txt", "walk"));
  ASSERT_EQ(0, rm.loadSprite("../rest-spr.txt", "rest"));
  testing::internal::GetCapturedStdout();

  lk::Object* o = new lk::Object;
  EXPECT_EQ(-1, o->draw());
  ASSERT_EQ(0, o->setSprite("walk"));
  std::vector<int> seen;
  for (int i = 0; i < 6; ++i) {
    seen.push_back(o->getAnimation().getIndex());
    EXPECT_EQ(0, o->draw());
  }
  EXPECT_EQ((std::vector<int>{0, 1, 1, 1, 1, 2}), seen);

  ASSERT_EQ(0, o->setSprite("rest"));
  EXPECT_EQ(2, o->getAnimation().getIndex());
  EXPECT_EQ(0, o->draw());
  EXPECT_EQ(2, o->getAnimation().getIndex());  // slowdown -1: stopped where it was
  EXPECT_EQ(-1, o->setSprite("Rest"));
  EXPECT_EQ(rm.getSprite("rest"), o->getAnimation().getSprite());
  lk::WorldManager::getInstance().shutDown();
}

namespace {

// What the window shows in one cell: counts of strongly red and strongly
// green pixels inside the part of the cell no neighbour draws over.
struct CellColour {
  int red = 0;
  int green = 0;
};

class WindowDrawing : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lktest::requireDisplay());
    lktest::stageFont();
    lk::LogManager::getInstance().startUp();
    ASSERT_EQ(0, lk::DisplayManager::getInstance().startUp());
    ASSERT_EQ(0, lk::WorldManager::getInstance().startUp());
    corner_ = lk::WorldManager::getInstance().getView().getCorner();
  }

  void TearDown() override {
    lktest::keepGraphicsDriverLoaded();
    lk::WorldManager::getInstance().shutDown();
    lk::DisplayManager::getInstance().shutDown();
  }

  // The picture drawn so far, before swapBuffer would show and clear it.
  sf::Image capture() {
    lk::DisplayManager& display = lk::DisplayManager::getInstance();
    display.flush();
    sf::RenderWindow* window = display.getWindow();
    sf::Texture texture;
    EXPECT_TRUE(texture.create(window->getSize().x, window->getSize().y));
    texture.update(*window);
    return texture.copyToImage();
  }

  CellColour cell(const sf::Image& image, int x, int y) const {
    lk::DisplayManager& display = lk::DisplayManager::getInstance();
    const float cw = float(display.getHorizontalPixels()) / display.getHorizontalCells();
    const float ch = float(display.getVerticalPixels()) / display.getVerticalCells();
    const float px = cw * (float(x) - corner_.getX());
    const float py = ch * (float(y) - corner_.getY());
    CellColour c;
    for (int j = int(py) + 1; j < int(py + 0.75f * ch); ++j) {
      for (int i = int(px) + 1; i < int(px + 0.85f * cw); ++i) {
        const sf::Color p = image.getPixel(unsigned(i), unsigned(j));
        if (p.r > 150 && p.g < 90 && p.b < 90) ++c.red;
        if (p.g > 150 && p.r < 90 && p.b < 90) ++c.green;
      }
    }
    return c;
  }

  // 'R' red, 'G' green, '.' neither, for the cells from (x0, y0) on.
  std::vector<std::string> picture(const sf::Image& image, int x0, int y0, int w, int h) const {
    std::vector<std::string> rows;
    for (int y = y0; y < y0 + h; ++y) {
      std::string row;
      for (int x = x0; x < x0 + w; ++x) {
        const CellColour c = cell(image, x, y);
        row += c.red >= 8 && c.red > 4 * c.green ? 'R' : c.green >= 8 && c.green > 4 * c.red ? 'G' : '.';
      }
      rows.push_back(row);
    }
    return rows;
  }

  lk::Vector corner_;
};

lk::Sprite* blockSprite(int w, int h, lk::Color color, const std::string& text, char transparency = 0) {
  lk::Sprite* s = new lk::Sprite(1);
  s->setWidth(w);
  s->setHeight(h);
  s->setColor(color);
  s->setTransparency(transparency);
  s->insertFrame(lk::Frame(w, h, text));
  return s;
}

}  // namespace

TEST_F(WindowDrawing, FramesLandOnTheirCellsInBothDrawingWays) {
  const int x = int(corner_.getX()) + 10;
  const int y = int(corner_.getY()) + 5;
  lk::Sprite* three_by_two = blockSprite(3, 2, lk::RED, "######");
  lk::Sprite* four_by_four = blockSprite(4, 4, lk::GREEN, std::string(16, '#'));
  for (bool reference : {false, true}) {
    lk::DisplayManager::getInstance().setReferenceDrawing(reference);
    // 3 x 2 at (x, y): cells x-1 .. x+1, y-1 .. y. 4 x 4 at (x+10, y): x+8 .. x+11, y-2 .. y+1.
    EXPECT_EQ(0, three_by_two->draw(0, lk::Vector(float(x), float(y))));
    EXPECT_EQ(0, four_by_four->draw(0, lk::Vector(float(x + 10), float(y))));
    const sf::Image image = capture();
    EXPECT_EQ((std::vector<std::string>{
                  "................",
                  "...........GGGG.",
                  "..RRR......GGGG.",
                  "..RRR......GGGG.",
                  "...........GGGG.",
                  "................",
              }),
              picture(image, x - 3, y - 3, 16, 6))
        << (reference ? "reference drawing" : "batched drawing");
    lk::DisplayManager::getInstance().swapBuffer();
  }
  delete three_by_two;
  delete four_by_four;
}

TEST_F(WindowDrawing, TransparentCellsAndCellsPastAShortTextLeaveWhatWasBelow) {
  const int x = int(corner_.getX()) + 20;
  const int y = int(corner_.getY()) + 10;
  lk::Sprite* ground = blockSprite(5, 3, lk::GREEN, std::string(15, '#'));
  lk::Sprite* holes = blockSprite(3, 3, lk::RED, "@#@###  @", '@');
  lk::Sprite* opaque = blockSprite(3, 1, lk::RED, "@#@");
  lk::Sprite* short_text = blockSprite(3, 2, lk::RED, "####");

  ground->draw(0, lk::Vector(float(x), float(y)));
  holes->draw(0, lk::Vector(float(x), float(y)));
  ground->draw(0, lk::Vector(float(x + 8), float(y)));
  short_text->draw(0, lk::Vector(float(x + 8), float(y)));
  opaque->draw(0, lk::Vector(float(x), float(y + 4)));
  const sf::Image image = capture();

  // Spaces are drawn (black over green); at signs are not.
  EXPECT_EQ((std::vector<std::string>{
                ".......",
                ".GGRGG.",
                ".GRRRG.",
                ".G..GG.",
                ".......",
                ".......",
                "..RRR..",
            }),
            picture(image, x - 3, y - 2, 7, 7));
  // The 3 x 2 frame with four characters: the last two cells are skipped.
  EXPECT_EQ((std::vector<std::string>{
                ".GRRRG.",
                ".GRGGG.",
                ".GGGGG.",
            }),
            picture(image, x + 5, y - 1, 7, 3));
  for (lk::Sprite* s : {ground, holes, opaque, short_text}) delete s;
}
