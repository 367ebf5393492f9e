#include "Support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "DisplayManager.h"
#include "LoadResources.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "WorldManager.h"

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
  for (std::string line; std::getline(in, line);)
    lines.push_back(line.size() >= 10 && line[2] == ':' && line[8] == ' ' ? line.substr(10) : line);
  return lines;
}

int logCount(const std::string& line, const std::string& path) {
  int n = 0;
  for (const std::string& l : logLines(path)) n += l == line;
  return n;
}

bool run(const std::string& shell_command) { return std::system((shell_command + " >/dev/null 2>&1").c_str()) == 0; }

bool waitFor(const std::function<bool()>& condition, int timeout_ms, int poll_ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (; !condition(); std::this_thread::sleep_for(std::chrono::milliseconds(poll_ms)))
    if (std::chrono::steady_clock::now() > end) return false;
  return true;
}

bool privateDisplay() {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const pid_t parent = getpid();
  if (fork() == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int null_fd = open("/dev/null", O_WRONLY);
    if (getppid() != parent || dup2(null_fd, 1) < 0 || dup2(null_fd, 2) < 0 || close(fds[0]) != 0) _exit(1);
    // -displayfd: the server picks a free display and writes its number.
    execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(fds[1]).c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
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

std::string gameDir() { return LK_GAME_DIR_PATH; }

void stageAssets(const std::vector<std::string>& missing) {
  for (const char* part : {"sprites", "sounds", "lk-font.ttf"})
    fs::copy(gameDir() + "/" + part, std::string("../") + part,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  for (const std::string& file : missing) fs::remove("../" + file);
}

sf::Image captureWindow() {
  lk::DisplayManager& display = lk::DisplayManager::getInstance();
  display.flush();
  sf::Texture texture;
  texture.create(1024, 768);
  texture.update(*display.getWindow());
  return texture.copyToImage();
}

sf::IntRect cell(float column, float row, int inset) {
  const int left = int(column * 1024 / 120) + inset, top = int(row * 768 / 36) + inset;
  return {left, top, int((column + 1) * 1024 / 120) - inset - left, int((row + 1) * 768 / 36) - inset - top};
}

int count(const sf::Image& image, sf::IntRect area, const std::function<bool(sf::Color)>& test) {
  int n = 0;
  for (int y = std::max(area.top, 0); y < std::min(area.top + area.height, int(image.getSize().y)); ++y)
    for (int x = std::max(area.left, 0); x < std::min(area.left + area.width, int(image.getSize().x)); ++x)
      n += test(image.getPixel(unsigned(x), unsigned(y)));
  return n;
}

std::vector<std::string>& journal() {
  static std::vector<std::string> entries;
  return entries;
}

Recorder::Recorder(std::string init_name, lk::Vector at, lk::Solidness solidness) : name(std::move(init_name)) {
  setSolidness(solidness);
  setBox(lk::Box(lk::Vector(-0.5f, -0.5f), 1, 1));
  setPosition(at);
}

Recorder::~Recorder() {
  journal().push_back(name + " deleted");
  if (on_delete) on_delete();
}

int Recorder::eventHandler(const lk::Event* p_event) {
  std::string entry = name + " " + p_event->getType();
  if (p_event->getType() == lk::STEP_EVENT)
    entry += " " + std::to_string(static_cast<const lk::EventStep*>(p_event)->getStepCount());
  if (const auto* p_hit = dynamic_cast<const lk::EventCollision*>(p_event)) {
    const auto nameOf = [](const lk::Object* p) {
      const auto* r = dynamic_cast<const Recorder*>(p);
      return r != nullptr ? r->name : p->getType();
    };
    char at[64];
    std::snprintf(at, sizeof at, " (%g,%g)", double(p_hit->getPosition().getX()), double(p_hit->getPosition().getY()));
    entry += " " + nameOf(p_hit->getObject1()) + "->" + nameOf(p_hit->getObject2()) + at;
  }
  journal().push_back(entry);
  if (on_event) on_event(*this, *p_event);
  return 1;
}

int Recorder::draw() {
  journal().push_back(name + " draw");
  return 0;
}

void startWorld(const std::vector<std::string>& missing, bool with_display) {
  lk::LogManager::getInstance().startUp();
  stageAssets(missing);
  if (with_display) {
    ASSERT_EQ(lk::DisplayManager::getInstance().startUp(), 0);
  }
  lk::WorldManager::getInstance().startUp();
  lk::ResourceManager::getInstance().startUp();
  loadResources();
}

void stopWorld() {
  lk::ResourceManager::getInstance().shutDown();
  lk::WorldManager::getInstance().shutDown();
  lk::DisplayManager::getInstance().shutDown();
  lk::LogManager::getInstance().shutDown();
}

void frame(const std::function<void()>& input) {
  static int step = 0;
  if (input) input();
  lk::WorldManager& world = lk::WorldManager::getInstance();
  world.update();
  if (lk::DisplayManager::getInstance().isStarted()) {
    world.draw();
    lk::DisplayManager::getInstance().swapBuffer();
  }
  send(lk::EventStep(step++));
}

void frames(int count) {
  for (int i = 0; i < count; ++i) frame();
}

void send(const lk::Event& event) { lk::WorldManager::getInstance().onEvent(&event); }

void key(lk::Key k, lk::KeyAction action) {
  lk::EventKeyboard event;
  event.setKey(k);
  event.setKeyAction(action);
  send(event);
}

void mouse(lk::MouseAction action, float x, float y, lk::MouseButton button) {
  lk::EventMouse event;
  event.setMouseAction(action);
  event.setMouseButton(action == lk::MOVED ? lk::UNDEFINED_MOUSE_BUTTON : button);
  event.setMousePosition(lk::Vector(x, y));
  send(event);
}

std::vector<lk::Object*> ofType(const std::string& type) {
  std::vector<lk::Object*> found;
  const lk::ObjectList all = lk::WorldManager::getInstance().getAllObjects();
  for (int i = 0; i < all.getCount(); ++i)
    if (type.empty() || all.at(i)->getType() == type) found.push_back(all.at(i));
  return found;
}

std::vector<std::string> types() {
  std::vector<std::string> out;
  for (lk::Object* p : ofType("")) out.push_back(p->getType());
  return out;
}

lk::ViewObject* hud(const std::string& label) {
  for (lk::Object* p : ofType("ViewObject"))
    if (auto* v = dynamic_cast<lk::ViewObject*>(p); v != nullptr && v->getViewString() == label) return v;
  return nullptr;
}

}  // namespace lkt

// Each test process works in a fresh folder of its own, and records what it
// plays through OpenAL Soft's "wave" output.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  char pattern[] = "/tmp/lk-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 2;
  const std::string parent = pattern;
  fs::create_directory(parent + "/run");
  if (chdir((parent + "/run").c_str()) != 0) return 2;
  lkt::writeFile(parent + "/alsoft.conf", "[general]\ndrivers=wave\n[wave]\nfile=" + parent + "/audio.wav\n");
  setenv("ALSOFT_CONF", (parent + "/alsoft.conf").c_str(), 1);
  const int result = RUN_ALL_TESTS();
  std::error_code ignored;
  if (result == 0 && std::getenv("LK_TEST_KEEP_DIRS") == nullptr) fs::remove_all(parent, ignored);
  return result;
}
