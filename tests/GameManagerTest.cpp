// The game manager: start-up order and failures, the game loop and its
// pacing, event dispatch, and shut-down. The loop runs with the real display
// and input managers, so these tests need an X display.
#include <cstdint>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "DisplayManager.h"
#include "EventStep.h"
#include "GameManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Recorder.h"
#include "ResourceManager.h"
#include "TestSupport.h"
#include "WindowProbe.h"
#include "WorldManager.h"

using lktest::journal;
using lktest::Recorder;
using Entries = std::vector<std::string>;

namespace {

lk::GameManager& game() { return lk::GameManager::getInstance(); }

const Entries START_UP_LINES = {
    "LogManager::startUp(): lark.log was opened successfully.",
    "LogManager::startUp(): LogManager was successfully started.",
    "DisplayManager::startUp(): DisplayManager was successfully started.",
    "InputManager::startUp(): InputManager was successfully started.",
    "WorldManager::startUp(): WorldManager was successfully started.",
    "GameManager::startUp(): All managers successfully started.",
    "",
};

class GameLoopTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lktest::requireDisplay());
    lktest::stageFont();
    ASSERT_EQ(game().startUp(), 0);
    lktest::keepGraphicsDriverLoaded();
  }
  void TearDown() override { game().shutDown(); }

  // The log lines after the start-up lines.
  static Entries linesAfterStartUp() {
    const Entries all = lktest::logLines();
    if (all.size() < START_UP_LINES.size()) return {};
    return Entries(all.begin() + static_cast<long>(START_UP_LINES.size()), all.end());
  }
};

struct StepLine {
  int step;
  long loop_time;
  long sleep_time;
};

// Parses "GameManager::run(): (step #N) loop_time = L microseconds, sleep_time = S milliseconds."
bool parseStepLine(const std::string& line, StepLine* p_out) {
  static const std::regex pattern(
      R"(GameManager::run\(\): \(step #(-?[0-9]+)\) loop_time = (-?[0-9]+) microseconds, )"
      R"(sleep_time = (-?[0-9]+) milliseconds\.)");
  std::smatch m;
  if (!std::regex_match(line, m, pattern)) return false;
  p_out->step = std::stoi(m[1]);
  p_out->loop_time = std::stol(m[2]);
  p_out->sleep_time = std::stol(m[3]);
  return true;
}

void expectWellFormedStep(const std::string& line, int step) {
  StepLine parsed{};
  ASSERT_TRUE(parseStepLine(line, &parsed)) << line;
  EXPECT_EQ(parsed.step, step);
  EXPECT_GE(parsed.loop_time, 0);
  EXPECT_EQ(parsed.loop_time % 1000, 0) << line;
  EXPECT_EQ(parsed.sleep_time,
            lk::GameManager::sleepTime(33333, static_cast<std::int32_t>(parsed.loop_time)))
      << line;
}

// Sets game over from the step handler once the given step arrives.
void endAtStep(Recorder* p, int last_step) {
  p->on_event = [last_step](Recorder&, const lk::Event& e) {
    if (e.getType() == lk::STEP_EVENT &&
        static_cast<const lk::EventStep&>(e).getStepCount() == last_step)
      lk::GameManager::getInstance().setGameOver(true);
  };
}

}  // namespace

TEST(GameManagerTest, SleepIsTheRestOfTheFrameInWholeMilliseconds) {
  EXPECT_EQ(game().getFrameTime(), 33333);
  EXPECT_EQ(lk::GameManager::sleepTime(33333, 1000), 32);
  EXPECT_EQ(lk::GameManager::sleepTime(33333, 33000), 0);  // 333 us truncates away
  EXPECT_EQ(lk::GameManager::sleepTime(33333, 34000), 0);  // -0.667 truncates toward zero
  EXPECT_EQ(lk::GameManager::sleepTime(33333, 35000), 0);  // -1 becomes 0
  EXPECT_EQ(lk::GameManager::sleepTime(33333, 0), 33);
  EXPECT_EQ(lk::GameManager::sleepTime(33333, 2000000000), 0);
}

TEST_F(GameLoopTest, StartUpStartsEveryManagerInOrder) {
  EXPECT_EQ(lktest::logLines(), START_UP_LINES);
  EXPECT_TRUE(game().isStarted());
  EXPECT_TRUE(lk::LogManager::getInstance().isStarted());
  EXPECT_TRUE(lk::DisplayManager::getInstance().isStarted());
  EXPECT_TRUE(lk::InputManager::getInstance().isStarted());
  EXPECT_TRUE(lk::WorldManager::getInstance().isStarted());
  EXPECT_TRUE(lk::ResourceManager::getInstance().isStarted());
  EXPECT_FALSE(game().getGameOver());
}

TEST_F(GameLoopTest, ShutDownStopsEverything) {
  new Recorder("a", lk::Vector(100, 10));
  game().shutDown();
  EXPECT_EQ(linesAfterStartUp(), Entries{"GameManager::shutDown(): All managers are shutting down."});
  EXPECT_EQ(journal(), Entries{"a deleted"});
  EXPECT_TRUE(game().getGameOver());
  EXPECT_FALSE(game().isStarted());
  EXPECT_FALSE(lk::LogManager::getInstance().isStarted());
  EXPECT_FALSE(lk::DisplayManager::getInstance().isStarted());
  EXPECT_EQ(lk::DisplayManager::getInstance().getWindow(), nullptr);
  EXPECT_FALSE(lk::InputManager::getInstance().isStarted());
  EXPECT_FALSE(lk::WorldManager::getInstance().isStarted());
  EXPECT_FALSE(lk::ResourceManager::getInstance().isStarted());
  // The log is closed: nothing more reaches it.
  EXPECT_EQ(lk::LogManager::getInstance().writeLog("late\n"), 0);
}

TEST_F(GameLoopTest, GameOverBeforeRunRunsNoIteration) {
  Recorder* p = new Recorder("a", lk::Vector(100, 10));
  p->setVelocity(lk::Vector(1, 0));
  game().setGameOver(true);
  game().run();
  EXPECT_EQ(linesAfterStartUp(), Entries{"GameManager::run(): game loop started."});
  EXPECT_EQ(journal(), Entries{});
  EXPECT_FLOAT_EQ(p->getPosition().getX(), 100.0f);
}

TEST_F(GameLoopTest, GameOverFromTheFirstStepEndsAfterThatIteration) {
  Recorder* p = new Recorder("a", lk::Vector(100, 10));
  endAtStep(p, 0);
  game().run();
  const Entries lines = linesAfterStartUp();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "GameManager::run(): game loop started.");
  expectWellFormedStep(lines[1], 0);
  EXPECT_EQ(journal(), (Entries{"a draw", "a lk::step 0"}));
}

TEST_F(GameLoopTest, EachIterationMovesDrawsThenSendsItsStepAndLogsIt) {
  Recorder* p_a = new Recorder("a", lk::Vector(100, 10));
  Recorder* p_b = new Recorder("b", lk::Vector(100, 12));
  p_a->setVelocity(lk::Vector(1, 0));
  float x_at_step_0 = 0;
  p_b->on_event = [p_a, &x_at_step_0](Recorder&, const lk::Event& e) {
    if (e.getType() != lk::STEP_EVENT) return;
    const int step = static_cast<const lk::EventStep&>(e).getStepCount();
    if (step == 0) x_at_step_0 = p_a->getPosition().getX();
    if (step == 2) lk::GameManager::getInstance().setGameOver(true);
  };
  game().run();

  // Moved and drawn before the step event of the same iteration.
  EXPECT_FLOAT_EQ(x_at_step_0, 101.0f);
  EXPECT_FLOAT_EQ(p_a->getPosition().getX(), 103.0f);
  EXPECT_EQ(journal(), (Entries{"a draw", "b draw", "a lk::step 0", "b lk::step 0",
                                "a draw", "b draw", "a lk::step 1", "b lk::step 1",
                                "a draw", "b draw", "a lk::step 2", "b lk::step 2"}));
  const Entries lines = linesAfterStartUp();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "GameManager::run(): game loop started.");
  for (int step = 0; step < 3; ++step) expectWellFormedStep(lines[1 + step], step);
}

