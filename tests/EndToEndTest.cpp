// Plays the real program: its own X server, keys and clicks through xdotool,
// and judges what a player would see and hear, from screenshots of the
// window, the recording of what was played, and the log.
#include <algorithm>
#include <cmath>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "AudioAnalysis.h"
#include "DuckPath.h"
#include "GameProcess.h"
#include "Marksman.h"
#include "ScreenReader.h"
#include "TestSupport.h"

using namespace lktest::e2e;

namespace {

const std::string MISSED_LINE = "Duck::out(): duck missed";
const std::string GUN_MISSED_LINE = "Gun::eventHandler(): duck missed";
const std::string SHUTDOWN_LINE = "GameManager::shutDown(): All managers are shutting down.";
// Waits are generous: the sanitizer build runs the same game more slowly.
const int START_TIMEOUT_MS = 60000;
const int SCREEN_TIMEOUT_MS = 20000;
// A sprite counts as shown when nearly all of its visible cells are.
const double SHOWN = 0.9;
// Root mean square of the recording: silence is exactly 0 in the wave output.
const double AUDIBLE = 0.02;
const double QUIET = 0.002;
// Normalised correlation with a reference sound.
const double SOUNDS_LIKE = 0.6;

void inform(const std::string& text) { std::cout << "[   info   ] " << text << std::endl; }

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    display = std::make_unique<PrivateDisplay>();
    ASSERT_TRUE(display->ok()) << "Xvfb did not start";
    reader = std::make_unique<ScreenReader>(lktest::fontFile());
    ASSERT_TRUE(reader->ok());
    const std::string sprites = lktest::gameDir() + "/sprites/";
    ASSERT_TRUE(title.load(sprites + "start-game-alt-spr.txt"));
    ASSERT_TRUE(end_screen.load(sprites + "end-game-spr.txt"));
    ASSERT_TRUE(duck.load(sprites + "duck-flyright-spr.txt"));
    ASSERT_TRUE(readSoundFile(lktest::gameDir() + "/sounds/start-music.wav", start_music));
    ASSERT_TRUE(readSoundFile(lktest::gameDir() + "/sounds/ducks-quacking.wav", quacking));
    ASSERT_TRUE(readSoundFile(lktest::gameDir() + "/sounds/gun-shot.wav", gun_shot));
    start_music = forAnalysis(start_music);
    quacking = forAnalysis(quacking);
    gun_shot = forAnalysis(gun_shot);

    game = std::make_unique<GameProcess>(lktest::parentDir() + "/" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_TRUE(game->start()) << game->error();
    ASSERT_TRUE(game->findWindow(START_TIMEOUT_MS)) << game->error() << "\n" << game->stderrText();
    ASSERT_TRUE(game->waitForStep(1, START_TIMEOUT_MS));
  }

  void TearDown() override {
    if (game) {
      EXPECT_EQ(game->sanitizerReport(), "");
      if (HasFailure()) {
        std::cerr << "game folder: " << game->dir() << "\nlog tail:\n";
        const std::vector<std::string> lines = game->logLines();
        for (std::size_t i = lines.size() > 15 ? lines.size() - 15 : 0; i < lines.size(); ++i)
          std::cerr << "  " << lines[i] << "\n";
      }
    }
    game.reset();
    reader.reset();
  }

  // A screenshot, kept as <name>.png in the test's folder.
  sf::Image shot(const std::string& name) {
    sf::Image image;
    EXPECT_TRUE(game->screenshot(image, lktest::parentDir() + "/" + name + ".png")) << name;
    return image;
  }

  // Takes screenshots until the condition holds for one; that one is kept.
  bool waitForScreen(const std::string& name, const std::function<bool(const sf::Image&)>& condition,
                     int timeout_ms = SCREEN_TIMEOUT_MS) {
    sf::Image last;
    const bool seen = waitFor(
        [&] {
          if (!game->screenshot(last)) return false;
          if (!condition(last)) return false;
          last.saveToFile(lktest::parentDir() + "/" + name + ".png");
          return true;
        },
        timeout_ms, 50);
    // The last screen seen, to tell what was there instead.
    if (!seen && last.getSize().x > 0) last.saveToFile(lktest::parentDir() + "/" + name + "-timeout.png");
    return seen;
  }

