// Running the real game as a separate program and playing it as a person
// would: a private X server, the program started from a copy of the staged
// game tree, keys and pointer through xdotool, screenshots through
// ImageMagick's import, and its log and recorded audio read back.
#ifndef LK_GAME_PROCESS_H
#define LK_GAME_PROCESS_H

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include <SFML/Graphics/Image.hpp>

namespace lktest {
namespace e2e {

// Runs a program (looked up on PATH) with the given arguments, waits at most
// timeout_ms and returns its exit status; -1 when it could not be started,
// was killed by a signal, or ran out of time (it is then killed). Standard
// output is kept in *out when out is given.
int runCommand(const std::vector<std::string>& argv, int timeout_ms, std::string* out = nullptr);

// Polls the condition every poll_ms until it holds or timeout_ms has passed.
bool waitFor(const std::function<bool()>& condition, int timeout_ms, int poll_ms = 20);

// Milliseconds on a monotonic clock.
long long nowMs();

// An Xvfb server of this test's own, so that two tests running at once never
// share the pointer or the keyboard focus. DISPLAY of this process points at
// it while it lives, and every program started afterwards inherits it.
class PrivateDisplay {
 public:
  PrivateDisplay();
  ~PrivateDisplay();
  PrivateDisplay(const PrivateDisplay&) = delete;
  PrivateDisplay& operator=(const PrivateDisplay&) = delete;

  bool ok() const { return !m_name.empty(); }
  const std::string& name() const { return m_name; }

 private:
  pid_t m_pid = -1;
  std::string m_name;
  std::string m_previous;
  bool m_had_previous = false;
};

// The thirteen asset files of the game, relative to the game folder.
const std::vector<std::string>& assetFiles();

// One run of the game binary from a private copy of the staged tree.
class GameProcess {
 public:
  // dir: a folder of its own (created); it receives bin/fowlshot, sprites/,
  // sounds/ and lk-font.ttf copied from `source_game_dir` (by default the
  // build's staged tree), less the files named in `missing`.
  explicit GameProcess(std::string dir, std::vector<std::string> missing = {},
                       std::string source_game_dir = "");
  // Kills the program if it is still running.
  ~GameProcess();
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // Copies the tree and starts bin/fowlshot in bin/, with OpenAL's output
  // recorded to audioPath(). False (with the reason in error()) on failure.
  bool start();
  // Before start: play into OpenAL's null output instead of a recording
  // (long runs would write some 350 KB a second).
  void discardAudio() { m_record_audio = false; }
  // Waits for the window titled "Fowlshot Lark" and gives it the focus.
  bool findWindow(int timeout_ms);
  const std::string& windowId() const { return m_window; }

  bool running();
  // The exit status once the program has ended within the time; -1 when it
  // is still running, -2 when it ended by a signal.
  int waitExit(int timeout_ms);
  int exitStatus() const { return m_status; }
  pid_t pid() const { return m_pid; }

  // Lines of "lark.log" without their time stamps.
  std::vector<std::string> logLines() const;
  // Number of log lines equal to the text.
  int logCount(const std::string& line) const;
  // Number of the last "(step #N)" line, -1 before the first.
  int lastStep() const;
  // For each log line equal to `line`, the step whose iteration wrote it:
  // one more than the step line before it.
  std::vector<int> stepsOf(const std::string& line) const;
  bool waitForStep(int step, int timeout_ms);
  bool waitForLogCount(const std::string& line, int count, int timeout_ms);

  // Input, as xdotool sends it through the X server.
  bool key(const std::string& keysym);
  bool moveMouse(int x, int y);  // window pixels
  bool click(int button = 1);
  // Pointer move and button press in one go.
  bool moveAndClick(int x, int y, int button = 1);

  // The window's pixels (1024 x 768); saved as PNG too when a path is given.
  bool screenshot(sf::Image& image, const std::string& save_as = "");

  const std::string& dir() const { return m_dir; }
  std::string audioPath() const { return m_dir + "/audio.wav"; }
  std::string logPath() const { return m_dir + "/lark.log"; }
  std::string stdoutText() const;
  std::string stderrText() const;
  // Sanitizer reports found in the program's standard error, if any.
  std::string sanitizerReport() const;
  const std::string& error() const { return m_error; }

 private:
  bool copyTree();

  std::string m_dir;
  std::vector<std::string> m_missing;
  std::string m_source;
  std::string m_window;
  std::string m_error;
  pid_t m_pid = -1;
  int m_status = -1;
  bool m_record_audio = true;
};

}  // namespace e2e
}  // namespace lktest

#endif
