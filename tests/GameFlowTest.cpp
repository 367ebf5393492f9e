// The game as a whole: its assets, the start screen, the end of a game and
// the way back, with and without the asset files.
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "Duck.h"
#include "DuckManager.h"
#include "EndGame.h"
#include "GameManager.h"
#include "GameTestSupport.h"
#include "Gun.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "StartGame.h"
#include "TestSupport.h"
#include "ViewObject.h"
#include "WorldManager.h"

namespace {

const char* const SPRITES[][2] = {
    {"gun", "../sprites/gun-spr.txt"},
    {"duck-flying-left", "../sprites/duck-flyleft-spr.txt"},
    {"duck-flying-right", "../sprites/duck-flyright-spr.txt"},
    {"duck-shot", "../sprites/duck-shot-spr.txt"},
    {"ground", "../sprites/ground-spr.txt"},
    {"start-game-alt", "../sprites/start-game-alt-spr.txt"},
    {"start-game", "../sprites/start-game-spr.txt"},
    {"end-game", "../sprites/end-game-spr.txt"},
    {"new-round", "../sprites/new-round-spr.txt"},
};

bool playing(const lk::Music* p_music) {
  return p_music != nullptr && p_music->getStream().getStatus() == sf::SoundSource::Playing;
}

lk::Music* startMusic() { return lk::ResourceManager::getInstance().getMusic("start-music"); }

std::vector<Duck*> flyingDucks() {
  std::vector<Duck*> found;
  for (lk::Object* p : lktest::objectsOfType("Duck")) {
    auto* p_duck = dynamic_cast<Duck*>(p);
    if (!p_duck->isShot() && !p_duck->isMissed()) found.push_back(p_duck);
  }
  return found;
}

class GameFlowTest : public testing::Test {
 protected:
  void TearDown() override { lktest::stopGameWorld(); }

  // Runs frames until the start screen is back; false if it never comes.
  bool untilStartScreen(int limit = 2000) {
    for (int i = 0; i < limit; ++i) {
      if (lktest::countOfType("StartGame") == 1 && lktest::countOfType("EndGame") == 0) return true;
      m_loop.frame();
    }
    return false;
  }

