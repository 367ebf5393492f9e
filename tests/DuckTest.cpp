// Ducks: where they start, how they are hit or missed, and that each one
// reports exactly one of the two.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "Bullet.h"
#include "Duck.h"
#include "DuckShot.h"
#include "EventCollision.h"
#include "EventOut.h"
#include "GameEvents.h"
#include "GameTestSupport.h"
#include "Recorder.h"
#include "ResourceManager.h"
#include "TestSupport.h"
#include "ViewObject.h"
#include "WorldManager.h"

namespace {

class DuckTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lktest::startGameWorld());
    for (lk::ViewObject** pp_view : {&m_missed, &m_points}) {
      *pp_view = new lk::ViewObject;
      (*pp_view)->setValue(0);
    }
    m_missed->setViewString("Ducks Missed:");
    m_points->setViewString("Points:");
    m_recorder = new lktest::Recorder("recorder", lk::Vector(), lk::SPECTRAL);
  }
  void TearDown() override { lktest::stopGameWorld(); }

  static Duck* duckAt(lk::Vector position, lk::Vector velocity, int level = 1) {
    auto* p_duck = new Duck(level);
    p_duck->setPosition(position);
    p_duck->setVelocity(velocity);
    return p_duck;
  }

  lk::ViewObject* m_missed = nullptr;
  lk::ViewObject* m_points = nullptr;
  lktest::Recorder* m_recorder = nullptr;
  lktest::Loop m_loop;
};

TEST_F(DuckTest, StartsOffViewOnEitherSideAndHeadsForTheViewsMiddle) {
  // From either side's strip outside the view, toward the view's middle.
  const lk::ResourceManager& resources = lk::ResourceManager::getInstance();
  int rightwards = 0;
  for (int i = 0; i < 60; ++i) {
    const Duck* p_duck = new Duck(3);
    const lk::Vector at = p_duck->getPosition();
    EXPECT_TRUE(at.getY() >= 5 && at.getY() <= 9 && at.getY() == std::floor(at.getY())) << at.getY();
    EXPECT_EQ(at.getX(), std::floor(at.getX()));
    const bool right = at.getX() < 60;
    rightwards += right;
    EXPECT_TRUE(right ? at.getX() >= 0 : at.getX() >= 180 && at.getX() <= 239) << at.getX();
    EXPECT_EQ(p_duck->getVelocity().getX() > 0, right);
    EXPECT_EQ(p_duck->getAnimation().getSprite(),
              resources.getSprite(right ? "duck-flying-right" : "duck-flying-left"));
    EXPECT_NEAR(p_duck->getSpeed(), 2.15f, 1e-5);
    EXPECT_EQ(p_duck->getAcceleration(), lk::Vector(0, 0.005f));
  }
  EXPECT_GT(rightwards, 0);
  EXPECT_LT(rightwards, 60);
}

TEST_F(DuckTest, ABulletScoresLevelTimesHundredThenReportsTheHitAndLeavesAFallingShotDuck) {
  // At the hit event: the HUD has the points, the shot duck is still to
  // come, and the duck is not yet marked (deletions go in the order of
  // marking, so the probe marked now is deleted before the duck).
  int points_at_hit = -1, shot_ducks_at_hit = -1;
  bool duck_there_when_probe_deleted = false;
  auto* p_probe = new lktest::Recorder("probe", lk::Vector(), lk::SPECTRAL);
  p_probe->on_destroy = [&] { duck_there_when_probe_deleted = lktest::countOfType("Duck") == 1; };
  m_recorder->on_event = [&](lktest::Recorder&, const lk::Event& event) {
    if (event.getType() != HIT_EVENT) return;
    points_at_hit = m_points->getValue();
    shot_ducks_at_hit = lktest::countOfType("DuckShot");
    lk::WorldManager::getInstance().markForDelete(p_probe);
  };
  Duck* p_duck = duckAt(lk::Vector(100, 10), lk::Vector(2, 0), 2);
  new lk::Bullet(lk::Vector(102, 10));

  m_loop.frame();
  EXPECT_TRUE(p_duck->isShot());
  EXPECT_EQ(m_points->getValue(), 200);
  EXPECT_EQ(m_recorder->seen, (std::vector<std::string>{"lk::view", HIT_EVENT, "lk::step"}))
      << "one view event, then one hit";
  EXPECT_EQ(points_at_hit, 200);
  EXPECT_EQ(shot_ducks_at_hit, 0);
  // Both are hard: the duck was held where it was.
  EXPECT_EQ(p_duck->getPosition(), lk::Vector(100, 10));
  // The shot duck was made in the update and moved in it: 0.15 + 0.02.
  ASSERT_EQ(lktest::countOfType("DuckShot"), 1);
  lk::Object* p_falling = lktest::objectsOfType("DuckShot")[0];
  EXPECT_NEAR(p_falling->getPosition().getX(), 100, 1e-5);
  EXPECT_NEAR(p_falling->getPosition().getY(), 10.17, 1e-5);

  m_loop.frame();
  EXPECT_TRUE(duck_there_when_probe_deleted) << "the duck was marked before it reported the hit";
  EXPECT_EQ(lktest::countOfType("Duck"), 0);
  // It falls until its box is wholly below the world, and goes in the next update.
  const float half_height = p_falling->getBox().getVertical() / 2;
  float last_y = 0;
  for (int i = 0; i < 200 && lktest::countOfType("DuckShot") == 1; ++i) {
    last_y = p_falling->getPosition().getY();
    m_loop.frame();
  }
  EXPECT_EQ(lktest::countOfType("DuckShot"), 0);
  EXPECT_GT(last_y - half_height, 36);
  EXPECT_LT(last_y - half_height - 36, 2.0f);
}

