// The duck manager: its set-up, waves and rounds with the banner and the
// pause, and the end of play on the third miss.
#include <gtest/gtest.h>

#include "Duck.h"
#include "DuckManager.h"
#include "GameTestSupport.h"
#include "Music.h"
#include "NewRound.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "StartGame.h"
#include "TestSupport.h"

namespace {

// Ducks neither hit nor missed.
std::vector<Duck*> flyingDucks() {
  std::vector<Duck*> found;
  for (lk::Object* p : lktest::objectsOfType("Duck"))
    if (auto* p_duck = dynamic_cast<Duck*>(p); !p_duck->isShot() && !p_duck->isMissed()) found.push_back(p_duck);
  return found;
}

// Puts the duck on the world's bottom edge, diving: it leaves in this update.
void diveOut(Duck* p_duck) {
  p_duck->setPosition(lk::Vector(p_duck->getPosition().getX(), 36));
  p_duck->setVelocity(lk::Vector(0, 40));
}

bool playing(const lk::Music* p_music) {
  return p_music != nullptr && p_music->getStream() != nullptr &&
         p_music->getStream()->getStatus() == sf::SoundSource::Playing;
}

class DuckManagerTest : public testing::Test {
 protected:
  // The game as the start screen starts it with the key 1.
  void SetUp() override {
    ASSERT_TRUE(lktest::startGameWorld());
    new StartGame;
    m_loop.frame([] { lktest::sendKey(lk::NUM1); });
    m_manager = lktest::firstOfType<DuckManager>("DuckManager");
    ASSERT_NE(m_manager, nullptr);
  }
  void TearDown() override { lktest::stopGameWorld(); }

  void hitAllInOneFrame() {
    m_loop.frame([] {
      for (Duck* p : flyingDucks()) p->hit();
    });
  }

  DuckManager* m_manager = nullptr;
  lktest::Loop m_loop;
};

TEST_F(DuckManagerTest, SetsUpThePlayThenFourWavesMakeARoundWithABannerAndAPause) {
  EXPECT_EQ(lktest::worldTypes(), (std::vector<std::string>{"ViewObject", "ViewObject", "ViewObject", "DuckManager",
                                                            "Ground", "Gun", "Reticle", "Duck", "Duck"}));
  for (Duck* p : flyingDucks()) EXPECT_EQ(p->getLevel(), 1);
  EXPECT_TRUE(playing(m_manager->getMusic()));
  const lk::Sprite* p_ground = lk::ResourceManager::getInstance().getSprite("ground");
  ASSERT_NE(p_ground, nullptr);
  EXPECT_EQ(lktest::objectsOfType("Ground")[0]->getPosition(), lk::Vector(120, 36 - p_ground->getHeight() * 0.5f));

  for (int wave = 1; wave <= 4; ++wave) {
    ASSERT_EQ(m_manager->getWave(), wave);
    ASSERT_EQ(flyingDucks().size(), 2u);
    hitAllInOneFrame();
    // The next wave comes in the frame the last duck was hit.
    if (wave < 4) {
      EXPECT_EQ(flyingDucks().size(), 2u) << "wave " << wave;
    }
  }
  // The round ended in that same step: banner, round number, no ducks.
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 800);
  EXPECT_TRUE(m_manager->isBetweenRounds());
  EXPECT_EQ(m_manager->getRound(), 2);
  EXPECT_EQ(lktest::hudItem("ROUND")->getValue(), 2);
  EXPECT_TRUE(flyingDucks().empty());
  ASSERT_EQ(lktest::countOfType("NewRound"), 1);
  const lk::Sprite* p_banner = lk::ResourceManager::getInstance().getSprite("new-round");
  ASSERT_NE(p_banner, nullptr);
  const int banner_steps = 3 * p_banner->getSlowdown() * p_banner->getFrameCount();
  // Made during the step event, it did not receive that step.
  EXPECT_EQ(lktest::firstOfType<NewRound>("NewRound")->getCountdown(), banner_steps);

  for (int step = 1; step <= 101; ++step) {
    m_loop.frame();
    // Marked at its last step, gone in the next update.
    EXPECT_EQ(lktest::countOfType("NewRound"), step <= banner_steps ? 1 : 0) << step;
    ASSERT_EQ(lktest::countOfType("Duck"), 0) << "pause step " << step;
    EXPECT_EQ(m_manager->isBetweenRounds(), step <= 100);
    if (step <= 100) {
      EXPECT_EQ(m_manager->getPauseCount(), step);
    }
  }
  m_loop.frame();
  ASSERT_EQ(flyingDucks().size(), 2u) << "no wave at the 102nd step";
  for (Duck* p : flyingDucks()) {
    EXPECT_EQ(p->getLevel(), 2);
    EXPECT_NEAR(p->getSpeed(), 2.1f, 1e-5);
  }
  for (int step = 103; step <= banner_steps + 1; ++step) {
    m_loop.frame();
    EXPECT_EQ(lktest::countOfType("NewRound"), step <= banner_steps ? 1 : 0) << step;
  }
  EXPECT_EQ(lktest::hudItem("ROUND")->getValue(), 2);
}

TEST_F(DuckManagerTest, TheThirdMissEndsThePlayAndNoFurtherWaveComes) {
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
  EXPECT_EQ(lktest::worldTypes(), (std::vector<std::string>{"ViewObject", "ViewObject", "ViewObject", "Ground",
                                                            "DuckShot", "EndGame"}));
  // The HUD keeps its final values while the end screen shows.
  m_loop.frames(5);
  EXPECT_EQ(lktest::hudItem("Ducks Missed:")->getValue(), 3);
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 100);
  EXPECT_EQ(lktest::hudItem("ROUND")->getValue(), 1);
}

}  // namespace
