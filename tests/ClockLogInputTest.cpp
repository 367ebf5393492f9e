// The loop's clock and sleeps; the log from SFML, threads and the loop; keys, buttons and focus.

#include <SFML/System/Err.hpp>

#include "Clock.h"
#include "EventStep.h"
#include "InputManager.h"
#include "Object.h"
#include "Support.h"

TEST(Clock, MeasuresAcrossThe32BitWrapsAndEveryCalendarCarry) {
  static lk::platform::UtcTime now;
  const auto set = [](int y, int mo, int d, int h, int mi, int s, int ms) { now = {y, mo, d, h, mi, s, ms}; };
  set(2026, 3, 6, 0, 0, 0, 0);
  lk::Clock clock([] { return now; });  // then every 997 ms of a day, which holds about twenty wraps
  for (int ms = 997; ms < 86400000; ms += 997) {
    set(2026, 3, 6, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    ASSERT_EQ(clock.delta(), 997000) << ms;
  }
  // From the last to the first millisecond of two days, and a clock set back a minute.
  const int ends[][6] = {{2026, 2, 28, 2026, 3, 1}, {2024, 2, 29, 2024, 3, 1}, {2026, 4, 30, 2026, 5, 1}, {2026, 12, 31, 2027, 1, 1}};
  for (const auto& e : ends) {
    set(e[0], e[1], e[2], 23, 59, 59, 990), clock.delta(), set(e[3], e[4], e[5], 0, 0, 0, 5);
    EXPECT_EQ(clock.split(), 15000) << e[0] << "-" << e[1];
    EXPECT_EQ(clock.delta(), 15000) << e[0] << "-" << e[1];
  }
  set(2026, 12, 31, 23, 59, 0, 5);
  EXPECT_EQ(clock.delta(), 0);
}

// Real sleeps on the loop's clock: the shortest of 15 (late wake-ups aside) neither short of its
// time nor, with 1 ms timer resolution held, a 15 ms tick.
TEST(Clock, SleepsLastTheirMillisecondsOnTheLoopsClock) {
  lk::platform::requestTimerResolution();
  for (int ms : {1, 5, 33}) {
    int shortest = INT_MAX;
    lk::Clock clock;
    for (int i = 0; i < 15; ++i, clock.delta()) lk::platform::sleepMilliseconds(ms), shortest = std::min(shortest, clock.split());
    EXPECT_GE(shortest, (ms - 1) * 1000) << ms;  // readings are whole milliseconds
    EXPECT_LE(shortest, (ms + 5) * 1000) << ms;
  }
  lk::platform::releaseTimerResolution();
}

// SFML's errors: each once while the log runs, at shut-down how often each came; else SFML's own.
TEST(Log, SfmlErrorsAreLoggedOnceEachWithTheirCountAtShutDown) {
  std::ostringstream outside;
  std::streambuf* const original = sf::err().rdbuf(outside.rdbuf());
  ASSERT_EQ(lk::LogManager::getInstance().startUp(), 0);
  lk::LogManager::getInstance().setTimeStamp(false);
  for (int i = 0; i < 3; ++i) sf::err() << "Failed to play\n  the sound" << std::endl;
  sf::err() << "Other" << std::endl << "Failed to play the sound" << std::endl;
  lk::LogManager::getInstance().shutDown();
  sf::err() << "after" << std::endl;
  sf::err().rdbuf(original);
#ifdef _WIN32
  const std::string eol = "\r\n";  // the log is a text file
#else
  const std::string eol = "\n";
#endif
  const std::string log = lkt::readFile("../lark.log");
  EXPECT_EQ(log.substr(log.find("SFML")), "SFML::err(): Failed to play the sound" + eol + "SFML::err(): Other" + eol +
                                              "SFML::err(): 4 times in all: Failed to play the sound" + eol);
  EXPECT_EQ(outside.str(), "after\n");
}

// Entries are stamped and whole, whichever threads write them at once.
TEST(Log, EntriesAreStampedAndWholeFromManyThreads) {
  lk::LogManager& log = lk::LogManager::getInstance();
  ASSERT_EQ(log.startUp(), 0);
  EXPECT_EQ(log.writeLog("%s\n", "abc"), 14);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t, &log] {
      for (int n = 0; n < 400; ++n) log.writeLog("thread %d line %d %s\n", t, n, std::string(size_t(n % 97), 'x').c_str());
    });
  for (std::thread& t : threads) t.join();
  log.shutDown();
  std::istringstream in(lkt::readFile("../lark.log"));
  const std::regex stamp("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]  ");
  std::map<int, int> next;
  int lines = 0;
  for (std::string line; std::getline(in, line); ++lines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // written on Windows
    ASSERT_TRUE(line.size() > 10 && std::regex_match(line.substr(0, 10), stamp)) << line;
    int t = -1, n = -1, end = 0;
    if (line.find("thread") == std::string::npos) continue;
    ASSERT_EQ(std::sscanf(line.c_str() + 10, "thread %d line %d %n", &t, &n, &end), 2) << line;
    ASSERT_EQ(line.substr(10 + size_t(end)), std::string(size_t(n % 97), 'x')) << line;
    ASSERT_EQ(n, next[t]++) << line;
  }
  EXPECT_EQ(lines, 3 + 4 * 400);
}