  bool showsTitle(const sf::Image& image) { return reader->spriteMatch(image, title, 60, 18) >= SHOWN; }
  bool showsEndScreen(const sf::Image& image) {
    return reader->spriteMatch(image, end_screen, 60, 18) >= SHOWN;
  }

  std::string readHud(const sf::Image& image, const HudItem& item) { return item.read(*reader, image); }
  static std::string expectedHud(const HudItem& item) { return item.expected(); }

  // Checks text, box and colour of the three HUD items.
  void expectHud(const sf::Image& image, int missed, int round, int points) {
    const HudItem items[] = {{"Ducks Missed:", missed, 20, "yellow"},
                             {"ROUND", round, 60, "white"},
                             {"Points:", points, 100, "yellow"}};
    for (const HudItem& item : items) {
      EXPECT_EQ(readHud(image, item), expectedHud(item)) << item.label;
      const int first = item.firstColumn();
      const int last = first + static_cast<int>(item.text().size()) - 1;
      EXPECT_EQ(ScreenReader::colorName(ScreenReader::litColor(image, first, last, 1)), item.color)
          << item.label;
      EXPECT_EQ(ScreenReader::colorName(ScreenReader::litColor(image, first - 1, last + 1, 0)), item.color)
          << item.label << " box";
    }
  }

  bool hudShows(const sf::Image& image, int missed, int round, int points) {
    const HudItem items[] = {{"Ducks Missed:", missed, 20, "yellow"},
                             {"ROUND", round, 60, "white"},
                             {"Points:", points, 100, "yellow"}};
    for (const HudItem& item : items)
      if (readHud(image, item) != expectedHud(item)) return false;
    return true;
  }

  MonoAudio recording() {
    MonoAudio audio;
    EXPECT_TRUE(readRecording(game->audioPath(), audio));
    return forAnalysis(audio);
  }

  // Waits until the recording reaches the time (seconds), so a stretch of
  // audio can be judged once it has been written.
  void waitForRecording(double seconds) {
    EXPECT_TRUE(waitFor([&] { return recordedSeconds(game->audioPath()) >= seconds; }, 30000))
        << "recording stuck at " << recordedSeconds(game->audioPath()) << " s";
  }

  // Q on the start screen: the program ends normally with its shut-down line last.
  void quitFromStartScreen() {
    ASSERT_TRUE(game->key("q"));
    EXPECT_EQ(game->waitExit(30000), 0) << game->stderrText();
    const std::vector<std::string> lines = game->logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), SHUTDOWN_LINE);
  }

  std::unique_ptr<PrivateDisplay> display;
  std::unique_ptr<ScreenReader> reader;
  std::unique_ptr<GameProcess> game;
  SpriteFile title, end_screen, duck;
  MonoAudio start_music, quacking, gun_shot;
};

// The pixels of the duck's box over the moves first..last, with a margin.
sf::IntRect duckArea(const DuckPath& path, int first, int last) {
  float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
  for (int k = std::max(first, 0); k <= std::min(last, static_cast<int>(path.x.size()) - 1); ++k) {
    left = std::min(left, path.column(k) - path.width / 2);
    right = std::max(right, path.column(k) + path.width / 2);
    top = std::min(top, path.row(k) - path.height / 2);
    bottom = std::max(bottom, path.row(k) + path.height / 2);
  }
  if (left > right) return sf::IntRect();
  return sf::IntRect(static_cast<int>(left * CELL_WIDTH) - 10, static_cast<int>(top * CELL_HEIGHT) - 10,
                     static_cast<int>((right - left) * CELL_WIDTH) + 20,
                     static_cast<int>((bottom - top) * CELL_HEIGHT) + 20);
}

}  // namespace

// The whole cycle with a hit: start screen and music, a game whose first two
// ducks escape, a shot timed to the third duck's predicted path, the third
// escape and the end screen, back to a fresh start screen and a fresh game.
TEST_F(EndToEnd, AShotHitsADuckAndThreeMissesEndTheGame) {
  // The start screen and its music.
  ASSERT_TRUE(waitForScreen("title", [&](const sf::Image& i) { return showsTitle(i); }))
      << "the start screen's picture never appeared";
  {
    const sf::Image image = shot("title");
    EXPECT_EQ(ScreenReader::colorName(ScreenReader::litColor(image, 10, 110, 6)), title.color);
  }
  // What is heard is judged at the end, from the whole recording, so that
  // the analysis never holds up the play.
  std::vector<std::function<void(const MonoAudio&)>> heard;
  waitForRecording(1.5);

  // 1 starts a game.
  DuckOracle oracle(static_cast<float>(duck.width), static_cast<float>(duck.height));
  const DuckPath first[2] = {oracle.next(1), oracle.next(1)};
  const DuckPath second[2] = {oracle.next(1), oracle.next(1)};
  ASSERT_GT(first[0].exit_move, 0);
  ASSERT_GT(first[1].exit_move, 0);
  const int step_before_key = game->lastStep();
  const double key_time = recordedSeconds(game->audioPath());
  heard.push_back([=](const MonoAudio& audio) {
    const double level = audio.rms(key_time - 1.0, key_time);
    const double match = matchInLoop(audio, key_time - 1.5, key_time, start_music);
    inform("start screen: rms " + std::to_string(level) + ", start music match " + std::to_string(match));
    EXPECT_GT(level, AUDIBLE) << "no start music";
    EXPECT_GT(match, SOUNDS_LIKE) << "not the start music";
  });
  ASSERT_TRUE(game->key("1"));
  ASSERT_TRUE(waitForScreen("play", [&](const sf::Image& i) { return hudShows(i, 0, 1, 0); }))
      << "no HUD after 1";
  expectHud(shot("play-hud"), 0, 1, 0);
  heard.push_back([=](const MonoAudio& audio) {
    const double level = audio.rms(key_time + 0.8, key_time + 1.8);
    const double quack = matchInLoop(audio, key_time + 0.5, key_time + 2.0, quacking);
    const double music = matchInLoop(audio, key_time + 0.5, key_time + 2.0, start_music);
    inform("play: rms " + std::to_string(level) + ", quacking match " + std::to_string(quack) +
           ", start music match " + std::to_string(music));
    EXPECT_GT(level, AUDIBLE) << "no quacking";
    EXPECT_GT(quack, SOUNDS_LIKE) << "not the quacking";
    EXPECT_LT(music, SOUNDS_LIKE) << "the start music goes on in play";
  });

  // The first wave flies through and out; its misses tell when it started.
  ASSERT_TRUE(game->waitForLogCount(MISSED_LINE, 2, 60000)) << "the first two ducks never left";
  const std::vector<int> misses = game->stepsOf(MISSED_LINE);
  ASSERT_EQ(misses.size(), 2u);
  const int start_step = misses[0] - std::min(first[0].exit_move, first[1].exit_move) + 1;
  EXPECT_EQ(misses[1] - std::max(first[0].exit_move, first[1].exit_move) + 1, start_step)
      << "the two ducks did not leave the world when their flight rules say";
  EXPECT_GT(start_step, step_before_key);
  EXPECT_LE(start_step, step_before_key + 30) << "the key took more than a second to act";
  EXPECT_EQ(game->logCount(GUN_MISSED_LINE), 2);
  // The second wave is launched by the step event of the frame in which the
  // last duck of the first was reported; its k-th move is made at step
  // `launch` + k.
  const int launch = misses[1];

  const DuckPath& target = second[0];
  const DuckPath& other = second[1];

  // The ducks are where their rules put them: a screenshot taken between
  // two step lines shows each duck inside the boxes of those moves.
  int look = 5;
  while (look + 3 < target.exit_move && !target.inView(look + 3, 3.f, 30.f)) ++look;
  ASSERT_TRUE(game->waitForStep(launch + look, 30000));
  {
    const int before = game->lastStep();
    sf::Image image;
    ASSERT_TRUE(game->screenshot(image));
    const int after = game->lastStep();
    image.saveToFile(lktest::parentDir() + "/second-wave.png");
    const int from = before - launch;
    const int to = after + 1 - launch;
    std::vector<sf::IntRect> areas;
    for (const DuckPath* path : {&target, &other}) {
      areas.push_back(duckArea(*path, from, to));
      if (!path->inView(from, 3.f, 30.f) || !path->inView(to, 3.f, 30.f)) continue;
      const int pixels = findColor(image, duck.sfColor(), areas.back()).count;
      inform("duck pixels where predicted between steps " + std::to_string(before) + " and " +
             std::to_string(after) + ": " + std::to_string(pixels));
      EXPECT_GT(pixels, 200) << "no duck where predicted at steps " << before << " to " << after;
    }
    // And nowhere else in the sky.
    const sf::IntRect sky(0, static_cast<int>(3 * CELL_HEIGHT), 1024, static_cast<int>(27 * CELL_HEIGHT));
    int elsewhere = findColor(image, duck.sfColor(), sky).count;
    for (const sf::IntRect& area : areas) {
      sf::IntRect part;
      if (area.intersects(sky, part)) elsewhere -= findColor(image, duck.sfColor(), part).count;
    }
    if (areas[0].intersects(areas[1])) elsewhere = 0;  // counted twice above
    EXPECT_LT(elsewhere, 50) << "duck-coloured cells where no duck should be";
  }

  // Fire at the first duck of the wave: a few steps ahead, as near the
  // middle of the view as its flight goes, and away from the other duck.
  // The click is sent two steps before the duck gets there, so the bullet's
  // three steps cover that moment even if the click arrives a step late.
  const int lead = game->lastStep() - launch + 6;
  int aim = -1;
  float best = 1e9f;
  for (int k = lead; k + 3 < target.exit_move; ++k) {
    if (!target.inView(k, 4.f, 27.f)) continue;
    bool clear = true;
    for (int j = k - 3; j <= k + 4 && j < static_cast<int>(other.x.size()); ++j)
      if (std::abs(other.x[j] - target.x[k]) < other.width / 2 + 2 &&
          std::abs(other.y[j] - target.y[k]) < other.height / 2 + 2)
        clear = false;
    const float off_centre = std::abs(target.column(k) - 60.f);
    if (clear && off_centre < best) {
      best = off_centre;
      aim = k;
    }
  }
  ASSERT_GE(aim, 0) << "the predicted duck never flies in the open";
  inform("second wave launched at step " + std::to_string(launch) + "; aiming at move " + std::to_string(aim) +
         " (column " + std::to_string(target.column(aim)) + ", row " + std::to_string(target.row(aim)) + ")");
  ASSERT_TRUE(game->moveMouse(static_cast<int>(target.column(aim) * CELL_WIDTH),
                              static_cast<int>(target.row(aim) * CELL_HEIGHT)));
  ASSERT_TRUE(game->waitForStep(launch + aim - 2, 30000));
  const double click_time = recordedSeconds(game->audioPath());
  const int click_step = game->lastStep();
  ASSERT_TRUE(game->click());
  inform("clicked after step " + std::to_string(click_step));
  ASSERT_LT(click_step, launch + aim) << "the click was sent too late to be judged";

  // The other duck may escape soon after, so the miss count may read 3.
  sf::Image hit;
  const HudItem points{"Points:", 100, 100, "yellow"};
  ASSERT_TRUE(waitForScreen("hit", [&](const sf::Image& i) {
    hit = i;
    return readHud(i, points) == expectedHud(points);
  }, 10000)) << "the HUD never showed 100 points";
  expectHud(hit, readHud(hit, {"Ducks Missed:", 3, 20, "yellow"}) == expectedHud({"Ducks Missed:", 3, 20, "yellow"}) ? 3 : 2,
            1, 100);
  heard.push_back([=](const MonoAudio& audio) {
    double at = 0;
    const double after = bestMatch(audio, click_time - 0.1, click_time + 1.0, gun_shot, &at);
    const double before = bestMatch(audio, click_time - 2.0, click_time - 0.4, gun_shot);
    inform("gun shot match " + std::to_string(after) + " at " + std::to_string(at - click_time) +
           " s after the click; " + std::to_string(before) + " before it");
    EXPECT_GT(after, SOUNDS_LIKE) << "no gun shot after the click";
    EXPECT_LT(before, SOUNDS_LIKE) << "a gun shot before any click";
  });

  // The other duck escapes: the third miss ends the game.
  ASSERT_TRUE(game->waitForLogCount(MISSED_LINE, 3, 60000));
  ASSERT_TRUE(game->waitForLogCount(GUN_MISSED_LINE, 3, 10000));
  ASSERT_TRUE(waitForScreen("end", [&](const sf::Image& i) { return showsEndScreen(i); }, 10000))
      << "no end screen after the third miss";
  const double end_time = recordedSeconds(game->audioPath());
  {
    const std::vector<int> all = game->stepsOf(MISSED_LINE);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[2], launch + other.exit_move) << "the untouched duck left at another time than predicted";
  }
  {
    const sf::Image image = shot("end-screen");
    EXPECT_EQ(ScreenReader::colorName(ScreenReader::litColor(image, 6, 113, 14)), end_screen.color);
  }
  heard.push_back([=](const MonoAudio& audio) {
    const double playing = audio.rms(end_time - 3.0, end_time - 1.0);
    const double ended = audio.rms(end_time + 0.3, end_time + 2.0);
    inform("rms before the end screen " + std::to_string(playing) + ", on it " + std::to_string(ended));
    EXPECT_GT(playing, AUDIBLE) << "quacking was not playing";
    EXPECT_LT(ended, QUIET) << "the quacking goes on";
  });

  // Back to a fresh start screen, and a new game starts from scratch.
  ASSERT_TRUE(waitForScreen("title-again", [&](const sf::Image& i) { return showsTitle(i); }))
      << "the start screen did not come back";
  const double again_time = recordedSeconds(game->audioPath());
  waitForRecording(again_time + 0.5);
  const double again_key_time = recordedSeconds(game->audioPath());
  heard.push_back([=](const MonoAudio& audio) {
    const double match = matchInLoop(audio, again_time - 1.0, again_key_time, start_music);
    inform("start music match on the new start screen " + std::to_string(match));
    EXPECT_GT(match, SOUNDS_LIKE) << "the start music did not start again";
  });
  ASSERT_TRUE(game->key("1"));
  ASSERT_TRUE(waitForScreen("play-again", [&](const sf::Image& i) { return hudShows(i, 0, 1, 0); }))
      << "the new game's HUD is not fresh";
  expectHud(shot("play-again-hud"), 0, 1, 0);

  ASSERT_TRUE(game->key("q"));
  ASSERT_TRUE(waitForScreen("end-again", [&](const sf::Image& i) { return showsEndScreen(i); }, 10000));
  ASSERT_TRUE(waitForScreen("title-last", [&](const sf::Image& i) { return showsTitle(i); }));
  quitFromStartScreen();

  const MonoAudio audio = recording();
  for (const auto& check : heard) check(audio);
}

