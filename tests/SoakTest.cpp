// Plays the real program for a while with random keys, pointer moves and
// clicks, watching its memory, and fails on a crash, a sanitizer report or
// a clear growth of memory. The suite runs it briefly; scripts/soak runs it
// for as long as asked (LK_SOAK_SECONDS) on the sanitizer build's game
// (LK_SOAK_GAME_DIR).
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "GameProcess.h"
#include "ScreenReader.h"
#include "TestSupport.h"
#include "WindowProbe.h"

using namespace lktest::e2e;

namespace {

double envNumber(const char* name, double fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::atof(value) : fallback;
}

// Resident memory of the process in kB, from /proc; -1 when it is gone.
long residentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

long median(std::vector<long> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

TEST(Soak, RandomPlayRunsCleanWithoutMemoryGrowth) {
  const double seconds = envNumber("LK_SOAK_SECONDS", 25);
  const char* game_dir = std::getenv("LK_SOAK_GAME_DIR");
  const unsigned seed = static_cast<unsigned>(envNumber("LK_SOAK_SEED", static_cast<double>(std::random_device{}())));
  std::cout << "soak: " << seconds << " s, seed " << seed << std::endl;

  ASSERT_TRUE(lktest::usePrivateDisplay()) << "Xvfb did not start";
  ScreenReader reader(lktest::fontFile());
  ASSERT_TRUE(reader.ok());
  const std::string source = game_dir != nullptr ? game_dir : lktest::gameDir();
  SpriteFile title, end_screen;
  ASSERT_TRUE(title.load(source + "/sprites/start-game-alt-spr.txt"));
  ASSERT_TRUE(end_screen.load(source + "/sprites/end-game-spr.txt"));
  // AddressSanitizer keeps 256 MB of freed memory aside before reusing it,
  // which alone makes memory climb for minutes; a small quarantine lets the
  // samples show what the game keeps.
  const char* asan = std::getenv("ASAN_OPTIONS");
  setenv("ASAN_OPTIONS", (std::string(asan != nullptr ? asan : "") + ":quarantine_size_mb=16").c_str(), 1);

  GameProcess game(lktest::parentDir() + "/game", {}, source);
  ASSERT_TRUE(game.start(GameProcess::Audio::SILENT)) << game.error();  // long runs would record 350 KB of audio a second
  ASSERT_TRUE(game.findWindow(60000)) << game.error() << "\n" << game.stderrText();

  const auto look = [&]() -> std::string {
    sf::Image shot;
    if (!game.screenshot(shot)) return "other";
    if (reader.spriteMatch(shot, end_screen, 60, 18) >= 0.9) return "end";
    if (reader.spriteMatch(shot, title, 60, 18) >= 0.9) return "start";
    return reader.readText(shot, 1, 55, "| ROUND") == "| ROUND" ? "play" : "other";
  };
  std::mt19937 random(seed);
  const auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };

  std::vector<long> rss;
  int games = 0, quits = 0;
  std::string screen = "other";
  const long long start = nowMs(), end = start + static_cast<long long>(seconds * 1000);
  long long next_sample = start, next_look = start;
  while (nowMs() < end && game.running()) {
    if (nowMs() >= next_sample) {
      if (const long kb = residentKb(game.pid()); kb > 0) rss.push_back(kb);
      next_sample += 3000;
    }
    if (nowMs() >= next_look) {
      const std::string now = look();
      games += now == "play" && screen != "play";
      screen = now;
      next_look = nowMs() + 1000;
    }
    // Pointer moves, clicks (mostly left), start keys, keys that mean nothing.
    static const char* const others[] = {"a", "space", "Escape", "Return", "0", "KP_1", "Left"};
    const int action = pick(0, 99);
    if (action < 50) {
      EXPECT_TRUE(game.moveMouse(pick(0, 1023), pick(0, 767)));
    } else if (action < 78) {
      EXPECT_TRUE(game.click(pick(0, 9) < 8 ? 1 : pick(2, 3)));
    } else if (action < 98) {
      EXPECT_TRUE(game.key(action < 93 ? std::to_string(pick(1, 3)) : others[pick(0, 6)]));
    } else if (screen == "play" && (screen = look()) == "play") {
      // Q only with play on screen right now: on the start screen it would
      // end the program, and the end screen takes seconds to go.
      EXPECT_TRUE(game.key("q"));
      ++quits;
      screen = "other";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(pick(30, 200)));
  }
  const double played = static_cast<double>(nowMs() - start) / 1000.0;
  ASSERT_TRUE(game.running()) << "the program ended by itself after " << played << " s with status "
                              << game.waitExit(0) << "\n" << game.stderrText();

  // Back to the start screen, and out.
  ASSERT_TRUE(waitFor(
      [&] {
        screen = look();
        if (screen == "play") game.key("q");
        return screen == "start";
      },
      30000, 500))
      << "never got back to the start screen (last seen: " << screen << ")";
  ASSERT_TRUE(game.key("q"));
  const int status = game.waitExit(60000);

  std::cout << "soak: played " << played << " s, " << games << " games (" << quits << " ended by Q), "
            << rss.size() << " memory samples" << std::endl;
  EXPECT_EQ(status, 0) << game.stderrText();
  EXPECT_EQ(game.sanitizerReport(), "");
  const std::vector<std::string> lines = game.logLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "GameManager::shutDown(): All managers are shutting down.");
  EXPECT_GT(games, 0) << "no game was played";

  // Memory: the last third of the samples against the first third after
  // the first sixth (start-up, caches, the first game).
  ASSERT_GE(rss.size(), 6u);
  const auto skip = static_cast<std::ptrdiff_t>(rss.size() / 6);
  const auto third = static_cast<std::ptrdiff_t>((rss.size() - rss.size() / 6) / 3);
  const long early = median(std::vector<long>(rss.begin() + skip, rss.begin() + skip + third));
  const long late = median(std::vector<long>(rss.end() - third, rss.end()));
  std::cout << "soak: RSS median early " << early / 1024 << " MB, late " << late / 1024 << " MB, max "
            << *std::max_element(rss.begin(), rss.end()) / 1024 << " MB" << std::endl;
  EXPECT_LT(late, early + std::max(40L * 1024, early / 4)) << "memory keeps growing";
}
