#include "GameProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "TestSupport.h"

extern char** environ;

namespace fs = std::filesystem;

namespace lktest {
namespace e2e {

namespace {

const char* const STEP_PREFIX = "GameManager::run(): (step #";
const char* const GL_DRIVER = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so";

}  // namespace

const std::vector<std::string> ASSET_FILES = {
    "sprites/gun-spr.txt",         "sprites/duck-flyleft-spr.txt",   "sprites/duck-flyright-spr.txt",
    "sprites/duck-shot-spr.txt",   "sprites/ground-spr.txt",         "sprites/start-game-alt-spr.txt",
    "sprites/start-game-spr.txt",  "sprites/end-game-spr.txt",       "sprites/new-round-spr.txt",
    "sounds/gun-shot.wav",         "sounds/new-round.mp3",           "sounds/start-music.wav",
    "sounds/ducks-quacking.wav"};

long long nowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool waitFor(const std::function<bool()>& condition, int timeout_ms, int poll_ms) {
  const long long deadline = nowMs() + timeout_ms;
  while (!condition()) {
    if (nowMs() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(poll_ms));
  }
  return true;
}

int runCommand(const std::vector<std::string>& argv, int timeout_ms, std::string* out) {
  // timeout(1) kills a command that hangs.
  std::string command = "timeout -s KILL " + std::to_string(timeout_ms / 1000.0);
  for (const std::string& arg : argv) {
    command += " '";
    for (char c : arg) command += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += "'";
  }
  FILE* p_pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (p_pipe == nullptr) return -1;
  std::string output;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p_pipe)) > 0;) output.append(buffer, n);
  const int status = pclose(p_pipe);
  if (out != nullptr) *out = output;
  // 124 and up: timed out, killed, or not run at all.
  return WIFEXITED(status) && WEXITSTATUS(status) < 124 ? WEXITSTATUS(status) : -1;
}

// LK_PROGRAM, e.g. "wine /path/bin/fowlshot.exe", plays another build of the
// game: its last word is the program, the words before it start it, and the
// program's bin/ folder and the assets beside it are the tree copied.
namespace {
std::vector<std::string> programCommand() {
  std::istringstream words(std::getenv("LK_PROGRAM") != nullptr ? std::getenv("LK_PROGRAM") : "");
  std::vector<std::string> command;
  for (std::string word; words >> word;) command.push_back(word);
  if (command.empty()) command.push_back(gameDir() + "/bin/fowlshot");
  return command;
}
}  // namespace

GameProcess::GameProcess(std::string dir, std::vector<std::string> missing, std::string source)
    : m_dir(std::move(dir)),
      m_source(source.empty() ? fs::path(programCommand().back()).parent_path().parent_path().string()
                              : std::move(source)),
      m_missing(std::move(missing)) {}

GameProcess::~GameProcess() {
  if (running() && kill(m_pid, SIGKILL) == 0) waitExit(5000);
}

bool GameProcess::start(Audio audio) {
  try {
    fs::remove_all(m_dir);
    fs::create_directories(m_dir + "/bin");
    for (const char* part : {"/bin", "/sprites", "/sounds", "/lk-font.ttf"})
      fs::copy(m_source + part, m_dir + part, fs::copy_options::recursive);
    for (const std::string& file : m_missing)
      if (!fs::remove(m_dir + "/" + file)) throw std::runtime_error("no " + file + " in the game's copy");
    for (const auto& file : m_replaced) writeFile(m_dir + "/" + file.first, file.second);
  } catch (const std::exception& e) {
    m_error = e.what();
    return false;
  }
  const std::string conf = m_dir + "/alsoft.conf";
  const std::string wave_file = audio == Audio::RECORDED ? audioPath() : m_dir + "/no/such/folder/audio.wav";
  writeFile(conf, audio == Audio::SILENT ? std::string("[general]\ndrivers=null\n")
                                         : "[general]\ndrivers=wave\n\n[wave]\nfile=" + wave_file + "\n");

  std::vector<std::string> env = {"ALSOFT_CONF=" + conf};
  for (char** p = environ; *p != nullptr; ++p)
    if (std::strncmp(*p, "ALSOFT_CONF=", 12) != 0) env.push_back(*p);
  // A sanitizer build must not fail on what the system's libraries keep.
  if (std::getenv("LSAN_OPTIONS") == nullptr)
    env.push_back("LSAN_OPTIONS=suppressions=" + sourceDir() + "/tests/lsan.supp");
  // Mesa's driver, unloaded with the window before the leak check, would
  // leave leaks of an unknown module that no suppression can name.
  std::vector<std::string> command = programCommand();
  if (std::getenv("LD_PRELOAD") == nullptr && fs::exists(GL_DRIVER) && command.size() == 1)
    env.push_back(std::string("LD_PRELOAD=") + GL_DRIVER);
  std::vector<char*> c_env;
  for (std::string& entry : env) c_env.push_back(&entry[0]);
  c_env.push_back(nullptr);
  const std::string bin = m_dir + "/bin", out = m_dir + "/stdout.txt", err = m_dir + "/stderr.txt";
  command.back() = "./" + fs::path(command.back()).filename().string();
  std::vector<char*> args;
  for (std::string& word : command) args.push_back(&word[0]);
  args.push_back(nullptr);

  const pid_t parent = getpid();
  m_pid = fork();
  if (m_pid == 0) {
    // Only async-signal-safe calls from here. The game dies with the test.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    const int fds[3] = {open("/dev/null", O_RDONLY), open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
                        open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)};
    for (int fd = 0; fd < 3; ++fd)
      if (fds[fd] < 0 || dup2(fds[fd], fd) < 0) _exit(127);
    if (chdir(bin.c_str()) == 0) execvpe(args[0], args.data(), c_env.data());
    _exit(127);
  }
  if (m_pid < 0) m_error = "cannot start the game";
  return m_pid > 0;
}