  lktest::Loop m_loop;
};

TEST_F(GameFlowTest, LoadsEveryAssetInTableOrder) {
  ASSERT_TRUE(lktest::startGameWorld());
  lk::ResourceManager& resources = lk::ResourceManager::getInstance();
  for (const auto& sprite : SPRITES) {
    const lk::Sprite* p_sprite = resources.getSprite(sprite[0]);
    ASSERT_NE(p_sprite, nullptr) << sprite[0];
    const std::string label = sprite[0];
    const bool see_through = label == "gun" || label.rfind("duck", 0) == 0;
    EXPECT_EQ(p_sprite->getTransparency(), see_through ? '@' : '\0') << label;
  }
  EXPECT_EQ(resources.getSprite("gun")->getFrameCount(), 5);
  EXPECT_NE(resources.getSound("gun-shot"), nullptr);
  EXPECT_NE(resources.getSound("new-round-sound"), nullptr);
  EXPECT_NE(resources.getMusic("start-music"), nullptr);
  EXPECT_NE(resources.getMusic("ducks-quacking"), nullptr);

  std::vector<std::string> expected;
  for (const auto& sprite : SPRITES)
    expected.push_back(std::string("ResourceManager::loadSprite(): Sprite successfully loaded from ") +
                       sprite[1] + ".");
  expected.push_back("Sound::loadSound(): sound successfully loaded from ../sounds/gun-shot.wav.");
  expected.push_back("Sound::loadSound(): sound successfully loaded from ../sounds/new-round.mp3.");
  expected.push_back("Music::loadMusic(): music successfully opened from ../sounds/start-music.wav.");
  expected.push_back(
      "Music::loadMusic(): music successfully opened from ../sounds/ducks-quacking.wav.");
  std::vector<std::string> loads;
  for (const std::string& line : lktest::logLines())
    if (line.find("successfully loaded from") != std::string::npos ||
        line.find("successfully opened from") != std::string::npos)
      loads.push_back(line);
  EXPECT_EQ(loads, expected);
}

TEST_F(GameFlowTest, AMissingFileLeavesTheRestLoaded) {
  ASSERT_TRUE(lktest::startGameWorld({"sprites/gun-spr.txt", "sounds/new-round.mp3"}));
  lk::ResourceManager& resources = lk::ResourceManager::getInstance();
  EXPECT_EQ(resources.getSprite("gun"), nullptr);
  EXPECT_EQ(resources.getSound("new-round-sound"), nullptr);
  for (const auto& sprite : SPRITES)
    if (std::string(sprite[0]) != "gun") {
      EXPECT_NE(resources.getSprite(sprite[0]), nullptr);
    }
  EXPECT_EQ(resources.getSprite("duck-shot")->getTransparency(), '@');
  EXPECT_NE(resources.getMusic("ducks-quacking"), nullptr);
  EXPECT_TRUE(lktest::logHas(
      "ResourceManager::loadSprite(): Sprite file ../sprites/gun-spr.txt could not be opened."));
}

TEST_F(GameFlowTest, APressAndReleaseInOneFrameStartOneGame) {
  ASSERT_TRUE(lktest::startGameWorld());
  auto* p_start = new StartGame;
  EXPECT_EQ(p_start->getPosition(), lk::Vector(120, 18));
  EXPECT_EQ(p_start->getAltitude(), 4);
  EXPECT_EQ(p_start->getSolidness(), lk::SPECTRAL);
  EXPECT_EQ(p_start->getAnimation().getSprite(),
            lk::ResourceManager::getInstance().getSprite("start-game-alt"));
  EXPECT_TRUE(playing(startMusic()));

  // All of them reach the start screen before the update deletes it.
  m_loop.frame([] {
    lktest::sendKey(lk::W);
    lktest::tapKey(lk::NUM2);
    lktest::tapKey(lk::NUM1);
  });
  EXPECT_EQ(lktest::countOfType("StartGame"), 0);
  EXPECT_EQ(lktest::countOfType("DuckManager"), 1);
  EXPECT_EQ(lktest::countOfType("Gun"), 1);
  EXPECT_EQ(lktest::countOfType("Ground"), 1);
  EXPECT_EQ(lktest::countOfType("Duck"), 2);
  EXPECT_EQ(lktest::firstOfType<DuckManager>("DuckManager")->getChoice(), 1);
  EXPECT_FALSE(playing(startMusic()));

  struct Row {
    const char* label;
    lk::ViewObjectLocation location;
    int value;
    lk::Color color;
  };
  const Row rows[] = {{"Ducks Missed:", lk::TOP_LEFT, 0, lk::YELLOW},
                      {"ROUND", lk::TOP_CENTER, 1, lk::WHITE},
                      {"Points:", lk::TOP_RIGHT, 0, lk::YELLOW}};
  const std::vector<lk::Object*> views = lktest::objectsOfType("ViewObject");
  ASSERT_EQ(views.size(), 3u);
  ASSERT_EQ(lktest::countOfType("DuckManager"), 1);
  for (int i = 0; i < 3; ++i) {
    const auto* p_view = dynamic_cast<lk::ViewObject*>(views[i]);
    EXPECT_EQ(p_view->getViewString(), rows[i].label);
    EXPECT_EQ(p_view->getLocation(), rows[i].location);
    EXPECT_EQ(p_view->getValue(), rows[i].value);
    EXPECT_EQ(p_view->getColor(), rows[i].color);
    EXPECT_TRUE(p_view->getBorder());
  }
}

TEST_F(GameFlowTest, AReleasedDigitStartsAGame) {
  ASSERT_TRUE(lktest::startGameWorld());
  new StartGame;
  m_loop.frame([] { lktest::sendKey(lk::NUM3, lk::KEY_RELEASED); });
  ASSERT_EQ(lktest::countOfType("DuckManager"), 1);
  EXPECT_EQ(lktest::firstOfType<DuckManager>("DuckManager")->getChoice(), 2);
  EXPECT_EQ(lktest::countOfType("StartGame"), 0);
}

TEST_F(GameFlowTest, QOnTheStartScreenEndsTheProgramAndNothingStartsAfterIt) {
  ASSERT_TRUE(lktest::startGameWorld());
  new StartGame;
  m_loop.frame([] { lktest::sendKey(lk::SPACE); });
  EXPECT_FALSE(lk::GameManager::getInstance().getGameOver());
  m_loop.frame([] {
    lktest::sendKey(lk::Q, lk::KEY_RELEASED);
    lktest::sendKey(lk::NUM1);
  });
  EXPECT_TRUE(lk::GameManager::getInstance().getGameOver());
  EXPECT_EQ(lktest::countOfType("DuckManager"), 0);
  EXPECT_EQ(lktest::countOfType("StartGame"), 1);
}

TEST_F(GameFlowTest, QRightAfterAStartKeyDoesNotEndTheProgram) {
  ASSERT_TRUE(lktest::startGameWorld());
  new StartGame;
  // The start screen has made its choice; the new game's gun takes the Q as
  // a Q pressed during play.
  m_loop.frame([] {
    lktest::tapKey(lk::NUM1);
    lktest::tapKey(lk::Q);
  });
  EXPECT_FALSE(lk::GameManager::getInstance().getGameOver());
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  EXPECT_EQ(lktest::countOfType("DuckManager"), 0);
  ASSERT_TRUE(untilStartScreen());
  EXPECT_EQ(lktest::worldTypes(), std::vector<std::string>{"StartGame"});
}

TEST_F(GameFlowTest, QDuringPlayEndsTheGameAndAFreshStartScreenComesBack) {
  ASSERT_TRUE(lktest::startGameWorld({}, true));
  new StartGame;
  m_loop.frame([] { lktest::sendKey(lk::NUM1); });
  lk::Music* p_quacking = lktest::firstOfType<DuckManager>("DuckManager")->getMusic();
  EXPECT_TRUE(playing(p_quacking));
  m_loop.frame([] { flyingDucks()[0]->hit(); });
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 100);

