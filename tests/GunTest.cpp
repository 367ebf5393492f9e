// The gun, the reticle and the bullet: aiming, the two cooldowns, the
// bullet's three steps and the miss count.
#include <algorithm>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "Bullet.h"
#include "Duck.h"
#include "DuckShot.h"
#include "EventHit.h"
#include "EventMissed.h"
#include "GameTestSupport.h"
#include "Gun.h"
#include "ResourceManager.h"
#include "Reticle.h"
#include "Sprite.h"
#include "ViewObject.h"
#include "TestSupport.h"
#include "WorldManager.h"

namespace {

class GunTest : public testing::Test {
 protected:
  void start(bool with_display = false) {
    ASSERT_TRUE(lktest::startGameWorld({}, with_display));
    m_gun = new Gun;
    m_reticle = new Reticle;
  }
  void TearDown() override { lktest::stopGameWorld(); }

  Gun* m_gun = nullptr;
  Reticle* m_reticle = nullptr;
  lktest::Loop m_loop;
};

TEST_F(GunTest, AimsInFiveEqualColumnsOfTheViewAndTheReticleFollows) {
  start(true);
  const lk::Sprite* p_sprite = lk::ResourceManager::getInstance().getSprite("gun");
  ASSERT_NE(p_sprite, nullptr);
  ASSERT_EQ(m_gun->getAimFrames(), 5);
  EXPECT_EQ(m_gun->getAimFrame(), 2);
  // Centred on the view, its bottom row on the view's bottom edge.
  EXPECT_EQ(m_gun->getPosition(), lk::Vector(120, 36 - p_sprite->getHeight() * 0.5f));

  for (int px = 0; px < 1024; ++px) {
    lktest::sendMouse(lk::MOVED, static_cast<float>(px), 500);
    // The window's five columns of 204.8 pixels; an edge belongs to the left one.
    int column = 0;
    while (column < 4 && (column + 1) * 204.8 < px) ++column;
    ASSERT_EQ(m_gun->getAimFrame(), column) << "pixel " << px;
  }
  // Past either edge of the window the gun turns all the way.
  lktest::sendMouse(lk::MOVED, 1100, 10);
  EXPECT_EQ(m_gun->getAimFrame(), 4);
  lktest::sendMouse(lk::MOVED, -40, 10);
  EXPECT_EQ(m_gun->getAimFrame(), 0);
  // The reticle is at the window cell plus the view's left edge.
  lktest::sendMouse(lk::MOVED, 256, 192);
  EXPECT_EQ(m_reticle->getPosition(), lk::Vector(90, 9));
  EXPECT_EQ(lktest::countOfType("Bullet"), 0) << "moving fired";
  m_loop.frames(3);  // and both draw
}

TEST_F(GunTest, ClicksOfAnyButtonEveryStepFireEverySixthStepAndSoundEveryEighth) {
  start();
  const lk::MouseButton buttons[] = {lk::LEFT_BUTTON, lk::RIGHT_BUTTON, lk::MIDDLE_BUTTON, lk::UNDEFINED_MOUSE_BUTTON};
  std::set<int> seen;
  std::vector<int> fired, sounded;
  for (int frame = 0; frame < 48; ++frame) {
    m_loop.frame([&] {
      lktest::sendMouse(lk::CLICKED, 512, 384, buttons[(frame / 6) % 4]);
      if (m_gun->getStepsSinceShot() == 0) sounded.push_back(frame);
      for (lk::Object* p : lktest::objectsOfType("Bullet"))
        if (seen.insert(p->getId()).second) {
          fired.push_back(frame);
          EXPECT_EQ(p->getPosition(), lk::Vector(120, 18));
        }
    });
    // A bullet lives through the frame it was fired in and the next two.
    EXPECT_EQ(lktest::countOfType("Bullet"), frame % 6 < 3 ? 1 : 0) << "frame " << frame;
  }
  EXPECT_EQ(fired, (std::vector<int>{0, 6, 12, 18, 24, 30, 36, 42}));
  EXPECT_EQ(sounded, (std::vector<int>{0, 8, 16, 24, 32, 40}));
}

TEST_F(GunTest, BulletHitsADuckThatReachesItWithinItsThreeSteps) {
  start();
  // A duck flying right at 2 cells a step whose box first reaches the
  // bullet at (120, 18) on its n-th move after the click.
  const auto duckReachingOnMove = [](int n) {
    auto* p_duck = new Duck(1);
    const float right_edge = p_duck->getBox().getCorner().getX() + p_duck->getBox().getHorizontal();
    p_duck->setPosition(lk::Vector(120.0f - right_edge - 2.0f * n, 18));
    p_duck->setVelocity(lk::Vector(2, 0));
    return p_duck;
  };
  Duck* p_third = duckReachingOnMove(3);
  m_loop.frame([] { lktest::sendMouse(lk::CLICKED, 512, 384); });
  m_loop.frames(1);
  EXPECT_FALSE(p_third->isShot());
  m_loop.frame();
  EXPECT_TRUE(p_third->isShot());

  m_loop.frames(7);
  Duck* p_fourth = duckReachingOnMove(4);
  m_loop.frame([] { lktest::sendMouse(lk::CLICKED, 512, 384); });
  m_loop.frames(8);
  EXPECT_FALSE(p_fourth->isShot());
  EXPECT_GT(p_fourth->getPosition().getX(), 120);
}

TEST_F(GunTest, TheThirdMissBringsUpOneEndScreen) {
  start();
  const EventMissed missed;
  const EventHit hit;
  const lk::Event* const first_four[] = {&missed, &hit, &missed, &hit};
  for (const lk::Event* p_event : first_four) lktest::sendEvent(*p_event);
  EXPECT_EQ(m_gun->getMissed(), 2) << "a hit took a miss back";
  EXPECT_EQ(lktest::countOfType("EndGame"), 0);
  lktest::sendEvent(missed);
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  // A fourth miss before the gun is gone is counted, with no second screen.
  lktest::sendEvent(missed);
  EXPECT_EQ(m_gun->getMissed(), 4);
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  const std::vector<std::string> log = lktest::logLines();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Gun::eventHandler(): duck missed"), 4);

  m_loop.frame();
  EXPECT_EQ(lktest::worldTypes(), std::vector<std::string>{"EndGame"});
  // An end screen deleted by the world's shut-down brings no start screen.
  lk::WorldManager::getInstance().shutDown();
  EXPECT_EQ(lk::WorldManager::getInstance().getAllObjects().getCount(), 0);
}

// The move that takes the third duck out ends the game; the ducks that move
// after it in that same update, out of the world or into a bullet, count
// neither on the end screen nor in the log.
TEST_F(GunTest, NothingCountsAfterTheThirdMissInItsOwnFrame) {
  start();
  lk::ViewObject* p_hud[2] = {new lk::ViewObject, new lk::ViewObject};
  p_hud[0]->setViewString("Ducks Missed:");
  p_hud[1]->setViewString("Points:");
  for (lk::ViewObject* p_item : p_hud) p_item->setValue(0);
  const EventMissed missed;
  lktest::sendEvent(missed);
  lktest::sendEvent(missed);
  for (float y : {10.f, 20.f}) {
    Duck* p_leaving = new Duck(1);
    p_leaving->setPosition(lk::Vector(236, y));
    p_leaving->setVelocity(lk::Vector(30, 0));
  }
  Duck* p_target = new Duck(1);
  p_target->setPosition(lk::Vector(150, 30));
  p_target->setVelocity(lk::Vector(2, 0));
  new lk::Bullet(lk::Vector(152, 30));
  m_loop.frame();
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  EXPECT_EQ(m_gun->getMissed(), 3);
  EXPECT_EQ(p_hud[0]->getValue(), 1);
  EXPECT_EQ(p_hud[1]->getValue(), 0);
  EXPECT_FALSE(p_target->isShot());
  EXPECT_EQ(lktest::countOfType("DuckShot"), 0);
}

}  // namespace
