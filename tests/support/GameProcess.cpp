#include "GameProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "TestSupport.h"

extern char** environ;

namespace fs = std::filesystem;

namespace lktest {
namespace e2e {

namespace {

const char* const STEP_PREFIX = "GameManager::run(): (step #";
const char* const GL_DRIVER = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so";

std::vector<char*> cStrings(std::vector<std::string>& strings) {
  std::vector<char*> result;
  for (std::string& s : strings) result.push_back(s.data());
  result.push_back(nullptr);
  return result;
}

// The environment of this process with some variables replaced or added.
std::vector<std::string> environmentWith(const std::vector<std::pair<std::string, std::string>>& changes) {
  std::vector<std::string> env;
  for (char** p = environ; *p != nullptr; ++p) {
    const std::string entry = *p;
    bool replaced = false;
    for (const auto& change : changes)
      if (entry.compare(0, change.first.size() + 1, change.first + "=") == 0) replaced = true;
    if (!replaced) env.push_back(entry);
  }
  for (const auto& change : changes) env.push_back(change.first + "=" + change.second);
  return env;
}

// Waits for the child within the time; its wait status, or -1 on timeout.
int waitChild(pid_t pid, long long deadline_ms) {
  while (true) {
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return status;
    if (r < 0) return 0;
    if (nowMs() >= deadline_ms) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::string stripStamp(const std::string& line) {
  if (line.size() >= 10 && line[2] == ':' && line[5] == ':' && line[8] == ' ' && line[9] == ' ')
    return line.substr(10);
  return line;
}

// Step number of a step line, or -1 for any other line.
int stepOf(const std::string& line) {
  if (line.compare(0, std::strlen(STEP_PREFIX), STEP_PREFIX) != 0) return -1;
  return std::atoi(line.c_str() + std::strlen(STEP_PREFIX));
}

// A file the child opens on one of its descriptors.
struct ChildFile {
  int fd;
  std::string path;
  int flags;
};

std::string findOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':'))
    if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return dir + "/" + program;
  return program;
}

// Starts a long-lived child that is killed when this process ends, so a
// test that crashes leaves no X server or game behind. Only async-signal-
// safe calls run between fork and exec.
pid_t spawnTied(const std::string& program, std::vector<std::string> args, std::vector<std::string> env,
                const std::string& cwd, const std::vector<ChildFile>& files,
                const std::vector<std::pair<int, int>>& dups) {
  std::vector<char*> c_args = cStrings(args);
  std::vector<char*> c_env = cStrings(env);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  for (const auto& dup : dups) {
    // dup2 onto itself would keep the close-on-exec flag.
    if (dup.second == dup.first ? fcntl(dup.first, F_SETFD, 0) < 0 : dup2(dup.second, dup.first) < 0) _exit(127);
  }
  for (const ChildFile& file : files) {
    const int fd = open(file.path.c_str(), file.flags, 0644);
    if (fd < 0 || dup2(fd, file.fd) < 0) _exit(127);
    if (fd != file.fd) close(fd);
  }
  if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
  execve(program.c_str(), c_args.data(), c_env.data());
  _exit(127);
}

}  // namespace

long long nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool waitFor(const std::function<bool()>& condition, int timeout_ms, int poll_ms) {
  const long long deadline = nowMs() + timeout_ms;
  while (true) {
    if (condition()) return true;
    if (nowMs() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(poll_ms));
  }
}

int runCommand(const std::vector<std::string>& argv, int timeout_ms, std::string* out) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> args = argv;
  std::vector<char*> c_args = cStrings(args);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, c_args[0], &actions, nullptr, c_args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (spawned != 0) {
    close(fds[0]);
    return -1;
  }