bool GameProcess::findWindow(int timeout_ms) {
  std::string out;
  if (runCommand({"xdotool", "search", "--sync", "--name", "^Fowlshot Lark$"}, timeout_ms, &out) != 0) {
    m_error = "no window titled \"Fowlshot Lark\" appeared";
    return false;
  }
  m_window = out.substr(0, out.find('\n'));
  // With no window manager the focus is set directly; keys then reach the
  // window wherever the pointer is.
  return runCommand({"xdotool", "windowfocus", "--sync", m_window}, 5000) == 0;
}

int GameProcess::waitExit(int timeout_ms) {
  int status = 0;
  if (m_pid > 0 && m_status == -1 && waitFor([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, timeout_ms, 5))
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
  return m_pid > 0 ? m_status : -2;
}

std::vector<std::string> GameProcess::logLines() const {
  std::vector<std::string> lines;
  std::istringstream in(readFile(m_dir + "/lark.log"));
  // Each line starts with "hh:mm:ss  ".
  for (std::string line; std::getline(in, line);) lines.push_back(line.size() >= 10 ? line.substr(10) : line);
  return lines;
}

int GameProcess::logCount(const std::string& line) const {
  const std::vector<std::string> lines = logLines();
  return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

int GameProcess::lastStep() const {
  // Only the tail is read: the log grows by a line every step.
  std::ifstream in(m_dir + "/lark.log", std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
  in.seekg(std::max<std::streamoff>(0, size - 4096));
  std::string tail((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  tail.erase(tail.rfind('\n') + 1);  // a line still being written does not count
  const std::size_t at = tail.rfind(STEP_PREFIX);
  return at == std::string::npos ? -1 : std::atoi(tail.c_str() + at + std::strlen(STEP_PREFIX));
}

std::vector<int> GameProcess::stepsOf(const std::string& line) const {
  std::vector<int> steps;
  int last = -1;
  for (const std::string& l : logLines()) {
    if (l.rfind(STEP_PREFIX, 0) == 0)
      last = std::atoi(l.c_str() + std::strlen(STEP_PREFIX));
    else if (l == line)
      steps.push_back(last + 1);  // written in the iteration after the last step line
  }
  return steps;
}

bool GameProcess::waitForStep(int step, int timeout_ms) {
  return waitFor([&] { return lastStep() >= step; }, timeout_ms, 2);
}

bool GameProcess::waitForLogCount(const std::string& line, int count, int timeout_ms) {
  return waitFor([&] { return logCount(line) >= count; }, timeout_ms, 50);
}

bool GameProcess::key(const std::string& keysym) { return runCommand({"xdotool", "key", keysym}, 10000) == 0; }

bool GameProcess::moveMouse(int x, int y) {
  return runCommand({"xdotool", "mousemove", "--sync", "--window", m_window, std::to_string(x), std::to_string(y)},
                    10000) == 0;
}

bool GameProcess::click(int button) { return runCommand({"xdotool", "click", std::to_string(button)}, 10000) == 0; }

bool GameProcess::screenshot(sf::Image& image, const std::string& save_as) {
  std::string bmp;
  if (runCommand({"import", "-window", m_window, "-depth", "8", "bmp3:-"}, 20000, &bmp) != 0 ||
      !image.loadFromMemory(bmp.data(), bmp.size()))
    return false;
  return save_as.empty() || image.saveToFile(save_as);
}

std::string GameProcess::stderrText() const { return readFile(m_dir + "/stderr.txt"); }

std::string GameProcess::sanitizerReport() const {
  const std::string err = stderrText();
  for (const char* marker : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:", "WARNING: AddressSanitizer"})
    if (err.find(marker) != std::string::npos) return err.substr(err.find(marker) > 200 ? err.find(marker) - 200 : 0, 4000);
  return "";
}

}  // namespace e2e
}  // namespace lktest