TEST_F(GameLoopTest, EventsReachASnapshotOfTheWorldInCreationOrder) {
  Recorder* p_a = new Recorder("a");
  Recorder* p_b = new Recorder("b");
  new Recorder("c");
  Recorder* p_made = nullptr;
  // During the dispatch a makes a new object and marks b: neither changes
  // who hears this event.
  p_a->on_event = [&p_made, p_b](Recorder&, const lk::Event&) {
    if (p_made != nullptr) return;
    p_made = new Recorder("made");
    lk::WorldManager::getInstance().markForDelete(p_b);
  };
  const lk::EventStep step(7);
  EXPECT_EQ(game().onEvent(&step), 3);
  EXPECT_EQ(journal(), (Entries{"a lk::step 7", "b lk::step 7", "c lk::step 7"}));
  // The next event reaches the new object.
  EXPECT_EQ(game().onEvent(&step), 4);
}

namespace {

// Runs the game manager's start-up with "../lark.log" unusable and returns
// what it printed.
std::string failedStartUpOutput() {
  testing::internal::CaptureStdout();
  const int result = game().startUp();
  const std::string out = testing::internal::GetCapturedStdout();
  lktest::keepGraphicsDriverLoaded();
  EXPECT_EQ(result, -1);
  return out;
}

}  // namespace

TEST(GameManagerTest, UnwritableLogFailsStartUpButStartsTheRest) {
  ASSERT_TRUE(lktest::requireDisplay());
  lktest::stageFont();
  std::filesystem::create_directory("../lark.log");
  EXPECT_EQ(failedStartUpOutput(),
            "LogManager was unable to successfully start up.\n"
            "GameManager::startUp(): ERROR: Not all managers were successfully started.\n\n");
  EXPECT_FALSE(lk::LogManager::getInstance().isStarted());
  EXPECT_TRUE(lk::DisplayManager::getInstance().isStarted());
  EXPECT_TRUE(lk::InputManager::getInstance().isStarted());
  EXPECT_TRUE(lk::WorldManager::getInstance().isStarted());
  EXPECT_TRUE(lk::ResourceManager::getInstance().isStarted());
  game().shutDown();
  EXPECT_FALSE(lk::WorldManager::getInstance().isStarted());
  EXPECT_TRUE(std::filesystem::is_directory("../lark.log"));
}

TEST(GameManagerTest, MissingParentFolderFailsLogDisplayAndInput) {
  ASSERT_TRUE(lktest::requireDisplay());
  // Work in a folder whose parent is then removed: neither "../lark.log" nor
  // the font "../lk-font.ttf" can be reached.
  const std::filesystem::path home = std::filesystem::current_path();
  const std::filesystem::path gone = home.parent_path() / "gone";
  std::filesystem::create_directories(gone / "run");
  ASSERT_EQ(chdir((gone / "run").c_str()), 0);
  std::filesystem::remove_all(gone);

  const std::string out = failedStartUpOutput();
  EXPECT_EQ(out,
            "LogManager was unable to successfully start up.\n"
            "DisplayManager was unable to successfully start up.\n"
            "InputManager was unable to successfully start up.\n"
            "GameManager::startUp(): ERROR: Not all managers were successfully started.\n\n");
  EXPECT_TRUE(lk::WorldManager::getInstance().isStarted());
  EXPECT_TRUE(lk::ResourceManager::getInstance().isStarted());
  // The world still has its size from the display's cells.
  EXPECT_EQ(lk::WorldManager::getInstance().getBoundary().getHorizontal(), 240.0f);
  game().shutDown();
  ASSERT_EQ(chdir(home.c_str()), 0);
}
