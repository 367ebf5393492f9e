// The real program: a start-up failure ends it at once with status 1 and
// three lines on standard output; a normal start runs the loop step by step.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

using Entries = std::vector<std::string>;

std::string programPath() { return lktest::gameDir() + "/bin/fowlshot"; }

// Starts the program in the current folder with its output going to files.
// In a sanitizer build a program that exits checks for leaks; the GL driver
// is unloaded with the window, and only the slower unwinder then sees through
// its frames to the library the suppressions name. It is too slow for the
// game loop, so only a program expected to end by itself gets it.
pid_t startProgram(const std::string& stdout_path, const std::string& stderr_path,
                   bool ends_by_itself) {
  const std::string program = programPath();
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string asan_options =
      std::string(asan != nullptr ? asan : "") + (ends_by_itself ? ":fast_unwind_on_malloc=0" : "");
  const char* lsan = std::getenv("LSAN_OPTIONS");
  const std::string lsan_options =
      lsan != nullptr ? lsan : "suppressions=" + lktest::sourceDir() + "/tests/lsan.supp";
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("ASAN_OPTIONS", asan_options.c_str(), 1);
    setenv("LSAN_OPTIONS", lsan_options.c_str(), 1);
    const int out = open(stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(stderr_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// Waits for the program to end; false (and the program killed) if it does
// not within the time.
bool waitForExit(pid_t pid, int* p_status, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, p_status, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, p_status, 0);
  return false;
}

bool isStepLine(const std::string& line, int* p_step) {
  static const std::regex pattern(
      R"(GameManager::run\(\): \(step #([0-9]+)\) loop_time = [0-9]+ microseconds, )"
      R"(sleep_time = [0-9]+ milliseconds\.)");
  std::smatch m;
  if (!std::regex_match(line, m, pattern)) return false;
  *p_step = std::stoi(m[1]);
  return true;
}

int countStepLines(const Entries& lines) {
  int n = 0, step = 0;
  for (const std::string& line : lines)
    if (isStepLine(line, &step)) ++n;
  return n;
}

}  // namespace

TEST(ProgramStartTest, UnwritableLogEndsTheProgramWithStatus1) {
  ASSERT_TRUE(lktest::requireDisplay());
  lktest::stageGameAssets();
  std::filesystem::create_directory("../lark.log");

  const pid_t pid = startProgram("../stdout.txt", "../stderr.txt", true);
  ASSERT_GT(pid, 0);
  int status = 0;
  ASSERT_TRUE(waitForExit(pid, &status, std::chrono::seconds(60))) << "the program kept running";
  ASSERT_TRUE(WIFEXITED(status)) << lktest::readFile("../stderr.txt");
  EXPECT_EQ(WEXITSTATUS(status), 1);
  // Nothing else: no asset was loaded, so no sprite lines were echoed.
  EXPECT_EQ(lktest::readFile("../stdout.txt"),
            "LogManager was unable to successfully start up.\n"
            "GameManager::startUp(): ERROR: Not all managers were successfully started.\n\n"
            "ERROR: The GameManager could not start up successfully.\n");
  EXPECT_TRUE(std::filesystem::is_directory("../lark.log"));
}

TEST(ProgramStartTest, NormalStartLogsStartUpThenEveryStepInOrder) {
  ASSERT_TRUE(lktest::requireDisplay());
  lktest::stageGameAssets();

  const pid_t pid = startProgram("../stdout.txt", "../stderr.txt", false);
  ASSERT_GT(pid, 0);
  // The program ends only on Q; stop it once it has run a few steps.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int status = 0;
  bool ended_by_itself = false;
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      ended_by_itself = true;
      break;
    }
    if (countStepLines(lktest::logLines()) >= 30) break;  // about a second of play
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!ended_by_itself) {
    kill(pid, SIGTERM);
    waitpid(pid, &status, 0);
  }
  ASSERT_FALSE(ended_by_itself) << "status " << status << "\n" << lktest::readFile("../stderr.txt");
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);

  const Entries lines = lktest::logLines();
  const Entries start_up = {
      "LogManager::startUp(): lark.log was opened successfully.",
      "LogManager::startUp(): LogManager was successfully started.",
      "DisplayManager::startUp(): DisplayManager was successfully started.",
      "InputManager::startUp(): InputManager was successfully started.",
      "WorldManager::startUp(): WorldManager was successfully started.",
      "GameManager::startUp(): All managers successfully started.",
      "",
  };
  ASSERT_GE(lines.size(), start_up.size());
  EXPECT_EQ(Entries(lines.begin(), lines.begin() + static_cast<long>(start_up.size())), start_up);

  // The loop starts once, after start-up, and its steps follow in order.
  int loop_started_at = -1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != "GameManager::run(): game loop started.") continue;
    EXPECT_EQ(loop_started_at, -1) << "the loop started twice";
    loop_started_at = static_cast<int>(i);
  }
  ASSERT_GE(loop_started_at, static_cast<int>(start_up.size()));
  int expected_step = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int step = 0;
    if (!isStepLine(lines[i], &step)) continue;
    EXPECT_GT(static_cast<int>(i), loop_started_at);
    EXPECT_EQ(step, expected_step) << lines[i];
    expected_step = step + 1;
  }
  EXPECT_GE(expected_step, 30);
  EXPECT_EQ(lktest::readFile("../stdout.txt").find("unable"), std::string::npos);
}