// A whole round: both ducks of every wave shot at along their predicted
// paths. A round of 8 ducks with at most 2 escaped ends with the banner, its
// jingle and "ROUND 2", and the score counts every hit.
TEST_F(EndToEnd, ShootingTheFirstRoundBringsTheBannerAndRoundTwo) {
  SpriteFile banner;
  ASSERT_TRUE(banner.load(lktest::gameDir() + "/sprites/new-round-spr.txt"));
  // The jingle is an MP3: decoded here with lame, as the test's reference.
  const std::string jingle_file = lktest::parentDir() + "/new-round.wav";
  ASSERT_EQ(runCommand({"lame", "--quiet", "--decode", lktest::gameDir() + "/sounds/new-round.mp3", jingle_file},
                       60000),
            0);
  MonoAudio jingle;
  ASSERT_TRUE(readSoundFile(jingle_file, jingle));
  jingle = forAnalysis(jingle);

  ASSERT_TRUE(waitForScreen("title", [&](const sf::Image& i) { return showsTitle(i); }));
  const int step_before_key = game->lastStep();
  ASSERT_TRUE(game->key("1"));
  ASSERT_TRUE(waitForScreen("round-play", [&](const sf::Image& i) { return pointsItem(0).shownOn(*reader, i); }));
  std::string error, notes;
  const int hits = shootFirstRound(*game, *reader, duck, step_before_key, &error, &notes);
  inform(notes);
  ASSERT_GE(hits, 6) << error;

  // The round is over: banner, jingle, ROUND 2, and the score of every hit.
  const HudItem round_two{"ROUND", 2, 60, "white"};
  ASSERT_TRUE(waitForScreen("round-two", [&](const sf::Image& i) { return readHud(i, round_two) == expectedHud(round_two); }, 10000))
      << "the HUD never showed ROUND 2";
  const double round_time = recordedSeconds(game->audioPath());
  const int missed = game->logCount(MISSED_LINE);
  EXPECT_EQ(missed, 8 - hits);
  {
    const sf::Image image = shot("round-two-hud");
    expectHud(image, missed, 2, 100 * (8 - missed));
  }
  ASSERT_TRUE(waitForScreen("banner", [&](const sf::Image& i) { return reader->spriteMatch(i, banner, 60, 16) >= SHOWN; }, 5000))
      << "no new-round banner";

  // The pause between rounds: no duck is launched for 100 steps, so no
  // escape either; Q ends the game there.
  ASSERT_TRUE(game->key("q"));
  ASSERT_TRUE(waitForScreen("round-end", [&](const sf::Image& i) { return showsEndScreen(i); }, 10000));
  ASSERT_TRUE(waitForScreen("round-title", [&](const sf::Image& i) { return showsTitle(i); }));
  quitFromStartScreen();
  EXPECT_EQ(game->logCount(MISSED_LINE), missed);

  const MonoAudio audio = recording();
  double at = 0;
  const double match = bestMatch(audio, round_time - 2.0, round_time + 1.0, jingle, &at);
  inform("jingle match " + std::to_string(match) + " at " + std::to_string(at - round_time) + " s from ROUND 2 seen");
  EXPECT_GT(match, SOUNDS_LIKE) << "no jingle at the end of the round";
}

