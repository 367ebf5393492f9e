// The real program: a start-up failure ends it at once with status 1 and
// three lines on standard output; a normal start runs the loop step by step.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "GameProcess.h"
#include "Recorder.h"
#include "TestSupport.h"
#include "WindowProbe.h"

namespace {

using Entries = std::vector<std::string>;

// Runs the program in the current folder, its output in "../stdout.txt" and
// "../stderr.txt", until it exits or `enough` holds (then it gets SIGTERM),
// a minute at most; returns the wait status. In a sanitizer build an exiting
// program checks for leaks, and only the slower unwinder sees through the GL
// driver's frames to the library the suppressions name. It is too slow for
// the game loop, so only a program expected to exit by itself gets it.
int runProgram(const std::function<bool()>& enough = nullptr) {
  const std::string program = lktest::gameDir() + "/bin/fowlshot";
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string asan_options =
      std::string(asan != nullptr ? asan : "") + (enough ? "" : ":fast_unwind_on_malloc=0");
  const char* lsan = std::getenv("LSAN_OPTIONS");
  const std::string lsan_options =
      lsan != nullptr ? lsan : "suppressions=" + lktest::sourceDir() + "/tests/lsan.supp";
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("ASAN_OPTIONS", asan_options.c_str(), 1);
    setenv("LSAN_OPTIONS", lsan_options.c_str(), 1);
    const int out = open("../stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open("../stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid < 0) {
    ADD_FAILURE() << "fork failed";
    return -1;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) != pid) {
    const bool late = std::chrono::steady_clock::now() > deadline;
    if (late || (enough && enough())) {
      kill(pid, late ? SIGKILL : SIGTERM);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return status;
}

}  // namespace

TEST(ProgramStartTest, UnwritableLogEndsTheProgramWithStatus1) {
  ASSERT_TRUE(lktest::requireDisplay());
  lktest::stageGameAssets();
  std::filesystem::create_directory("../lark.log");
  const int status = runProgram();
  ASSERT_TRUE(WIFEXITED(status)) << status << "\n" << lktest::readFile("../stderr.txt");
  EXPECT_EQ(WEXITSTATUS(status), 1);
  // Nothing else: no asset was loaded, so no sprite lines were echoed.
  EXPECT_EQ(lktest::readFile("../stdout.txt"),
            "LogManager was unable to successfully start up.\n"
            "GameManager::startUp(): ERROR: Not all managers were successfully started.\n\n"
            "ERROR: The GameManager could not start up successfully.\n");
}

TEST(ProgramStartTest, NormalStartLogsStartUpThenEveryStepInOrder) {
  ASSERT_TRUE(lktest::requireDisplay());
  lktest::stageGameAssets();
  // The program ends only on Q; stop it after about a second of play.
  const int status = runProgram([] {
    const Entries lines = lktest::logLines();
    lktest::StepLine s;
    return std::count_if(lines.begin(), lines.end(),
                         [&s](const std::string& l) { return lktest::parseStepLine(l, &s); }) >= 30;
  });
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM)
      << "status " << status << "\n" << lktest::readFile("../stderr.txt");

  const Entries lines = lktest::logLines();
  const Entries& start_up = lktest::startUpLines();
  ASSERT_GE(lines.size(), start_up.size());
  EXPECT_EQ(Entries(lines.begin(), lines.begin() + static_cast<long>(start_up.size())), start_up);
  // The loop starts once, after start-up, and its steps follow in order.
  const std::string loop_started = "GameManager::run(): game loop started.";
  EXPECT_EQ(std::count(lines.begin(), lines.end(), loop_started), 1);
  const auto loop_start =
      static_cast<std::size_t>(std::find(lines.begin(), lines.end(), loop_started) - lines.begin());
  long expected_step = 0;
  lktest::StepLine s;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!lktest::parseStepLine(lines[i], &s)) continue;
    EXPECT_GT(i, loop_start) << lines[i];
    EXPECT_EQ(s.step, expected_step++) << lines[i];
  }
  EXPECT_GE(expected_step, 30);
  EXPECT_EQ(lktest::readFile("../stdout.txt").find("unable"), std::string::npos);
}

TEST(ProgramStartTest, NoXServerEndsTheProgramWithStatus1) {
  lktest::stageGameAssets();
  int n = 200;
  while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n))) ++n;
  setenv("DISPLAY", (":" + std::to_string(n)).c_str(), 1);
  const int status = runProgram();
  ASSERT_TRUE(WIFEXITED(status)) << status << "\n" << lktest::readFile("../stderr.txt");
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(lktest::readFile("../stdout.txt"),
            "DisplayManager was unable to successfully start up.\n"
            "InputManager was unable to successfully start up.\n"
            "GameManager::startUp(): ERROR: Not all managers were successfully started.\n\n"
            "ERROR: The GameManager could not start up successfully.\n");
  EXPECT_TRUE(lktest::logHas("DisplayManager::startUp(): The SFML graphics window could not be rendered."));
}

// No audio device: one line in the log says so, and a game is played and
// ended in silence, with the audio library's complaints neither on standard
// error nor in the log.
TEST(ProgramStartTest, NoAudioDevicePlaysSilently) {
  using lktest::e2e::GameProcess;
  ASSERT_TRUE(lktest::usePrivateDisplay()) << "Xvfb did not start";
  GameProcess game(lktest::parentDir() + "/game");
  ASSERT_TRUE(game.start(GameProcess::Audio::NO_DEVICE)) << game.error();
  ASSERT_TRUE(game.findWindow(60000)) << game.error() << "\n" << game.stderrText();
  ASSERT_TRUE(game.waitForStep(5, 60000));
  ASSERT_TRUE(game.key("1"));
  ASSERT_TRUE(game.waitForStep(game.lastStep() + 90, 60000));
  ASSERT_TRUE(game.key("q"));
  // The end screen shows for 135 steps, then the start screen is back.
  ASSERT_TRUE(game.waitForStep(game.lastStep() + 180, 60000));
  ASSERT_TRUE(game.key("q"));
  EXPECT_EQ(game.waitExit(30000), 0) << game.stderrText();
  EXPECT_LT(game.stderrText().size(), 4096u) << game.stderrText();
  int audio_lines = 0;
  for (std::string line : game.logLines()) {
    for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    audio_lines += line.find("audio") != std::string::npos || line.find("openal") != std::string::npos;
  }
  EXPECT_EQ(audio_lines, 1);
  EXPECT_EQ(game.logCount("ResourceManager::startUp(): No audio device could be opened. The game plays without sound."), 1);
  EXPECT_EQ(game.logCount("Music::loadMusic(): music successfully opened from ../sounds/ducks-quacking.wav."), 1);
}