  const long long deadline = nowMs() + timeout_ms;
  std::string output;
  char buffer[65536];
  bool timed_out = false;
  while (true) {
    const long long left = deadline - nowMs();
    if (left <= 0) {
      timed_out = true;
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      timed_out = ready == 0;
      break;
    }
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    output.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (timed_out) kill(pid, SIGKILL);
  int status = waitChild(pid, timed_out ? nowMs() + 5000 : deadline + 1000);
  if (status == -1) {
    kill(pid, SIGKILL);
    status = waitChild(pid, nowMs() + 5000);
    timed_out = true;
  }
  if (out != nullptr) *out = output;
  if (timed_out || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// ---------------------------------------------------------------------------

PrivateDisplay::PrivateDisplay() {
  // Xvfb picks a free display number itself and writes it to this pipe once
  // it accepts connections, so parallel tests never race for a number.
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  const int child_fd = 9;
  std::vector<std::string> args = {"Xvfb",        "-displayfd", std::to_string(child_fd), "-screen", "0",
                                   "1280x1024x24", "-nolisten",  "tcp",                    "-noreset"};
  m_pid = spawnTied(findOnPath("Xvfb"), args, environmentWith({}), "",
                    {{1, "/dev/null", O_WRONLY}, {2, "/dev/null", O_WRONLY}}, {{child_fd, fds[1]}});
  close(fds[1]);
  if (m_pid < 0) {
    close(fds[0]);
    return;
  }

  std::string number;
  const long long deadline = nowMs() + 20000;
  while (number.find('\n') == std::string::npos) {
    const long long left = deadline - nowMs();
    if (left <= 0) break;
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) break;
    char c[32];
    const ssize_t n = read(fds[0], c, sizeof c);
    if (n <= 0) break;
    number.append(c, static_cast<size_t>(n));
  }
  close(fds[0]);
  const std::size_t end = number.find('\n');
  if (end == std::string::npos || end == 0) return;

  m_name = ":" + number.substr(0, end);
  const char* previous = std::getenv("DISPLAY");
  m_had_previous = previous != nullptr;
  if (m_had_previous) m_previous = previous;
  setenv("DISPLAY", m_name.c_str(), 1);
}

PrivateDisplay::~PrivateDisplay() {
  if (m_pid > 0) {
    kill(m_pid, SIGTERM);
    if (waitChild(m_pid, nowMs() + 5000) == -1) {
      kill(m_pid, SIGKILL);
      waitChild(m_pid, nowMs() + 5000);
    }
  }
  if (!m_name.empty()) {
    if (m_had_previous)
      setenv("DISPLAY", m_previous.c_str(), 1);
    else
      unsetenv("DISPLAY");
  }
}

// ---------------------------------------------------------------------------

const std::vector<std::string>& assetFiles() {
  static const std::vector<std::string> files = {
      "sprites/gun-spr.txt",          "sprites/duck-flyleft-spr.txt",
      "sprites/duck-flyright-spr.txt", "sprites/duck-shot-spr.txt",
      "sprites/ground-spr.txt",        "sprites/start-game-alt-spr.txt",
      "sprites/start-game-spr.txt",    "sprites/end-game-spr.txt",
      "sprites/new-round-spr.txt",     "sounds/gun-shot.wav",
      "sounds/new-round.mp3",          "sounds/start-music.wav",
      "sounds/ducks-quacking.wav"};
  return files;
}

GameProcess::GameProcess(std::string dir, std::vector<std::string> missing, std::string source_game_dir)
    : m_dir(std::move(dir)),
      m_missing(std::move(missing)),
      m_source(source_game_dir.empty() ? gameDir() : std::move(source_game_dir)) {}

GameProcess::~GameProcess() {
  if (m_pid > 0 && m_status == -1) {
    kill(m_pid, SIGKILL);
    waitChild(m_pid, nowMs() + 5000);
  }
}

bool GameProcess::copyTree() {
  std::error_code ec;
  fs::remove_all(m_dir, ec);
  fs::create_directories(m_dir + "/bin", ec);
  if (ec) {
    m_error = "cannot create " + m_dir + ": " + ec.message();
    return false;
  }
  fs::copy_file(m_source + "/bin/fowlshot", m_dir + "/bin/fowlshot", ec);
  if (!ec) fs::copy(m_source + "/sprites", m_dir + "/sprites", fs::copy_options::recursive, ec);
  if (!ec) fs::copy(m_source + "/sounds", m_dir + "/sounds", fs::copy_options::recursive, ec);
  if (!ec) fs::copy_file(m_source + "/lk-font.ttf", m_dir + "/lk-font.ttf", ec);
  if (ec) {
    m_error = "cannot copy the game from " + m_source + ": " + ec.message();
    return false;
  }
  for (const std::string& file : m_missing) {
    if (!fs::remove(m_dir + "/" + file, ec)) {
      m_error = "no " + file + " to remove in the game copy";
      return false;
    }
  }
  writeFile(m_dir + "/alsoft.conf", m_record_audio
                                        ? "[general]\ndrivers=wave\n\n[wave]\nfile=" + audioPath() + "\n"
                                        : std::string("[general]\ndrivers=null\n"));
  return true;
}

bool GameProcess::start() {
  if (!copyTree()) return false;

  std::vector<std::pair<std::string, std::string>> changes = {{"ALSOFT_CONF", m_dir + "/alsoft.conf"}};
  // A sanitizer build of the game must not fail on what the system's
  // graphics and audio libraries keep until exit.
  if (std::getenv("LSAN_OPTIONS") == nullptr)
    changes.push_back({"LSAN_OPTIONS", "suppressions=" + sourceDir() + "/tests/lsan.supp"});
  // Mesa's software driver leaks a little and is unloaded when the window
  // closes, before the leak check runs, so its leaks come from an unknown
  // module that no suppression can name. Loaded up front, it stays loaded.
  if (std::getenv("LD_PRELOAD") == nullptr && fs::exists(GL_DRIVER))
    changes.push_back({"LD_PRELOAD", GL_DRIVER});
  std::vector<std::string> env = environmentWith(changes);
  const std::string bin = m_dir + "/bin";
  m_pid = spawnTied(bin + "/fowlshot", {"./fowlshot"}, env, bin,
                    {{0, "/dev/null", O_RDONLY},
                     {1, m_dir + "/stdout.txt", O_WRONLY | O_CREAT | O_TRUNC},
                     {2, m_dir + "/stderr.txt", O_WRONLY | O_CREAT | O_TRUNC}},
                    {});
  const int spawned = m_pid < 0 ? errno : 0;
  if (spawned != 0) {
    m_pid = -1;
    m_error = std::string("cannot start the game: ") + std::strerror(spawned);
    return false;
  }
  return true;
}

bool GameProcess::findWindow(int timeout_ms) {
  std::string out;
  const int status =
      runCommand({"xdotool", "search", "--sync", "--name", "^Fowlshot Lark$"}, timeout_ms, &out);
  if (status != 0) {
    m_error = "no window titled \"Fowlshot Lark\" appeared";
    return false;
  }
  std::istringstream lines(out);
  std::getline(lines, m_window);
  if (m_window.empty()) return false;
  // With no window manager the focus is set directly; keys then reach the
  // window wherever the pointer is.
  runCommand({"xdotool", "windowfocus", "--sync", m_window}, 5000);
  return true;
}

bool GameProcess::running() {
  if (m_pid <= 0 || m_status != -1) return false;
  return waitExit(0) == -1;
}

int GameProcess::waitExit(int timeout_ms) {
  if (m_pid <= 0) return -2;
  if (m_status != -1) return m_status;
  const int status = waitChild(m_pid, nowMs() + timeout_ms);
  if (status == -1) return -1;
  m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
  return m_status;
}

std::vector<std::string> GameProcess::logLines() const {
  std::vector<std::string> lines;
  std::istringstream in(readFile(logPath()));
  std::string line;
  while (std::getline(in, line)) lines.push_back(stripStamp(line));
  return lines;
}

int GameProcess::logCount(const std::string& line) const {
  int count = 0;
  for (const std::string& l : logLines())
    if (l == line) ++count;
  return count;
}

int GameProcess::lastStep() const {
  // Only the tail is read: the log grows by a line every step.
  std::ifstream in(logPath(), std::ios::binary | std::ios::ate);
  if (!in) return -1;
  const std::streamoff size = in.tellg();
  if (size <= 0) return -1;
  std::streamoff back = 4096;
  while (true) {
    const std::streamoff from = size > back ? size - back : 0;
    in.seekg(from);
    std::string tail(static_cast<size_t>(size - from), '\0');
    in.read(&tail[0], static_cast<std::streamsize>(tail.size()));
    std::istringstream lines(tail);
    std::string line;
    int last = -1;
    bool first = from > 0;  // the first line of a cut tail may be partial
    while (std::getline(lines, line)) {
      if (first) {
        first = false;
        continue;
      }
      if (!lines.eof()) {  // a line without its line end is still being written
        const int step = stepOf(stripStamp(line));
        if (step >= 0) last = step;
      }
    }
    if (last >= 0 || from == 0) return last;
    back *= 4;
  }
}

std::vector<int> GameProcess::stepsOf(const std::string& line) const {
  std::vector<int> steps;
  int last = -1;
  for (const std::string& l : logLines()) {
    const int step = stepOf(l);
    if (step >= 0)
      last = step;
    else if (l == line)
      steps.push_back(last + 1);
  }
  return steps;
}

bool GameProcess::waitForStep(int step, int timeout_ms) {
  return waitFor([&] { return lastStep() >= step; }, timeout_ms, 2);
}

bool GameProcess::waitForLogCount(const std::string& line, int count, int timeout_ms) {
  return waitFor([&] { return logCount(line) >= count; }, timeout_ms, 50);
}

bool GameProcess::key(const std::string& keysym) {
  return runCommand({"xdotool", "key", keysym}, 10000) == 0;
}

bool GameProcess::moveMouse(int x, int y) {
  return runCommand({"xdotool", "mousemove", "--sync", "--window", m_window, std::to_string(x),
                     std::to_string(y)},
                    10000) == 0;
}

bool GameProcess::click(int button) {
  return runCommand({"xdotool", "click", std::to_string(button)}, 10000) == 0;
}

bool GameProcess::moveAndClick(int x, int y, int button) {
  return runCommand({"xdotool", "mousemove", "--window", m_window, std::to_string(x),
                     std::to_string(y), "click", std::to_string(button)},
                    10000) == 0;
}

bool GameProcess::screenshot(sf::Image& image, const std::string& save_as) {
  std::string ppm;
  if (runCommand({"import", "-window", m_window, "-depth", "8", "ppm:-"}, 20000, &ppm) != 0) return false;
  // P6, width, height, maximum value, one white-space byte, then RGB bytes.
  std::istringstream header(ppm);
  std::string magic;
  unsigned int width = 0, height = 0, max_value = 0;
  header >> magic >> width >> height >> max_value;
  if (magic != "P6" || max_value != 255 || width == 0 || height == 0) return false;
  const std::size_t start = static_cast<std::size_t>(header.tellg()) + 1;
  if (ppm.size() < start + std::size_t(width) * height * 3) return false;
  std::vector<sf::Uint8> rgba(std::size_t(width) * height * 4);
  for (std::size_t i = 0; i < std::size_t(width) * height; ++i) {
    rgba[i * 4] = static_cast<sf::Uint8>(ppm[start + i * 3]);
    rgba[i * 4 + 1] = static_cast<sf::Uint8>(ppm[start + i * 3 + 1]);
    rgba[i * 4 + 2] = static_cast<sf::Uint8>(ppm[start + i * 3 + 2]);
    rgba[i * 4 + 3] = 255;
  }
  image.create(width, height, rgba.data());
  if (!save_as.empty()) image.saveToFile(save_as);
  return true;
}

std::string GameProcess::stdoutText() const { return readFile(m_dir + "/stdout.txt"); }

std::string GameProcess::stderrText() const { return readFile(m_dir + "/stderr.txt"); }

std::string GameProcess::sanitizerReport() const {
  const std::string err = stderrText();
  for (const char* marker : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                             "WARNING: AddressSanitizer"}) {
    const std::size_t at = err.find(marker);
    if (at != std::string::npos) return err.substr(at > 200 ? at - 200 : 0, 4000);
  }
  return "";
}

}  // namespace e2e
}  // namespace lktest