// Q during play ends the game the same way; Q on the start screen ends the
// program.
TEST_F(EndToEnd, QDuringPlayEndsTheGameAndQOnTheStartScreenQuits) {
  ASSERT_TRUE(waitForScreen("title", [&](const sf::Image& i) { return showsTitle(i); }));
  ASSERT_TRUE(game->key("1"));
  ASSERT_TRUE(waitForScreen("play", [&](const sf::Image& i) { return hudShows(i, 0, 1, 0); }));

  // Ducks cross the view: duck-coloured cells below the HUD, in another
  // place on a later screenshot.
  const sf::IntRect sky(0, static_cast<int>(3 * CELL_HEIGHT), 1024, static_cast<int>(26 * CELL_HEIGHT));
  ColorBlob first_seen;
  int first_step = -1;
  bool moved = false;
  waitFor([&] {
    sf::Image image;
    if (!game->screenshot(image)) return false;
    const int step = game->lastStep();
    const ColorBlob blob = findColor(image, duck.sfColor(), sky);
    if (blob.count < 200) return false;
    if (first_step < 0) {
      first_seen = blob;
      first_step = step;
      image.saveToFile(lktest::parentDir() + "/ducks-1.png");
      return false;
    }
    if (step <= first_step) return false;
    image.saveToFile(lktest::parentDir() + "/ducks-2.png");
    moved = std::abs(blob.x - first_seen.x) + std::abs(blob.y - first_seen.y) > 8.f;
    return true;
  }, 15000);
  ASSERT_GE(first_step, 0) << "no duck in the sky";
  EXPECT_TRUE(moved) << "the ducks did not move";

  const double q_time = recordedSeconds(game->audioPath());
  ASSERT_TRUE(game->key("q"));
  ASSERT_TRUE(waitForScreen("end", [&](const sf::Image& i) { return showsEndScreen(i); }, 10000))
      << "Q did not bring the end screen";
  ASSERT_TRUE(waitForScreen("title-again", [&](const sf::Image& i) { return showsTitle(i); }))
      << "the start screen did not come back";
  quitFromStartScreen();
  const MonoAudio audio = recording();
  EXPECT_GT(audio.rms(q_time - 1.0, q_time), AUDIBLE) << "quacking was not playing";
  EXPECT_LT(audio.rms(q_time + 0.5, q_time + 2.5), QUIET) << "the quacking goes on";
}

TEST_F(EndToEnd, QOnTheStartScreenEndsTheProgram) {
  ASSERT_TRUE(waitForScreen("title", [&](const sf::Image& i) { return showsTitle(i); }));
  quitFromStartScreen();
  EXPECT_EQ(game->logCount("GameManager::run(): game loop started."), 1);
}