// Past its bound the log stops step lines, saying so once; an unwritable log is said once on
// standard error. A game over before the loop starts ends it before its first step.
TEST(Log, StepLinesStopAtTheBoundAndAFullDiskIsSaidOnce) {
  lk::LogManager& log = lk::LogManager::getInstance();
  lk::GameManager& game = lk::GameManager::getInstance();
  lkt::stageAssets();  // the loop runs only in a started game, with its window
  ASSERT_EQ(game.startUp(), 0);
  log.setTimeStamp(false), game.setGameOver(true), game.run();
  EXPECT_EQ(lkt::logLines().back(), "GameManager::run(): game loop started.");
  log.startUp(), log.setBound(2000);
  struct Stepper : lk::Object {
    int eventHandler(const lk::Event* p_event) override {
      if (p_event->getType() != lk::STEP_EVENT) return 0;
      const int step = static_cast<const lk::EventStep*>(p_event)->getStepCount();
      lk::LogManager::getInstance().writeLog("step %d seen\n", step);
      if (step == 29) lk::GameManager::getInstance().setGameOver(true);
      return 1;
    }
  };
  lkt::world().startUp(), new Stepper, game.setGameOver(false);
  game.run(), game.shutDown(), log.setBound(lk::MAX_LOG_BYTES);
  int steps = 0, seen = 0, bound = 0;
  for (const std::string& line : lkt::logLines()) {
    if (line.rfind("GameManager::run(): (step #", 0) == 0) steps += 1 + 1000 * bound;  // none after the bound's line
    seen += line == "step " + std::to_string(seen) + " seen";
    bound += line == "LogManager::stepLinesWanted(): lark.log has passed 2000 bytes; the game loop's step lines are no longer written.";
  }
  EXPECT_TRUE(steps > 3 && steps < 25) << steps;
  EXPECT_EQ(seen, 30);
  EXPECT_EQ(bound, 1);
#ifndef _WIN32
  std::filesystem::remove("../lark.log");
  std::filesystem::create_symlink("/dev/full", "../lark.log");
  testing::internal::CaptureStderr();
  log.startUp();
  for (int i = 0; i < 3; ++i) log.writeLog("lost\n");
  log.shutDown();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "LogManager::writeLog(): lark.log could not be written. No space left on device\n");
#endif
}

