// The gun, the reticle and the bullet: aiming, the two cooldowns, the
// bullet's three steps, the miss count and the key Q.
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Bullet.h"
#include "Duck.h"
#include "EndGame.h"
#include "EventHit.h"
#include "EventMissed.h"
#include "GameTestSupport.h"
#include "Gun.h"
#include "ResourceManager.h"
#include "Reticle.h"
#include "Sprite.h"
#include "TestSupport.h"
#include "WavFile.h"
#include "WorldManager.h"

namespace {

int logCount(const std::string& line) {
  int n = 0;
  for (const std::string& l : lktest::logLines()) n += l == line ? 1 : 0;
  return n;
}

// The root mean square of everything OpenAL has recorded so far.
double recordedLoudness() {
  lktest::Recording recording;
  if (!lktest::readWav(lktest::audioRecordingPath(), recording)) return 0;
  return recording.rms(0, recording.frames());
}

class GunTest : public testing::Test {
 protected:
  void start(const std::vector<std::string>& missing = {}, bool with_display = false) {
    ASSERT_TRUE(lktest::startGameWorld(missing, with_display));
    m_gun = new Gun;
    m_reticle = new Reticle;
  }
  void TearDown() override { lktest::stopGameWorld(); }

  Gun* m_gun = nullptr;
  Reticle* m_reticle = nullptr;
  lktest::Loop m_loop;
};

TEST_F(GunTest, AimFollowsThePointerInFiveEqualColumnsOfTheView) {
  start({}, true);
  const lk::Sprite* p_sprite = lk::ResourceManager::getInstance().getSprite("gun");
  ASSERT_NE(p_sprite, nullptr);
  ASSERT_EQ(m_gun->getAimFrames(), 5);
  EXPECT_EQ(m_gun->getAimFrame(), 2);
  // Centred on the view, bottom row on its bottom edge.
  EXPECT_EQ(m_gun->getPosition(), lk::Vector(120, 36 - p_sprite->getHeight() * 0.5f));
  EXPECT_EQ(m_reticle->getPosition(), lk::Vector(120, 18));

  int pixels_per_frame[5] = {0, 0, 0, 0, 0};
  int previous = 0;
  for (int px = 0; px < 1024; ++px) {
    lktest::sendMouse(lk::MOVED, static_cast<float>(px), 500);
    // The window's five equal columns of 204.8 pixels each.
    int expected = 0;
    while (expected < 4 && (expected + 1) * 204.8 < px) ++expected;
    ASSERT_EQ(m_gun->getAimFrame(), expected) << "pixel " << px;
    ASSERT_GE(m_gun->getAimFrame(), previous);
    previous = m_gun->getAimFrame();
    ++pixels_per_frame[m_gun->getAimFrame()];
  }
  for (int n : pixels_per_frame) EXPECT_NEAR(n, 204.8, 1.0);

  // The reticle follows: the window column plus the view's left edge.
  lktest::sendMouse(lk::MOVED, 256, 192);
  EXPECT_EQ(m_reticle->getPosition(), lk::Vector(90, 9));
  EXPECT_EQ(m_gun->getAimFrame(), 1);
  // A pointer past either edge of the window turns the gun all the way.
  lktest::sendMouse(lk::MOVED, 1100, 10);
  EXPECT_EQ(m_gun->getAimFrame(), 4);
  lktest::sendMouse(lk::MOVED, -40, 10);
  EXPECT_EQ(m_gun->getAimFrame(), 0);
  m_loop.frames(3);  // and both draw
}

TEST_F(GunTest, ClicksEveryStepFireEverySixthStepAndSoundEveryEighth) {
  start();
  std::set<int> seen;
  std::vector<int> fired, sounded;
  for (int frame = 0; frame < 48; ++frame) {
    m_loop.frame([&] {
      lktest::sendMouse(lk::CLICKED, 512, 384);
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

TEST_F(GunTest, AnyButtonFiresAndMovingDoesNot) {
  start();
  lktest::sendMouse(lk::MOVED, 100, 100);
  EXPECT_EQ(lktest::countOfType("Bullet"), 0);
  for (lk::MouseButton button : {lk::RIGHT_BUTTON, lk::MIDDLE_BUTTON, lk::UNDEFINED_MOUSE_BUTTON}) {
    const int before = lktest::countOfType("Bullet");
    m_loop.frame([&] { lktest::sendMouse(lk::CLICKED, 300, 300, button); });
    EXPECT_EQ(lktest::countOfType("Bullet"), before + 1);
    m_loop.frames(8);
  }
}

TEST_F(GunTest, BulletHitsADuckThatReachesItWithinItsThreeSteps) {
  start();
  // A duck flying right at 2 cells a step whose box first reaches the
  // bullet at (120, 18) on its n-th move after the click.
  auto duckReachingOnMove = [](int n) {
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
  EXPECT_TRUE(p_third->isShot());  // deleted in the next update

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
  lktest::sendEvent(missed);
  lktest::sendEvent(hit);
  lktest::sendEvent(missed);
  lktest::sendEvent(hit);
  EXPECT_EQ(m_gun->getMissed(), 2);
  EXPECT_EQ(lktest::countOfType("EndGame"), 0);
  lktest::sendEvent(missed);
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  // A fourth miss before the gun is gone is counted but brings no second screen.
  lktest::sendEvent(missed);
  EXPECT_EQ(m_gun->getMissed(), 4);
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  EXPECT_EQ(logCount("Gun::eventHandler(): duck missed"), 4);

  m_loop.frame();
  EXPECT_EQ(lktest::countOfType("Gun"), 0);
  EXPECT_EQ(lktest::countOfType("Reticle"), 0);
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);

  // An end screen deleted by the world's shut-down brings no start screen.
  lk::WorldManager::getInstance().shutDown();
  EXPECT_EQ(lk::WorldManager::getInstance().getAllObjects().getCount(), 0);
}

TEST_F(GunTest, OnlyPressingQEndsTheGame) {
  start();
  m_loop.frame([] {
    lktest::sendKey(lk::Q, lk::KEY_RELEASED);
    lktest::sendKey(lk::W, lk::KEY_PRESSED);
    lktest::sendKey(lk::ESCAPE, lk::KEY_PRESSED);
    lktest::sendKey(lk::NUM1, lk::KEY_PRESSED);
  });
  EXPECT_EQ(lktest::countOfType("EndGame"), 0);
  EXPECT_EQ(lktest::countOfType("Gun"), 1);
  // Pressed twice in one frame, Q still makes one end screen.
  m_loop.frame([] {
    lktest::tapKey(lk::Q);
    lktest::tapKey(lk::Q);
  });
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  m_loop.frame();
  EXPECT_EQ(lktest::countOfType("Gun"), 0);
}

TEST_F(GunTest, WorksWithoutItsSpriteAndSound) {
  start({"sprites/gun-spr.txt", "sounds/gun-shot.wav"}, true);
  EXPECT_EQ(lk::ResourceManager::getInstance().getSprite("gun"), nullptr);
  EXPECT_EQ(m_gun->getAimFrames(), 0);
  EXPECT_EQ(m_gun->getAimFrame(), 0);
  EXPECT_EQ(m_gun->getPosition(), lk::Vector(120, 36));
  EXPECT_EQ(m_gun->draw(), -1);
  for (int frame = 0; frame < 20; ++frame)
    m_loop.frame([&] {
      lktest::sendMouse(lk::MOVED, static_cast<float>(frame * 50), 200);
      lktest::sendMouse(lk::CLICKED, static_cast<float>(frame * 50), 200);
    });
  EXPECT_EQ(m_gun->getAimFrame(), 0);
  EXPECT_GT(lktest::countOfType("Reticle"), 0);
}

TEST_F(GunTest, TheShotIsHeard) {
  start();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(recordedLoudness(), 0) << "nothing plays before the click";
  m_loop.frame([] { lktest::sendMouse(lk::CLICKED, 512, 384); });
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  EXPECT_GT(recordedLoudness(), 0.004);
}

}  // namespace
