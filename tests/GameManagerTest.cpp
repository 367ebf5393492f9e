// The game manager: start-up order and failures, the game loop and its
// pacing, event dispatch, and shut-down. The loop runs with the real display
// and input managers, so these tests need an X display.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "DisplayManager.h"
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

class GameLoopTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lktest::requireDisplay());
    lktest::stageFont();
    ASSERT_EQ(game().startUp(), 0);
    lktest::keepGraphicsDriverLoaded();
  }
  void TearDown() override { game().shutDown(); }

  static Entries linesAfterStartUp() {
    const Entries all = lktest::logLines();
    const long skip = std::min<long>(all.size(), lktest::startUpLines().size());
    return Entries(all.begin() + skip, all.end());
  }
};

}  // namespace

TEST(GameManagerTest, SleepIsTheRestOfTheFrameInWholeMilliseconds) {
  // Loop time in microseconds -> sleep in milliseconds: truncated toward
  // zero, never negative.
  const int cases[][2] = {{0, 33}, {1000, 32}, {33000, 0}, {34000, 0}, {35000, 0}, {2000000000, 0}};
  for (const auto& c : cases) EXPECT_EQ(lk::GameManager::sleepTime(33333, c[0]), c[1]) << c[0];
}

TEST_F(GameLoopTest, StartUpStartsEveryManagerInOrderAndShutDownStopsThem) {
  EXPECT_EQ(lktest::logLines(), lktest::startUpLines());
  const lk::Manager* managers[] = {
      &game(), &lk::LogManager::getInstance(), &lk::DisplayManager::getInstance(),
      &lk::InputManager::getInstance(), &lk::WorldManager::getInstance(),
      &lk::ResourceManager::getInstance()};
  for (const lk::Manager* p : managers) EXPECT_TRUE(p->isStarted()) << p->getType();
  EXPECT_FALSE(game().getGameOver());

  new Recorder("a", lk::Vector(100, 10));
  game().shutDown();
  EXPECT_EQ(linesAfterStartUp(),
            Entries{"GameManager::shutDown(): All managers are shutting down."});
  EXPECT_EQ(journal(), Entries{"a deleted"});
  EXPECT_TRUE(game().getGameOver());
  for (const lk::Manager* p : managers) EXPECT_FALSE(p->isStarted()) << p->getType();
  EXPECT_EQ(lk::DisplayManager::getInstance().getWindow(), nullptr);
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

TEST_F(GameLoopTest, EachIterationMovesDrawsThenSendsItsStepAndLogsIt) {
  Recorder* p_a = new Recorder("a", lk::Vector(100, 10));
  Recorder* p_b = new Recorder("b", lk::Vector(100, 12));
  p_a->setVelocity(lk::Vector(1, 0));
  float x_at_step_0 = 0;
  // Game over from a step handler: that iteration still ends normally.
  p_b->on_event = [p_a, &x_at_step_0](Recorder&, const lk::Event& e) {
    if (e.getType() != lk::STEP_EVENT) return;
    const int step = static_cast<const lk::EventStep&>(e).getStepCount();
    if (step == 0) x_at_step_0 = p_a->getPosition().getX();
    if (step == 2) lk::GameManager::getInstance().setGameOver(true);
  };
  game().run();

  EXPECT_FLOAT_EQ(x_at_step_0, 101.0f);  // moved before the step event
  EXPECT_FLOAT_EQ(p_a->getPosition().getX(), 103.0f);
  EXPECT_EQ(journal(), (Entries{"a draw", "b draw", "a lk::step 0", "b lk::step 0",
                                "a draw", "b draw", "a lk::step 1", "b lk::step 1",
                                "a draw", "b draw", "a lk::step 2", "b lk::step 2"}));
  const Entries lines = linesAfterStartUp();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "GameManager::run(): game loop started.");
  for (int step = 0; step < 3; ++step) {
    lktest::StepLine s;
    ASSERT_TRUE(lktest::parseStepLine(lines[1 + step], &s)) << lines[1 + step];
    EXPECT_EQ(s.step, step);
    EXPECT_GE(s.loop_time, 0);
    EXPECT_EQ(s.loop_time % 1000, 0);
    EXPECT_EQ(s.sleep_time, lk::GameManager::sleepTime(33333, static_cast<int>(s.loop_time)));
  }
}

TEST_F(GameLoopTest, EventsReachASnapshotOfTheWorldInCreationOrder) {
  Recorder* p_a = new Recorder("a");
  Recorder* p_b = new Recorder("b");
  new Recorder("c");
  // a makes a new object and marks b: neither changes who hears the event.
  p_a->on_event = [p_b](Recorder&, const lk::Event&) {
    new Recorder("made");
    lk::WorldManager::getInstance().markForDelete(p_b);
  };
  const lk::EventStep step(7);
  EXPECT_EQ(game().onEvent(&step), 3);
  EXPECT_EQ(journal(), (Entries{"a lk::step 7", "b lk::step 7", "c lk::step 7"}));
  EXPECT_EQ(game().onEvent(&step), 4);  // the first one made is in
}

namespace {

// Start-up with a manager unable to start: -1 after exactly these lines on
// standard output, and the world and resource managers started all the same.
void expectFailedStartUp(const std::string& expected_stdout) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(game().startUp(), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), expected_stdout);
  lktest::keepGraphicsDriverLoaded();
  EXPECT_FALSE(lk::LogManager::getInstance().isStarted());
  EXPECT_TRUE(lk::WorldManager::getInstance().isStarted());
  EXPECT_TRUE(lk::ResourceManager::getInstance().isStarted());
  // The world has its size from the display's cells even without a window.
  EXPECT_EQ(lk::WorldManager::getInstance().getBoundary().getHorizontal(), 240.0f);
}

}  // namespace

TEST(GameManagerTest, UnwritableLogFailsStartUpButStartsTheRest) {
  ASSERT_TRUE(lktest::requireDisplay());
  lktest::stageFont();
  std::filesystem::create_directory("../lark.log");
  expectFailedStartUp(
      "LogManager was unable to successfully start up.\n"
      "GameManager::startUp(): ERROR: Not all managers were successfully started.\n\n");
  EXPECT_TRUE(lk::DisplayManager::getInstance().isStarted());
  EXPECT_TRUE(lk::InputManager::getInstance().isStarted());
  game().shutDown();
}

TEST(GameManagerTest, MissingParentFolderFailsLogDisplayAndInput) {
  ASSERT_TRUE(lktest::requireDisplay());
  // The parent of the working folder is removed: neither "../lark.log" nor
  // the font "../lk-font.ttf" can be reached.
  const std::filesystem::path home = std::filesystem::current_path();
  const std::filesystem::path gone = home.parent_path() / "gone";
  std::filesystem::create_directories(gone / "run");
  ASSERT_EQ(chdir((gone / "run").c_str()), 0);
  std::filesystem::remove_all(gone);
  expectFailedStartUp(
      "LogManager was unable to successfully start up.\n"
      "DisplayManager was unable to successfully start up.\n"
      "InputManager was unable to successfully start up.\n"
      "GameManager::startUp(): ERROR: Not all managers were successfully started.\n\n");
  game().shutDown();
  ASSERT_EQ(chdir(home.c_str()), 0);
}
