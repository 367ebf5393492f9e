// The duck manager: its set-up, waves and rounds with the banner and the
// pause, and the end of play on the third miss.
#include <gtest/gtest.h>

#include "Duck.h"
#include "DuckManager.h"
#include "EndGame.h"
#include "GameTestSupport.h"
#include "Ground.h"
#include "Gun.h"
#include "NewRound.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "StartGame.h"
#include "TestSupport.h"
#include "ViewObject.h"
#include "WorldManager.h"

namespace {

std::vector<Duck*> ducks() {
  std::vector<Duck*> found;
  for (lk::Object* p : lktest::objectsOfType("Duck")) found.push_back(dynamic_cast<Duck*>(p));
  return found;
}

// Ducks still flying: neither hit nor missed, so not yet on their way out.
std::vector<Duck*> flyingDucks() {
  std::vector<Duck*> found;
  for (Duck* p : ducks())
    if (!p->isShot() && !p->isMissed()) found.push_back(p);
  return found;
}

// Puts the duck on the world's bottom edge, diving: it leaves in this update.
void diveOut(Duck* p_duck) {
  p_duck->setPosition(lk::Vector(p_duck->getPosition().getX(), 36));
  p_duck->setVelocity(lk::Vector(0, 40));
}

bool playing(const lk::Music* p_music) {
  return p_music != nullptr && p_music->getStream().getStatus() == sf::SoundSource::Playing;
}

class DuckManagerTest : public testing::Test {
 protected:
  // The game as the start screen starts it with the key 1.
  void start(const std::vector<std::string>& missing = {}, bool with_display = false) {
    ASSERT_TRUE(lktest::startGameWorld(missing, with_display));
    new StartGame;
    m_loop.frame([] { lktest::sendKey(lk::NUM1); });
    m_manager = lktest::firstOfType<DuckManager>("DuckManager");
    ASSERT_NE(m_manager, nullptr);
  }
  void TearDown() override { lktest::stopGameWorld(); }

  // Hits every flying duck in the input phase of one frame.
  void hitAllInOneFrame() {
    m_loop.frame([] {
      for (Duck* p : flyingDucks()) p->hit();
    });
  }

  DuckManager* m_manager = nullptr;
  lktest::Loop m_loop;
};

TEST_F(DuckManagerTest, SetsUpThePlayAndTheFirstWave) {
  start();
  EXPECT_EQ(lktest::worldTypes(),
            (std::vector<std::string>{"ViewObject", "ViewObject", "ViewObject", "DuckManager",
                                      "Ground", "Gun", "Reticle", "Duck", "Duck"}));
  EXPECT_EQ(m_manager->getRound(), 1);
  EXPECT_EQ(m_manager->getWave(), 1);
  EXPECT_EQ(m_manager->getDucksAlive(), 2);
  EXPECT_EQ(m_manager->getChoice(), 0);
  for (Duck* p : ducks()) EXPECT_EQ(p->getLevel(), 1);
  EXPECT_TRUE(playing(m_manager->getMusic()));
  EXPECT_FALSE(playing(lk::ResourceManager::getInstance().getMusic("start-music")));

  lk::Object* p_ground = lktest::objectsOfType("Ground")[0];
  const lk::Sprite* p_sprite = lk::ResourceManager::getInstance().getSprite("ground");
  ASSERT_NE(p_sprite, nullptr);
  EXPECT_EQ(p_ground->getPosition(), lk::Vector(120, 36 - p_sprite->getHeight() * 0.5f));
  EXPECT_EQ(p_ground->getSolidness(), lk::SPECTRAL);
  EXPECT_EQ(p_ground->getAltitude(), 1);
  // The manager itself is never drawn.
  EXPECT_EQ(m_manager->getAnimation().getSprite(), nullptr);
}

TEST_F(DuckManagerTest, FourWavesMakeARoundThenABannerAndAHundredStepPause) {
  start();
  lk::ViewObject* p_round = lktest::hudItem("ROUND");
  for (int wave = 1; wave <= 4; ++wave) {
    ASSERT_EQ(m_manager->getWave(), wave);
    ASSERT_EQ(flyingDucks().size(), 2u);
    hitAllInOneFrame();
    // The next wave comes in the frame the last duck was hit.
    if (wave < 4) {
      EXPECT_EQ(flyingDucks().size(), 2u) << "wave " << wave;
    }
  }
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 800);
  // The round ended in that same step: banner, round number, no ducks.
  EXPECT_TRUE(m_manager->isBetweenRounds());
  EXPECT_EQ(m_manager->getRound(), 2);
  EXPECT_EQ(m_manager->getWave(), 0);
  EXPECT_EQ(p_round->getValue(), 2);
  ASSERT_EQ(lktest::countOfType("NewRound"), 1);
  EXPECT_TRUE(flyingDucks().empty());

  const lk::Sprite* p_banner_sprite = lk::ResourceManager::getInstance().getSprite("new-round");
  ASSERT_NE(p_banner_sprite, nullptr);
  const int banner_steps = 3 * p_banner_sprite->getSlowdown() * p_banner_sprite->getFrameCount();
  NewRound* p_banner = lktest::firstOfType<NewRound>("NewRound");
  EXPECT_EQ(p_banner->getPosition(), lk::Vector(120, 16));
  EXPECT_EQ(p_banner->getSolidness(), lk::HARD);
  // Made during the step event, it did not receive that step.
  EXPECT_EQ(p_banner->getCountdown(), banner_steps);

