// Running the real game as a separate program and playing it as a person
// would: keys and pointer through xdotool, screenshots through ImageMagick's
// import, and its log and recorded audio read back.
#ifndef LK_GAME_PROCESS_H
#define LK_GAME_PROCESS_H

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <SFML/Graphics/Image.hpp>

namespace lktest {
namespace e2e {

// A program on PATH: its exit status, or -1 when it could not run, was
// killed or timed out. Standard output goes to *out if given.
int runCommand(const std::vector<std::string>& argv, int timeout_ms, std::string* out = nullptr);
bool waitFor(const std::function<bool()>& condition, int timeout_ms, int poll_ms = 20);
long long nowMs();

// The thirteen asset files, relative to the game folder.
extern const std::vector<std::string> ASSET_FILES;

class GameProcess {
 public:
  // Plays from a copy, in `dir`, of the staged game in `source` (the build's
  // by default), less the `missing` files.
  explicit GameProcess(std::string dir, std::vector<std::string> missing = {}, std::string source = "");
  ~GameProcess();  // kills the program if it still runs
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // Gives `file` (e.g. "sounds/gun-shot.wav") new content in the copy.
  void replace(const std::string& file, std::string content) { m_replaced.emplace_back(file, std::move(content)); }
  // What OpenAL Soft plays to: audioPath(), nowhere, or a device that
  // cannot be opened.
  enum class Audio { RECORDED, SILENT, NO_DEVICE };
  // Copies the tree and starts bin/fowlshot (or LK_PROGRAM's) in bin/, dying
  // with this process.
  bool start(Audio audio = Audio::RECORDED);
  // Waits for the window titled "Fowlshot Lark" and gives it the focus.
  bool findWindow(int timeout_ms);
  bool running() { return waitExit(0) == -1; }
  // Exit status; -1 while running, -2 when ended by a signal.
  int waitExit(int timeout_ms);
  pid_t pid() const { return m_pid; }

  std::vector<std::string> logLines() const;  // without time stamps
  int logCount(const std::string& line) const;
  // Number of the last "(step #N)" line, -1 before the first.
  int lastStep() const;
  // For each log line equal to `line`, the step whose iteration wrote it.
  std::vector<int> stepsOf(const std::string& line) const;
  bool waitForStep(int step, int timeout_ms);
  bool waitForLogCount(const std::string& line, int count, int timeout_ms);

  bool key(const std::string& keysym);
  bool moveMouse(int x, int y);  // window pixels
  bool click(int button = 1);
  // The window's pixels; saved as PNG too when a path is given.
  bool screenshot(sf::Image& image, const std::string& save_as = "");

  const std::string& dir() const { return m_dir; }
  std::string audioPath() const { return m_dir + "/audio.wav"; }
  std::string stderrText() const;
  std::string sanitizerReport() const;  // the first in standard error, or ""
  const std::string& error() const { return m_error; }

 private:
  std::string m_dir, m_source, m_window, m_error;
  std::vector<std::string> m_missing;
  std::vector<std::pair<std::string, std::string>> m_replaced;
  pid_t m_pid = -1;
  int m_status = -1;
};

}  // namespace e2e
}  // namespace lktest

#endif