TEST(Input, TheKeyTableMapsEachOfItsKeysAndNoOther) {
  std::map<int, int> table = {
      {sf::Keyboard::Num0, lk::NUM0}, {sf::Keyboard::Space, lk::SPACE}, {sf::Keyboard::Enter, lk::ENTER}, {sf::Keyboard::Escape, lk::ESCAPE},
      {sf::Keyboard::Tab, lk::TAB}, {sf::Keyboard::Left, lk::LEFT_ARROW}, {sf::Keyboard::Right, lk::RIGHT_ARROW}, {sf::Keyboard::Up, lk::UP_ARROW},
      {sf::Keyboard::Down, lk::DOWN_ARROW}, {sf::Keyboard::Pause, lk::PAUSE}, {sf::Keyboard::Hyphen, lk::HYPHEN}, {sf::Keyboard::Equal, lk::EQUAL},
      {sf::Keyboard::Tilde, lk::TILDE}, {sf::Keyboard::Period, lk::PERIOD}, {sf::Keyboard::Comma, lk::COMMA}, {sf::Keyboard::Slash, lk::SLASH},
      {sf::Keyboard::LControl, lk::LEFT_CONTROL}, {sf::Keyboard::RControl, lk::RIGHT_CONTROL}, {sf::Keyboard::LShift, lk::LEFT_SHIFT},
      {sf::Keyboard::RShift, lk::RIGHT_SHIFT}};
  for (int i = 0; i < 26; ++i) table[sf::Keyboard::A + i] = lk::A + i;
  for (int i = 0; i < 9; ++i) table[sf::Keyboard::Num1 + i] = lk::NUM1 + i;
  for (int i = 0; i < 12; ++i) table[sf::Keyboard::F1 + i] = lk::F1 + i;
  for (int code = -1000; code < sf::Keyboard::KeyCount + 1000; ++code)
    EXPECT_EQ(lk::InputManager::mapKey(code), table.count(code) ? table[code] : lk::UNDEFINED_KEY) << code;
}

// A title set before start-up names the window. Keys and buttons are held until released or
// until another window takes the focus, pausing the game.
TEST(Input, HeldKeysAndButtonsAndTheFocusAreFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "xdotool, which presses the keys, is the Linux build's";
#else
  ASSERT_TRUE(lkt::privateDisplay()) << "Xvfb did not start";
  lk::DisplayManager& display = lk::DisplayManager::getInstance();
  lk::InputManager& input = lk::InputManager::getInstance();
  const lk::GameManager& game = lk::GameManager::getInstance();
  lk::LogManager::getInstance().startUp(), lkt::stageAssets(), display.setTitle("Held keys");
  ASSERT_EQ(display.startUp(), 0);
  ASSERT_EQ(input.startUp(), 0);
  const auto within = [&](const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i, lk::platform::sleepMilliseconds(10)) {
      input.getInput();
      if (condition()) return true;
    }
    return false;
  };
  const std::string focus = "timeout 20 xdotool search --sync --name '^Held keys$' windowfocus --sync";
  ASSERT_TRUE(lkt::run(focus));
  ASSERT_TRUE(lkt::run("xdotool keydown a mousemove --window $(xdotool search --name '^Held keys$') 50 50 mousedown 3"));
  EXPECT_TRUE(within([&] { return input.isKeyHeld(lk::A) && input.isButtonHeld(lk::RIGHT_BUTTON); }));
  EXPECT_FALSE(input.isKeyHeld(lk::B) || input.isButtonHeld(lk::LEFT_BUTTON) || input.isKeyHeld(lk::UNDEFINED_KEY));
  ASSERT_TRUE(lkt::run("xdotool keyup a mouseup 3 keydown b"));
  EXPECT_TRUE(within([&] { return !input.isKeyHeld(lk::A) && !input.isButtonHeld(lk::RIGHT_BUTTON) && input.isKeyHeld(lk::B); }));
  EXPECT_FALSE(game.getPaused());

  sf::Window cover(sf::VideoMode(200, 100), "Cover", sf::Style::None);
  ASSERT_TRUE(lkt::run("timeout 20 xdotool search --sync --name '^Cover$' windowfocus --sync"));
  EXPECT_TRUE(within([&] { return game.getPaused(); }));
  EXPECT_FALSE(input.isKeyHeld(lk::B)) << "its release goes to the other window";
  ASSERT_TRUE(lkt::run("xdotool keyup b"));
  ASSERT_TRUE(lkt::run(focus));
  EXPECT_TRUE(within([&] { return !game.getPaused(); }));
  EXPECT_EQ(lkt::logCount("GameManager::setPaused(): The game is paused."), 1);
  EXPECT_EQ(lkt::logCount("GameManager::setPaused(): The game goes on."), 1);
  input.shutDown(), display.shutDown();
#endif
}
