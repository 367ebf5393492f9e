// Ducks: where they start, how they are hit or missed, and that each one
// reports exactly one of the two.
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "Bullet.h"
#include "DisplayManager.h"
#include "Duck.h"
#include "DuckShot.h"
#include "EventCollision.h"
#include "EventOut.h"
#include "GameEvents.h"
#include "GameTestSupport.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "TestSupport.h"
#include "ViewObject.h"
#include "WorldManager.h"

namespace {

lk::ViewObject* makeHudItem(const char* label) {
  auto* p_view = new lk::ViewObject;
  p_view->setViewString(label);
  p_view->setValue(0);
  return p_view;
}

int logCount(const std::string& line) {
  int n = 0;
  for (const std::string& l : lktest::logLines()) n += l == line ? 1 : 0;
  return n;
}

class DuckTest : public testing::Test {
 protected:
  void start(const std::vector<std::string>& missing = {}, bool with_display = false) {
    ASSERT_TRUE(lktest::startGameWorld(missing, with_display));
    m_points = makeHudItem("Points:");
    m_missed = makeHudItem("Ducks Missed:");
    m_recorder = new lktest::EventRecorder;
  }
  void TearDown() override { lktest::stopGameWorld(); }

  // A duck placed by hand, flying at a known velocity.
  static Duck* duckAt(int level, lk::Vector position, lk::Vector velocity) {
    auto* p_duck = new Duck(level);
    p_duck->setPosition(position);
    p_duck->setVelocity(velocity);
    return p_duck;
  }