  m_loop.frame([] {
    lktest::sendKey(lk::Q, lk::KEY_RELEASED);
    lktest::sendKey(lk::E, lk::KEY_PRESSED);
  });
  EXPECT_EQ(lktest::countOfType("EndGame"), 0);
  m_loop.frame([] { lktest::sendKey(lk::Q, lk::KEY_PRESSED); });
  ASSERT_EQ(lktest::countOfType("EndGame"), 1);
  // The play went in this frame's update; the shot duck still falls.
  EXPECT_EQ(lktest::countOfType("Duck"), 0);
  EXPECT_EQ(lktest::countOfType("Gun"), 0);
  EXPECT_EQ(lktest::countOfType("DuckManager"), 0);
  EXPECT_FALSE(playing(p_quacking));
  ASSERT_EQ(lktest::countOfType("DuckShot"), 1);
  const float falling_from = lktest::objectsOfType("DuckShot")[0]->getPosition().getY();
  m_loop.frame();
  if (lktest::countOfType("DuckShot") == 1) {
    EXPECT_GT(lktest::objectsOfType("DuckShot")[0]->getPosition().getY(), falling_from);
  }
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 100);

  const lk::Sprite* p_end = lk::ResourceManager::getInstance().getSprite("end-game");
  EXPECT_EQ(lktest::firstOfType<EndGame>("EndGame")->getCountdown(),
            p_end->getSlowdown() * p_end->getFrameCount() - 2);
  ASSERT_TRUE(untilStartScreen());
  EXPECT_EQ(lktest::worldTypes(), std::vector<std::string>{"StartGame"});
  EXPECT_TRUE(playing(startMusic()));

  // A new game starts from nothing.
  m_loop.frame([] { lktest::sendKey(lk::NUM1); });
  EXPECT_EQ(lktest::hudItem("Ducks Missed:")->getValue(), 0);
  EXPECT_EQ(lktest::hudItem("ROUND")->getValue(), 1);
  EXPECT_EQ(lktest::hudItem("Points:")->getValue(), 0);
  EXPECT_EQ(lktest::firstOfType<Gun>("Gun")->getMissed(), 0);
  EXPECT_EQ(lktest::firstOfType<DuckManager>("DuckManager")->getRound(), 1);
  EXPECT_EQ(lktest::countOfType("StartGame"), 0);
}

TEST_F(GameFlowTest, AnEndScreenWithoutItsSpriteLastsOneStep) {
  ASSERT_TRUE(lktest::startGameWorld({"sprites/end-game-spr.txt"}));
  new StartGame;
  m_loop.frame([] { lktest::sendKey(lk::NUM1); });
  m_loop.frame([] { lktest::sendKey(lk::Q); });
  ASSERT_EQ(lktest::countOfType("EndGame"), 1);
  EXPECT_EQ(lktest::firstOfType<EndGame>("EndGame")->getCountdown(), -1);
  m_loop.frame();
  EXPECT_EQ(lktest::worldTypes(), std::vector<std::string>{"StartGame"});
}

// Every look-up comes back empty: the game must still run its whole cycle.
TEST_F(GameFlowTest, TheWholeCycleRunsWithoutAnyAssetFile) {
  std::vector<std::string> missing;
  for (const auto& sprite : SPRITES) missing.push_back(std::string(sprite[1]).substr(3));
  for (const char* sound : {"sounds/gun-shot.wav", "sounds/new-round.mp3",
                            "sounds/start-music.wav", "sounds/ducks-quacking.wav"})
    missing.push_back(sound);
  ASSERT_TRUE(lktest::startGameWorld(missing, true));
  EXPECT_EQ(lk::ResourceManager::getInstance().getMusic("start-music"), nullptr);

  new StartGame;
  m_loop.frame([] { lktest::sendKey(lk::NUM2); });
  ASSERT_EQ(lktest::countOfType("DuckManager"), 1);
  for (int wave = 0; wave < 4; ++wave)
    m_loop.frame([] {
      lktest::sendMouse(lk::MOVED, 900, 300);
      lktest::sendMouse(lk::CLICKED, 900, 300);
      for (Duck* p : flyingDucks()) p->hit();
    });
  EXPECT_EQ(lktest::countOfType("NewRound"), 1);
  EXPECT_EQ(lktest::hudItem("ROUND")->getValue(), 2);
  // Round two's ducks fly off on their own until the third miss.
  for (int i = 0; i < 2000 && lktest::countOfType("EndGame") == 0; ++i) m_loop.frame();
  EXPECT_EQ(lktest::countOfType("EndGame"), 1);
  EXPECT_GE(lktest::hudItem("Ducks Missed:")->getValue(), 3);
  ASSERT_TRUE(untilStartScreen());
  EXPECT_EQ(lktest::worldTypes(), std::vector<std::string>{"StartGame"});
  m_loop.frame([] { lktest::sendKey(lk::Q); });
  EXPECT_TRUE(lk::GameManager::getInstance().getGameOver());
}

}  // namespace
