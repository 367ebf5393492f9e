// The game as a whole: its assets, the start screen, the end of a game and
// the way back, with and without the asset files.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Bullet.h"
#include "Duck.h"
#include "DuckManager.h"
#include "EndGame.h"
#include "GameManager.h"
#include "GameTestSupport.h"
#include "Music.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "StartGame.h"
#include "TestSupport.h"

namespace {

const char* const SPRITES[][2] = {
    {"gun", "gun"},         {"duck-flying-left", "duck-flyleft"}, {"duck-flying-right", "duck-flyright"},
    {"duck-shot", "duck-shot"}, {"ground", "ground"},             {"start-game-alt", "start-game-alt"},
    {"start-game", "start-game"}, {"end-game", "end-game"},       {"new-round", "new-round"}};
const char* const AUDIO[] = {"gun-shot.wav", "new-round.mp3", "start-music.wav", "ducks-quacking.wav"};

bool playing(const lk::Music* p_music) {
  return p_music != nullptr && p_music->getStream() != nullptr &&
         p_music->getStream()->getStatus() == sf::SoundSource::Playing;
}

lk::Music* startMusic() { return lk::ResourceManager::getInstance().getMusic("start-music"); }

class GameFlowTest : public testing::Test {
 protected:
  void TearDown() override { lktest::stopGameWorld(); }

  lktest::Loop m_loop;
};

TEST_F(GameFlowTest, LoadsEveryAssetInTableOrderAndGoesOnPastAMissingOne) {
  ASSERT_TRUE(lktest::startGameWorld({"sprites/gun-spr.txt"}));
  lk::ResourceManager& resources = lk::ResourceManager::getInstance();
  EXPECT_EQ(resources.getSprite("gun"), nullptr);
  std::vector<std::string> expected = {
      "ResourceManager::loadSprite(): Sprite file ../sprites/gun-spr.txt could not be opened."};
  for (const auto& sprite : SPRITES) {
    const std::string label = sprite[0];
    if (label == "gun") continue;
    expected.push_back("ResourceManager::loadSprite(): Sprite successfully loaded from ../sprites/" +
                       std::string(sprite[1]) + "-spr.txt.");
    ASSERT_NE(resources.getSprite(label), nullptr) << label;
    EXPECT_EQ(resources.getSprite(label)->getTransparency(), label.rfind("duck", 0) == 0 ? '@' : '\0') << label;
  }
  for (int i = 0; i < 4; ++i)
    expected.push_back(std::string(i < 2 ? "Sound::loadSound(): sound successfully loaded"
                                         : "Music::loadMusic(): music successfully opened") +
                       " from ../sounds/" + AUDIO[i] + ".");
  for (const char* label : {"gun-shot", "new-round-sound"}) EXPECT_NE(resources.getSound(label), nullptr) << label;
  for (const char* label : {"start-music", "ducks-quacking"}) EXPECT_NE(resources.getMusic(label), nullptr) << label;
  std::vector<std::string> loads;
  for (const std::string& line : lktest::logLines())
    if (line.find("../") != std::string::npos) loads.push_back(line);
  EXPECT_EQ(loads, expected);
}

TEST_F(GameFlowTest, TheStartScreenStartsOneGameOnAPressOrARelease) {
  ASSERT_TRUE(lktest::startGameWorld());
  new StartGame;
  EXPECT_TRUE(playing(startMusic()));
  // All of these reach the start screen before the update deletes it; the
  // first digit, though released, makes the one game.
  m_loop.frame([] {
    lktest::sendKey(lk::W);
    lktest::sendKey(lk::NUM3, lk::KEY_RELEASED);
    lktest::tapKey(lk::NUM1);
  });
  EXPECT_EQ(lktest::countOfType("StartGame"), 0);
  ASSERT_EQ(lktest::countOfType("DuckManager"), 1);
  EXPECT_EQ(lktest::firstOfType<DuckManager>("DuckManager")->getChoice(), 2);
  EXPECT_EQ(lktest::countOfType("Duck"), 2);
  EXPECT_FALSE(playing(startMusic()));
}

TEST_F(GameFlowTest, QPressedInPlayEndsTheGameAFreshStartScreenComesBackAndQThereEndsTheProgram) {
  ASSERT_TRUE(lktest::startGameWorld({}, true));
  new StartGame;
  m_loop.frame([] { lktest::sendKey(lk::NUM1); });
  lk::Music* p_quacking = lktest::firstOfType<DuckManager>("DuckManager")->getMusic();
  EXPECT_TRUE(playing(p_quacking));
  m_loop.frame([] { dynamic_cast<Duck*>(lktest::objectsOfType("Duck")[0])->hit(); });
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 100);

  m_loop.frame([] {
    lktest::sendKey(lk::Q, lk::KEY_RELEASED);
    lktest::sendKey(lk::E);
  });
  EXPECT_EQ(lktest::countOfType("EndGame"), 0);
  m_loop.frame([] {
    lktest::tapKey(lk::Q);
    lktest::tapKey(lk::Q);
  });
  ASSERT_EQ(lktest::countOfType("EndGame"), 1);
  // The play went in this frame's update; the rest stays, the shot duck falling.
  EXPECT_EQ(lktest::worldTypes(),
            (std::vector<std::string>{"ViewObject", "ViewObject", "ViewObject", "Ground", "DuckShot", "EndGame"}));
  EXPECT_FALSE(playing(p_quacking));
  const float falling_from = lktest::objectsOfType("DuckShot")[0]->getPosition().getY();
  m_loop.frame();
  EXPECT_GT(lktest::objectsOfType("DuckShot")[0]->getPosition().getY(), falling_from);
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 100);

  // Shown for slowdown x frames steps, the first of them the one it came in.
  const lk::Sprite* p_end = lk::ResourceManager::getInstance().getSprite("end-game");
  const int shown = p_end->getSlowdown() * p_end->getFrameCount();
  EXPECT_EQ(lktest::firstOfType<EndGame>("EndGame")->getCountdown(), shown - 2);
  m_loop.frames(shown - 2);
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  m_loop.frame();
  EXPECT_EQ(lktest::worldTypes(), std::vector<std::string>{"StartGame"});
  EXPECT_TRUE(playing(startMusic()));

  // A new game starts from nothing; a Q right after its start key is a Q
  // in play, for the start screen has made its choice.
  m_loop.frame([] {
    lktest::tapKey(lk::NUM1);
    lktest::tapKey(lk::Q);
  });
  EXPECT_EQ(lktest::hudItem("Ducks Missed:")->getValue(), 0);
  EXPECT_EQ(lktest::hudItem("ROUND")->getValue(), 1);
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 0);
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  EXPECT_FALSE(lk::GameManager::getInstance().getGameOver());
  // On the start screen other keys do nothing; Q, even released, ends the
  // program, and no game starts after it.
  for (int i = 0; i < 3000 && lktest::countOfType("StartGame") == 0; ++i) m_loop.frame();
  ASSERT_EQ(lktest::worldTypes(), std::vector<std::string>{"StartGame"});
  m_loop.frame([] { lktest::sendKey(lk::SPACE); });
  EXPECT_FALSE(lk::GameManager::getInstance().getGameOver());
  m_loop.frame([] {
    lktest::sendKey(lk::Q, lk::KEY_RELEASED);
    lktest::sendKey(lk::NUM1);
  });
  EXPECT_TRUE(lk::GameManager::getInstance().getGameOver());
  EXPECT_EQ(lktest::worldTypes(), std::vector<std::string>{"StartGame"});
}

// Every look-up comes back empty: the whole cycle must still run, drawn.
TEST_F(GameFlowTest, TheWholeCycleRunsWithoutAnyAssetFile) {
  std::vector<std::string> missing;
  for (const auto& sprite : SPRITES) missing.push_back(std::string("sprites/") + sprite[1] + "-spr.txt");
  for (const char* file : AUDIO) missing.push_back(std::string("sounds/") + file);
  ASSERT_TRUE(lktest::startGameWorld(missing, true));
  EXPECT_EQ(startMusic(), nullptr);

  new StartGame;
  m_loop.frame([] { lktest::sendKey(lk::NUM2); });
  ASSERT_EQ(lktest::countOfType("DuckManager"), 1);
  // Each wave shot down by bullets on the sprite-less ducks' next places.
  for (int wave = 0; wave < 4; ++wave)
    m_loop.frame([] {
      lktest::sendMouse(lk::MOVED, 900, 300);
      lktest::sendMouse(lk::CLICKED, 900, 300);
      for (lk::Object* p : lktest::objectsOfType("Duck")) new lk::Bullet(p->getPosition() + p->getVelocity());
    });
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 800);
  EXPECT_EQ(lktest::hudItem("ROUND")->getValue(), 2);
  // Without its sprite the banner lasts one step.
  ASSERT_EQ(lktest::countOfType("NewRound"), 1);
  m_loop.frames(2);
  EXPECT_EQ(lktest::countOfType("NewRound"), 0);
  // Round two's ducks fly off until the third miss; without its sprite the
  // end screen goes in the next update.
  for (int i = 0; i < 2000 && lktest::countOfType("EndGame") == 0; ++i) m_loop.frame();
  ASSERT_EQ(lktest::countOfType("EndGame"), 1);
  EXPECT_GE(lktest::hudItem("Ducks Missed:")->getValue(), 3);
  m_loop.frame();
  EXPECT_EQ(lktest::worldTypes(), std::vector<std::string>{"StartGame"});
  m_loop.frame([] { lktest::sendKey(lk::Q); });
  EXPECT_TRUE(lk::GameManager::getInstance().getGameOver());
}

}  // namespace
