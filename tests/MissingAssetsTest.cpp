// The real program with one of its thirteen asset files taken away: it still
// starts, plays a game through to the end screen and back, and quits
// normally. One test per file, so they run side by side.
#include <cctype>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "GameProcess.h"
#include "Marksman.h"
#include "ScreenReader.h"
#include "TestSupport.h"

using namespace lktest::e2e;

namespace {

const int START_TIMEOUT_MS = 60000;
const int SCREEN_TIMEOUT_MS = 20000;

// The HUD's middle item, "ROUND n" in its box, needs no asset at all: it
// tells play (and the end screen over it) from the start screen.
bool showsRound(ScreenReader& reader, const sf::Image& image) {
  return reader.readText(image, 1, 55, 61, "| ROUND") == "| ROUND";
}

// The loader's own line for the file that is missing.
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
  PrivateDisplay display;
  ASSERT_TRUE(display.ok()) << "Xvfb did not start";
  ScreenReader reader(lktest::fontFile());
  ASSERT_TRUE(reader.ok());

  GameProcess game(lktest::parentDir() + "/game", {missing});
  ASSERT_TRUE(game.start()) << game.error();
  ASSERT_TRUE(game.findWindow(START_TIMEOUT_MS)) << game.error() << "\n" << game.stderrText();
  ASSERT_TRUE(game.waitForStep(5, START_TIMEOUT_MS));
  EXPECT_EQ(game.logCount(failureLine(missing)), 1) << "no load failure logged for " << missing;
  EXPECT_EQ(game.logCount("GameManager::run(): game loop started."), 1);

  const auto screen = [&](const std::function<bool(const sf::Image&)>& condition, const std::string& name) {
    sf::Image last;
    const bool seen = waitFor(
        [&] { return game.screenshot(last) && condition(last); }, SCREEN_TIMEOUT_MS, 50);
    if (last.getSize().x > 0) last.saveToFile(lktest::parentDir() + "/" + name + ".png");
    return seen;
  };

  // A game: 1, a few seconds of ducks, a shot, Q for the end screen.
  const int key_step = game.lastStep();
  ASSERT_TRUE(game.key("1"));
  ASSERT_TRUE(screen([&](const sf::Image& i) { return showsRound(reader, i); }, "play"))
      << "no HUD after 1";
  if (missing.find("new-round") != std::string::npos) {
    // What is missing belongs to the end of a round: play the round out.
    SpriteFile duck;
    ASSERT_TRUE(duck.load(lktest::gameDir() + "/sprites/duck-flyright-spr.txt"));
    std::string error;
    ASSERT_GE(shootFirstRound(game, reader, duck, key_step, &error), 6) << error;
    ASSERT_TRUE(screen([&](const sf::Image& i) { return roundItem(2).shownOn(reader, i); }, "round-two"))
        << "the round did not end";
  }
  const int started = game.lastStep();
  ASSERT_TRUE(game.moveMouse(512, 300));
  ASSERT_TRUE(game.waitForStep(started + 30, 30000));
  ASSERT_TRUE(game.click());
  ASSERT_TRUE(game.waitForStep(started + 60, 30000));
  ASSERT_TRUE(game.running()) << "the program ended during play: " << game.stderrText();
  ASSERT_TRUE(game.key("q"));

  // The end screen clears the world on its way out: the HUD goes with it
  // and the start screen is back.
  ASSERT_TRUE(screen([&](const sf::Image& i) { return !showsRound(reader, i); }, "start-again"))
      << "the game never left play after Q";
  ASSERT_TRUE(game.key("q"));
  EXPECT_EQ(game.waitExit(30000), 0) << game.stderrText();
  const std::vector<std::string> lines = game.logLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "GameManager::shutDown(): All managers are shutting down.");
  EXPECT_EQ(game.sanitizerReport(), "");
}

INSTANTIATE_TEST_SUITE_P(EachFile, MissingAsset, ::testing::ValuesIn(assetFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name;
                           for (char c : info.param)
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });
