// The real program with one of its thirteen asset files taken away: it still
// starts, plays a game through to the end screen and back, and quits
// normally. One test per file, so they run side by side.
#include <algorithm>
#include <cctype>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "GameProcess.h"
#include "Marksman.h"
#include "ScreenReader.h"
#include "TestSupport.h"
#include "WindowProbe.h"

using namespace lktest::e2e;

namespace {

// The loader's own line for the missing file.
std::string failureLine(const std::string& file) {
  const std::string path = "../" + file;
  if (file.rfind("sprites/", 0) == 0)
    return "ResourceManager::loadSprite(): Sprite file " + path + " could not be opened.";
  if (file == "sounds/start-music.wav" || file == "sounds/ducks-quacking.wav")
    return "ResourceManager::loadMusic(): Unable to associate music object with file " + path + ".";
  return "ResourceManager::loadSound(): Unable to load sound from file " + path + ".";
}

class MissingAsset : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(MissingAsset, GameStillPlaysAndQuits) {
  const std::string missing = GetParam();
  ASSERT_TRUE(lktest::usePrivateDisplay()) << "Xvfb did not start";
  ScreenReader reader(lktest::fontFile());
  ASSERT_TRUE(reader.ok());
  GameProcess game(lktest::parentDir() + "/game", {missing});
  ASSERT_TRUE(game.start()) << game.error();
  ASSERT_TRUE(game.findWindow(60000)) << game.error() << "\n" << game.stderrText();
  ASSERT_TRUE(game.waitForStep(5, 60000));
  EXPECT_EQ(game.logCount(failureLine(missing)), 1) << "no load failure logged for " << missing;

  // The HUD's middle item, "ROUND n" in its box, needs no asset at all: it
  // tells play (and the end screen over it) from the start screen.
  const auto inPlay = [&](bool expected) {
    sf::Image last;
    const bool seen = waitFor(
        [&] { return game.screenshot(last) && (reader.readText(last, 1, 55, "| ROUND") == "| ROUND") == expected; },
        20000, 50);
    if (last.getSize().x > 0) last.saveToFile(lktest::parentDir() + (expected ? "/play.png" : "/start-again.png"));
    return seen;
  };
  // A game: 1, a few seconds of ducks, a shot, Q for the end screen.
  const int key_step = game.lastStep();
  ASSERT_TRUE(game.key("1"));
  ASSERT_TRUE(inPlay(true)) << "no HUD after 1";
  if (missing.find("new-round") != std::string::npos) {
    // What is missing belongs to the end of a round: play the round out.
    SpriteFile duck;
    ASSERT_TRUE(duck.load(lktest::gameDir() + "/sprites/duck-flyright-spr.txt"));
    std::string error;
    ASSERT_GE(shootFirstRound(game, reader, duck, key_step, &error), 6) << error;
    ASSERT_TRUE(waitFor([&] {
      sf::Image shot;
      return game.screenshot(shot) && roundItem(2).shownOn(reader, shot);
    }, 20000)) << "the round did not end";
  }
  const int started = game.lastStep();
  ASSERT_TRUE(game.moveMouse(512, 300));
  ASSERT_TRUE(game.waitForStep(started + 30, 30000));
  ASSERT_TRUE(game.click());
  ASSERT_TRUE(game.waitForStep(started + 60, 30000));
  ASSERT_TRUE(game.running()) << "the program ended during play: " << game.stderrText();
  ASSERT_TRUE(game.key("q"));
  // The end screen clears the world on its way out: the HUD goes with it.
  ASSERT_TRUE(inPlay(false)) << "the game never left play after Q";
  ASSERT_TRUE(game.key("q"));
  EXPECT_EQ(game.waitExit(30000), 0) << game.stderrText();
  const std::vector<std::string> lines = game.logLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "GameManager::shutDown(): All managers are shutting down.");
  EXPECT_EQ(game.sanitizerReport(), "");
}

INSTANTIATE_TEST_SUITE_P(EachFile, MissingAsset, ::testing::ValuesIn(ASSET_FILES),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// The real program with damaged asset files: every sound emptied, cut to its
// first half, or overwritten with random bytes (one way per run), and a third
// of the sprites overwritten with random bytes. The loaders name each damaged
// file in the log, and a game is played and left as usual.
class BrokenAssets : public ::testing::TestWithParam<int> {};

TEST_P(BrokenAssets, AreNamedInTheLogAndTheGamePlaysOn) {
  const int way = GetParam();  // 0 empty, 1 first half, 2 random bytes
  ASSERT_TRUE(lktest::usePrivateDisplay()) << "Xvfb did not start";
  ScreenReader reader(lktest::fontFile());
  ASSERT_TRUE(reader.ok());
  GameProcess game(lktest::parentDir() + "/game");
  std::mt19937 random(11 + way);
  std::vector<std::string> sprites;
  for (std::size_t i = 0; i < ASSET_FILES.size(); ++i) {
    const bool sound = ASSET_FILES[i].rfind("sounds/", 0) == 0;
    if (!sound && i % 3 != static_cast<std::size_t>(way)) continue;
    std::string content = lktest::readFile(lktest::gameDir() + "/" + ASSET_FILES[i]);
    if (sound && way < 2) content.resize(way == 0 ? 0 : content.size() / 2);
    if (!sound || way == 2) for (char& c : content) c = static_cast<char>(random());
    game.replace(ASSET_FILES[i], content);
    if (!sound) sprites.push_back("../" + ASSET_FILES[i]);
  }
  ASSERT_TRUE(game.start()) << game.error();
  ASSERT_TRUE(game.findWindow(60000)) << game.error() << "\n" << game.stderrText();
  ASSERT_TRUE(game.waitForStep(5, 60000));
  for (const std::string& file : ASSET_FILES)
    if (file.rfind("sounds/", 0) == 0) {
      EXPECT_EQ(game.logCount(failureLine(file)), 1) << "no refusal of " << file;
    }
  // Random bytes in fewer than five lines still make a sprite, as the format
  // has it: the loader names the file either way.
  const std::vector<std::string> log = game.logLines();
  for (const std::string& file : sprites)
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const std::string& line) {
      return line.rfind("ResourceManager::loadSprite(): ", 0) == 0 && line.find(file) != std::string::npos;
    })) << "the sprite loader did not name " << file;
  // A sanitizer build on a busy machine may run at a few steps a second.
  const auto hudShown = [&](bool expected) {
    return waitFor([&] {
      sf::Image shot;
      return game.screenshot(shot) && (reader.readText(shot, 1, 55, "| ROUND") == "| ROUND") == expected;
    }, 120000, 50);
  };
  // 1 starts a game; a shot with no sound; Q ends it; Q on the start screen.
  ASSERT_TRUE(game.key("1"));
  ASSERT_TRUE(hudShown(true)) << "no HUD after 1";
  ASSERT_TRUE(game.moveMouse(512, 300) && game.click());
  ASSERT_TRUE(game.waitForStep(game.lastStep() + 30, 30000));
  ASSERT_TRUE(game.key("q"));
  ASSERT_TRUE(hudShown(false)) << "the game never left play after Q";
  ASSERT_TRUE(game.key("q"));
  EXPECT_EQ(game.waitExit(30000), 0) << game.stderrText();
  EXPECT_EQ(game.sanitizerReport(), "");
}

INSTANTIATE_TEST_SUITE_P(EmptyHalfRandom, BrokenAssets, ::testing::Values(0, 1, 2));