  for (int pause = 1; pause <= 101; ++pause) {
    m_loop.frame();
    // Marked at its last step, gone in the next update.
    EXPECT_EQ(lktest::countOfType("NewRound"), pause <= banner_steps ? 1 : 0) << pause;
    ASSERT_EQ(lktest::countOfType("Duck"), 0) << "pause step " << pause;
    if (pause <= 100) {
      EXPECT_TRUE(m_manager->isBetweenRounds());
      EXPECT_EQ(m_manager->getPauseCount(), pause);
    }
  }
  EXPECT_FALSE(m_manager->isBetweenRounds());
  EXPECT_EQ(p_round->getValue(), 2);

  m_loop.frame();
  ASSERT_EQ(lktest::countOfType("Duck"), 2);
  for (Duck* p : ducks()) {
    EXPECT_EQ(p->getLevel(), 2);
    EXPECT_NEAR(p->getSpeed(), 2.1f, 1e-5);
  }
  for (int step = 103; step <= banner_steps + 1; ++step) {
    m_loop.frame();
    EXPECT_EQ(lktest::countOfType("NewRound"), step <= banner_steps ? 1 : 0) << step;
  }
  hitAllInOneFrame();
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 800 + 2 * 200);
}

TEST_F(DuckManagerTest, TheThirdMissEndsThePlayAndNoFurtherWaveComes) {
  start();
  lk::Music* p_quacking = m_manager->getMusic();
  // Both ducks of the first wave escape.
  m_loop.frame([] {
    for (Duck* p : flyingDucks()) diveOut(p);
  });
  EXPECT_EQ(lktest::hudItem("Ducks Missed:")->getValue(), 2);
  ASSERT_EQ(m_manager->getWave(), 2);
  // In the second, one is hit and the other escapes: the third miss is the
  // wave's last duck, and the ended manager must not launch another wave.
  m_loop.frame([] {
    std::vector<Duck*> wave = flyingDucks();
    ASSERT_EQ(wave.size(), 2u);
    wave[0]->hit();
    diveOut(wave[1]);
  });
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  EXPECT_FALSE(playing(p_quacking));
  EXPECT_TRUE(flyingDucks().empty());
  EXPECT_EQ(m_manager->getWave(), 2);

  m_loop.frame();
  EXPECT_EQ(lktest::countOfType("Duck"), 0);
  EXPECT_EQ(lktest::countOfType("Gun"), 0);
  EXPECT_EQ(lktest::countOfType("Reticle"), 0);
  EXPECT_EQ(lktest::countOfType("DuckManager"), 0);
  EXPECT_EQ(lktest::countOfType("NewRound"), 0);
  EXPECT_EQ(lktest::countOfType("Ground"), 1);
  EXPECT_EQ(lktest::countOfType("ViewObject"), 3);
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  // The HUD keeps its final values while the end screen shows.
  m_loop.frames(5);
  EXPECT_EQ(lktest::hudItem("Ducks Missed:")->getValue(), 3);
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 100);
  EXPECT_EQ(lktest::hudItem("ROUND")->getValue(), 1);
}

TEST_F(DuckManagerTest, TwoEscapesAtOnceOnTheThirdMissGiveOneEndScreenAndOneStartScreen) {
  start();
  m_loop.frame([] {
    for (Duck* p : flyingDucks()) diveOut(p);
  });
  m_loop.frame([] {
    for (Duck* p : flyingDucks()) diveOut(p);
  });
  EXPECT_EQ(lktest::hudItem("Ducks Missed:")->getValue(), 4);
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);

  const lk::Sprite* p_sprite = lk::ResourceManager::getInstance().getSprite("end-game");
  ASSERT_NE(p_sprite, nullptr);
  const int shown = p_sprite->getSlowdown() * p_sprite->getFrameCount();
  int frames = 1;  // it saw the step of the frame it came in
  while (lktest::countOfType("EndGame") == 1 && frames < 10000) {
    m_loop.frame();
    if (lktest::countOfType("EndGame") == 1) ++frames;
  }
  EXPECT_EQ(frames, shown);
  EXPECT_EQ(lktest::worldTypes(), std::vector<std::string>{"StartGame"});
  EXPECT_TRUE(playing(lk::ResourceManager::getInstance().getMusic("start-music")));
}

TEST_F(DuckManagerTest, PlaysAndEndsWithoutTheQuackingOrTheBanner) {
  start({"sounds/ducks-quacking.wav", "sounds/new-round.mp3", "sprites/new-round-spr.txt",
         "sprites/ground-spr.txt"},
        true);
  EXPECT_EQ(m_manager->getMusic(), nullptr);
  EXPECT_EQ(lktest::objectsOfType("Ground")[0]->getPosition(), lk::Vector(120, 36));
  for (int wave = 1; wave <= 4; ++wave) hitAllInOneFrame();
  // Without its sprite the banner lasts one step.
  NewRound* p_banner = lktest::firstOfType<NewRound>("NewRound");
  ASSERT_NE(p_banner, nullptr);
  EXPECT_EQ(p_banner->getCountdown(), 0);
  m_loop.frame();
  EXPECT_EQ(p_banner->getCountdown(), -1);
  m_loop.frame();
  EXPECT_EQ(lktest::countOfType("NewRound"), 0);
  m_loop.frames(100);
  ASSERT_EQ(flyingDucks().size(), 2u);
  for (int miss = 0; miss < 2; ++miss)
    m_loop.frame([] {
      for (Duck* p : flyingDucks()) diveOut(p);
    });
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  for (int i = 0; i < 1000 && lktest::countOfType("StartGame") == 0; ++i) m_loop.frame();
  EXPECT_EQ(lktest::worldTypes(), std::vector<std::string>{"StartGame"});
}

}  // namespace
