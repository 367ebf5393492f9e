#include "Support.h"

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace lkt {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::vector<std::string> logLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(readFile(path));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // a log written on Windows
    if (line.size() >= 10 && line[2] == ':' && line[8] == ' ') line = line.substr(10);
    // SFML's remarks on the machine (no vertical sync under Xvfb) may come between any two lines.
    if (line.rfind("SFML::err(): ", 0) != 0) lines.push_back(line);
  }
  return lines;
}

int logCount(const std::string& line, const std::string& path) {
  const std::vector<std::string> lines = logLines(path);
  return int(std::count(lines.begin(), lines.end(), line));
}

bool run(const std::string& shell_command) { return std::system((shell_command + " >/dev/null 2>&1").c_str()) == 0; }

std::string gameDir() { return LK_GAME_DIR_PATH; }

void stageAssets() {
  for (const char* part : {"sprites", "sounds", "lk-font.ttf"})
    fs::copy(gameDir() + "/" + part, std::string("../") + part, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

int count(const sf::Image& image, sf::IntRect area, const std::function<bool(sf::Color)>& test) {
  int n = 0;
  for (int y = std::max(area.top, 0); y < std::min(area.top + area.height, int(image.getSize().y)); ++y)
    for (int x = std::max(area.left, 0); x < std::min(area.left + area.width, int(image.getSize().x)); ++x)
      n += test(image.getPixel(unsigned(x), unsigned(y)));
  return n;
}

#ifndef _WIN32
bool privateDisplay() {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const pid_t parent = getpid();
  if (fork() == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int null_fd = open("/dev/null", O_WRONLY);
    if (getppid() != parent || dup2(null_fd, 1) < 0 || dup2(null_fd, 2) < 0 || close(fds[0]) != 0) _exit(1);
    execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(fds[1]).c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  struct pollfd p = {fds[0], POLLIN, 0};
  for (char c; poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n';) number += c;
  close(fds[0]);
  return !number.empty() && setenv("DISPLAY", (":" + number).c_str(), 1) == 0;
}
#endif

}  // namespace lkt

// A fresh folder for each test process; what it plays recorded by OpenAL Soft's "wave" output.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::error_code error;
  fs::path parent = fs::temp_directory_path() / "lk-test-";
  for (std::random_device random; !fs::create_directory(parent.replace_filename("lk-test-" + std::to_string(random())), error);)
    if (error) return 2;
  fs::create_directory(parent / "run", error);
  fs::current_path(parent / "run", error);
  if (error) return 2;
  const std::string conf = (parent / "alsoft.conf").string();
  lkt::writeFile(conf, "[general]\ndrivers=wave\n[wave]\nfile=" + (parent / "audio.wav").string() + "\n");
#ifdef _WIN32
  _putenv_s("ALSOFT_CONF", conf.c_str());
#else
  setenv("ALSOFT_CONF", conf.c_str(), 1);
#endif
  const int result = RUN_ALL_TESTS();
  fs::current_path(parent, error);
  if (result == 0 && std::getenv("LK_TEST_KEEP_DIRS") == nullptr) fs::remove_all(parent, error);
  return result;
}