TEST_F(DuckTest, EveryDuckReportsExactlyOneHitOrOneMiss) {
  const lk::EventOut out;
  auto* p_bullet = new lk::Bullet(lk::Vector(200, 30));
  auto* p_shot_duck = new DuckShot(lk::Vector(200, 30));
  // Only a bullet hits, whichever side of the collision it is on, once; a
  // hit duck that is then out is not missed.
  Duck* p_hit = duckAt(lk::Vector(150, 20), lk::Vector(2, 0));
  const lk::EventCollision by_shot_duck(p_shot_duck, p_hit, lk::Vector(150, 20));
  p_hit->eventHandler(&by_shot_duck);
  EXPECT_FALSE(p_hit->isShot());
  const lk::EventCollision by_bullet(p_hit, p_bullet, lk::Vector(150, 20)), bullet_first(p_bullet, p_hit, lk::Vector(150, 20));
  for (const lk::EventCollision* p_event : {&by_bullet, &bullet_first, &by_bullet}) p_hit->eventHandler(p_event);
  p_hit->eventHandler(&out);
  EXPECT_TRUE(p_hit->isShot());
  // A duck that escaped is gone for good: no second miss, no late hit.
  Duck* p_missed = duckAt(lk::Vector(150, 20), lk::Vector(2, 0));
  p_missed->eventHandler(&out);
  p_missed->eventHandler(&out);
  const lk::EventCollision late(p_missed, p_bullet, lk::Vector(150, 20));
  p_missed->eventHandler(&late);
  EXPECT_FALSE(p_missed->isShot());
  EXPECT_EQ(m_points->getValue(), 100);
  EXPECT_EQ(m_missed->getValue(), 1);

  // In flight: two crossing ducks pass through each other, a shot duck
  // falling through one does not hit it, one straddling the world's left
  // edge is still in it; all leave at the bottom or a side, one miss each.
  Duck* p_a = duckAt(lk::Vector(100, 10), lk::Vector(2, 0));
  Duck* p_b = duckAt(lk::Vector(104, 10), lk::Vector(-2, 0));
  Duck* p_below = duckAt(lk::Vector(150, 12), lk::Vector(0.1f, 0));
  new DuckShot(lk::Vector(150, 11));
  Duck* p_edge = duckAt(lk::Vector(0, 6), lk::Vector(0.5f, 0));
  duckAt(lk::Vector(120, 34), lk::Vector(0, 2));
  duckAt(lk::Vector(236, 5), lk::Vector(2, 0));
  m_loop.frames(2);
  EXPECT_NEAR(p_a->getPosition().getX(), 104, 1e-4);
  EXPECT_NEAR(p_b->getPosition().getX(), 100, 1e-4);
  m_loop.frames(10);
  EXPECT_FALSE(p_below->isShot());
  EXPECT_FALSE(p_edge->isMissed());
  for (int i = 0; i < 500 && lktest::countOfType("Duck") > 0; ++i) m_loop.frame();
  EXPECT_EQ(lktest::countOfType("Duck"), 0);
  EXPECT_EQ(m_recorder->count(HIT_EVENT), 1);
  EXPECT_EQ(m_recorder->count(MISSED_EVENT), 7);
  EXPECT_EQ(m_missed->getValue(), 7);
  EXPECT_EQ(m_points->getValue(), 100);
  const std::vector<std::string> log = lktest::logLines();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Duck::out(): duck missed"), 7);
}

}  // namespace