  lk::ViewObject* m_points = nullptr;
  lk::ViewObject* m_missed = nullptr;
  lktest::EventRecorder* m_recorder = nullptr;
  lktest::Loop m_loop;
};

TEST_F(DuckTest, StartsOffViewOnEitherSideAndHeadsForTheViewsMiddle) {
  start();
  const lk::ResourceManager& resources = lk::ResourceManager::getInstance();

  // The generator is never seeded, so it starts as srand(1) leaves it: the
  // duck draws side, height, place and then its target height.
  std::srand(1);
  const int side = std::rand(), height = std::rand(), place = std::rand(), target = std::rand();
  std::srand(1);
  const Duck* p_first = new Duck(1);
  const bool flies_right = side % 2 == 1;
  EXPECT_EQ(p_first->getPosition(),
            lk::Vector(static_cast<float>(place % 60 + (flies_right ? 0 : 180)),
                       static_cast<float>(height % 5 + 5)));
  const lk::Vector aim(120 - p_first->getPosition().getX(),
                       static_cast<float>(target % 5 + 5) - p_first->getPosition().getY());
  const lk::Vector direction = p_first->getDirection();
  EXPECT_NEAR(direction.getX(), aim.getX() / aim.getMagnitude(), 1e-5);
  EXPECT_NEAR(direction.getY(), aim.getY() / aim.getMagnitude(), 1e-5);
  EXPECT_NEAR(p_first->getSpeed(), 2.05f, 1e-5);

  int right = 0, left = 0;
  for (int i = 0; i < 60; ++i) {
    const Duck* p_duck = new Duck(3);
    const lk::Vector at = p_duck->getPosition();
    EXPECT_EQ(at.getX(), std::floor(at.getX()));
    EXPECT_TRUE(at.getY() >= 5 && at.getY() <= 9 && at.getY() == std::floor(at.getY()));
    const bool on_left = at.getX() < 60;
    if (on_left) {
      ++right;
      EXPECT_GE(at.getX(), 0);
      EXPECT_GT(p_duck->getVelocity().getX(), 0);
      EXPECT_EQ(p_duck->getAnimation().getSprite(), resources.getSprite("duck-flying-right"));
    } else {
      ++left;
      EXPECT_TRUE(at.getX() >= 180 && at.getX() <= 239) << at.getX();
      EXPECT_LT(p_duck->getVelocity().getX(), 0);
      EXPECT_EQ(p_duck->getAnimation().getSprite(), resources.getSprite("duck-flying-left"));
    }
    EXPECT_NEAR(p_duck->getSpeed(), 2.15f, 1e-5);
    EXPECT_EQ(p_duck->getAcceleration(), lk::Vector(0, 0.005f));
    EXPECT_EQ(p_duck->getSolidness(), lk::HARD);
    EXPECT_EQ(p_duck->getAltitude(), 2);
    EXPECT_EQ(p_duck->getType(), "Duck");
  }
  EXPECT_GT(right, 0);
  EXPECT_GT(left, 0);
}

TEST_F(DuckTest, BulletInItsPathScoresLevelTimesHundredAndLeavesAFallingShotDuck) {
  start();
  int points_at_hit = -1, shot_ducks_at_hit = -1;
  m_recorder->on_event = [&](const lk::Event* p_event) {
    if (p_event->getType() != HIT_EVENT) return;
    points_at_hit = m_points->getValue();
    shot_ducks_at_hit = lktest::countOfType("DuckShot");
  };
  Duck* p_duck = duckAt(2, lk::Vector(100, 10), lk::Vector(2, 0));
  new lk::Bullet(lk::Vector(102, 10));

  m_loop.frame();
  EXPECT_TRUE(p_duck->isShot());
  EXPECT_EQ(m_points->getValue(), 200);
  EXPECT_EQ(m_missed->getValue(), 0);
  EXPECT_EQ(m_recorder->count(HIT_EVENT), 1);
  EXPECT_EQ(m_recorder->count(MISSED_EVENT), 0);
  // The HUD has the points before the hit is reported; the shot duck comes after.
  EXPECT_EQ(points_at_hit, 200);
  EXPECT_EQ(shot_ducks_at_hit, 0);
  // Both are hard: the duck was held where it was.
  EXPECT_EQ(p_duck->getPosition(), lk::Vector(100, 10));

  // The shot duck was made in the update and moved in it: 0.15 + 0.02.
  ASSERT_EQ(lktest::countOfType("DuckShot"), 1);
  lk::Object* p_falling = lktest::objectsOfType("DuckShot")[0];
  EXPECT_NEAR(p_falling->getPosition().getX(), 100, 1e-5);
  EXPECT_NEAR(p_falling->getPosition().getY(), 10.17, 1e-5);
  EXPECT_EQ(p_falling->getSolidness(), lk::SOFT);
  EXPECT_EQ(p_falling->getAltitude(), 0);

  m_loop.frame();
  EXPECT_EQ(lktest::countOfType("Duck"), 0);
  EXPECT_NEAR(p_falling->getPosition().getY(), 10.36, 1e-4);

  // It falls until its box is wholly below the world, then goes.
  const float half_height = p_falling->getBox().getVertical() / 2;
  float last_y = 0;
  int frames = 0;
  while (lktest::countOfType("DuckShot") == 1 && frames < 200) {
    last_y = lktest::objectsOfType("DuckShot")[0]->getPosition().getY();
    m_loop.frame();
    ++frames;
  }
  EXPECT_EQ(lktest::countOfType("DuckShot"), 0);
  EXPECT_GT(last_y - half_height, 36);
  EXPECT_LT(last_y - half_height - 36, 2.0f);  // deleted on the frame after it left
  EXPECT_EQ(m_points->getValue(), 200);
  EXPECT_EQ(m_recorder->count(HIT_EVENT), 1);
}

TEST_F(DuckTest, ReportsExactlyOneHitOrOneMiss) {
  start();
  auto* p_bullet = new lk::Bullet(lk::Vector(200, 30));
  auto* p_other = new DuckShot(lk::Vector(200, 30));
  const lk::EventOut out;

  Duck* p_hit = duckAt(1, lk::Vector(150, 20), lk::Vector(2, 0));
  {
    const lk::EventCollision by_shot_duck(p_other, p_hit, lk::Vector(150, 20));
    p_hit->eventHandler(&by_shot_duck);
    EXPECT_FALSE(p_hit->isShot()) << "only a bullet hits";
  }
  for (int i = 0; i < 2; ++i) {
    const lk::EventCollision by_bullet(p_hit, p_bullet, lk::Vector(150, 20));
    p_hit->eventHandler(&by_bullet);
    const lk::EventCollision bullet_first(p_bullet, p_hit, lk::Vector(150, 20));
    p_hit->eventHandler(&bullet_first);
  }
  p_hit->eventHandler(&out);
  EXPECT_TRUE(p_hit->isShot());
  EXPECT_EQ(m_points->getValue(), 100);
  EXPECT_EQ(m_missed->getValue(), 0);
  EXPECT_EQ(m_recorder->count(HIT_EVENT), 1);
  EXPECT_EQ(m_recorder->count(MISSED_EVENT), 0);
  EXPECT_EQ(lktest::countOfType("DuckShot"), 2);

  // A duck that escaped is gone for good: no second miss, no late hit.
  Duck* p_missed = duckAt(1, lk::Vector(150, 20), lk::Vector(2, 0));
  p_missed->eventHandler(&out);
  p_missed->eventHandler(&out);
  const lk::EventCollision late(p_missed, p_bullet, lk::Vector(150, 20));
  p_missed->eventHandler(&late);
  EXPECT_FALSE(p_missed->isShot());
  EXPECT_EQ(m_points->getValue(), 100);
  EXPECT_EQ(m_missed->getValue(), 1);
  EXPECT_EQ(m_recorder->count(HIT_EVENT), 1);
  EXPECT_EQ(m_recorder->count(MISSED_EVENT), 1);
  EXPECT_EQ(logCount("Duck::out(): duck missed"), 1);

  m_loop.frame();
  EXPECT_EQ(lktest::countOfType("Duck"), 0);
}

TEST_F(DuckTest, LeavingTheWorldAtTheBottomOrTheSideIsOneMiss) {
  start();
  duckAt(1, lk::Vector(120, 34), lk::Vector(0, 2));
  duckAt(1, lk::Vector(236, 5), lk::Vector(2, 0));
  // Out once the box is wholly outside the world.
  m_loop.frame();
  EXPECT_EQ(m_missed->getValue(), 0);
  int frames = 1;
  while (lktest::countOfType("Duck") > 0 && frames < 20) {
    m_loop.frame();
    ++frames;
  }
  EXPECT_EQ(lktest::countOfType("Duck"), 0);
  EXPECT_EQ(m_missed->getValue(), 2);
  EXPECT_EQ(m_recorder->count(MISSED_EVENT), 2);
  EXPECT_EQ(logCount("Duck::out(): duck missed"), 2);
  EXPECT_EQ(m_points->getValue(), 0);

  // A right-flying duck straddling the world's left edge is still in it.
  duckAt(1, lk::Vector(0, 6), lk::Vector(0.5f, 0));
  m_loop.frames(3);
  EXPECT_EQ(m_missed->getValue(), 2);
}

TEST_F(DuckTest, DucksPassThroughDucksAndShotDucksDoNotHit) {
  start();
  Duck* p_a = duckAt(1, lk::Vector(100, 10), lk::Vector(2, 0));
  Duck* p_b = duckAt(1, lk::Vector(104, 10), lk::Vector(-2, 0));
  m_loop.frame();
  // Neither was held up by the other.
  EXPECT_NEAR(p_a->getPosition().getX(), 102, 1e-5);
  EXPECT_NEAR(p_b->getPosition().getX(), 102, 1e-5);
  m_loop.frame();
  EXPECT_NEAR(p_a->getPosition().getX(), 104, 1e-4);
  EXPECT_NEAR(p_b->getPosition().getX(), 100, 1e-4);

  // A shot duck falling over a flying duck: a collision, but no hit.
  Duck* p_below = duckAt(1, lk::Vector(150, 12), lk::Vector(0.1f, 0));
  new DuckShot(lk::Vector(150, 11));
  for (int i = 0; i < 10; ++i) m_loop.frame();
  EXPECT_FALSE(p_a->isShot());
  EXPECT_FALSE(p_b->isShot());
  EXPECT_FALSE(p_below->isShot());
  EXPECT_GT(p_below->getPosition().getX(), 150.5f);
  EXPECT_EQ(m_points->getValue(), 0);
  EXPECT_EQ(m_recorder->count(HIT_EVENT), 0);
}

TEST_F(DuckTest, FliesAndIsHitWithoutAnyDuckSprite) {
  start({"sprites/duck-flyleft-spr.txt", "sprites/duck-flyright-spr.txt",
         "sprites/duck-shot-spr.txt"},
        true);
  Duck* p_duck = duckAt(1, lk::Vector(100, 10), lk::Vector(2, 0));
  EXPECT_EQ(p_duck->getAnimation().getSprite(), nullptr);
  EXPECT_FLOAT_EQ(p_duck->getBox().getHorizontal(), 0.99f);
  for (int i = 0; i < 30; ++i) new Duck(1);  // drawn, unseen, flying off
  new lk::Bullet(lk::Vector(102, 10));
  m_loop.frame();
  EXPECT_TRUE(p_duck->isShot());
  EXPECT_EQ(m_points->getValue(), 100);
  m_loop.frames(150);
  EXPECT_EQ(lktest::countOfType("Duck"), 0);
  EXPECT_EQ(lktest::countOfType("DuckShot"), 0);
  EXPECT_EQ(m_missed->getValue(), 30);
}

}  // namespace
