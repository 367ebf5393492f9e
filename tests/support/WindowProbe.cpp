#include "WindowProbe.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <link.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DisplayManager.h"
#include "InputManager.h"

// Last: Xlib's macros (None, Status, True...) would clash with the headers above.
#include <dlfcn.h>
#include <X11/Xlib.h>

namespace lktest {

namespace {

pid_t g_private_server = 0;

void stopPrivateDisplay() {
  if (g_private_server <= 0) return;
  kill(g_private_server, SIGTERM);
  waitpid(g_private_server, nullptr, 0);
  g_private_server = 0;
}

// The tests link no X library of their own; SFML has loaded libX11.
template <typename F>
F* x11(const char* name) {
  return reinterpret_cast<F*>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

bool usePrivateDisplay() {
  if (g_private_server > 0) return true;
  int fds[2];
  if (pipe(fds) != 0) return false;
  const pid_t parent = getpid();
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // the server goes when the test goes
    if (getppid() != parent) _exit(1);
    close(fds[0]);
    const int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) dup2(null_fd, 1), dup2(null_fd, 2);
    // -displayfd: the server picks a free display and writes its number.
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  g_private_server = child;
  std::atexit(stopPrivateDisplay);
  std::string number;
  struct pollfd p = {fds[0], POLLIN, 0};
  char c;
  while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    stopPrivateDisplay();
    return false;
  }
  setenv("DISPLAY", (":" + number).c_str(), 1);
  return true;
}

void keepGraphicsDriverLoaded() {
  dl_iterate_phdr(
      [](struct dl_phdr_info* info, size_t, void*) {
        const std::string path = info->dlpi_name != nullptr ? info->dlpi_name : "";
        if (path.find("/dri/") != std::string::npos) dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}

sf::Image captureWindow() {
  lk::DisplayManager& display = lk::DisplayManager::getInstance();
  sf::RenderWindow* p_window = display.getWindow();
  if (p_window == nullptr) return sf::Image();
  display.flush();
  sf::Texture texture;
  texture.create(p_window->getSize().x, p_window->getSize().y);
  texture.update(*p_window);
  return texture.copyToImage();
}

sf::IntRect cellRect(float column, float row, int inset) {
  const float cw = float(lk::DEFAULT_WINDOW_HORIZONTAL_PIXELS) / lk::DEFAULT_WINDOW_HORIZONTAL_CELLS;
  const float ch = float(lk::DEFAULT_WINDOW_VERTICAL_PIXELS) / lk::DEFAULT_WINDOW_VERTICAL_CELLS;
  const int left = int(column * cw) + inset, top = int(row * ch) + inset;
  return {left, top, int((column + 1) * cw) - inset - left, int((row + 1) * ch) - inset - top};
}

namespace {

void forEachPixel(const sf::Image& image, sf::IntRect area, const std::function<void(int, int, sf::Color)>& visit) {
  const int right = std::min(area.left + area.width, int(image.getSize().x));
  const int bottom = std::min(area.top + area.height, int(image.getSize().y));
  for (int y = std::max(area.top, 0); y < bottom; ++y)
    for (int x = std::max(area.left, 0); x < right; ++x) visit(x, y, image.getPixel(unsigned(x), unsigned(y)));
}

}  // namespace

int countPixels(const sf::Image& image, sf::IntRect area, const std::function<bool(sf::Color)>& test) {
  int count = 0;
  forEachPixel(image, area, [&](int, int, sf::Color c) { count += test(c); });
  return count;
}

int inkCount(const sf::Image& image, sf::IntRect area) {
  return countPixels(image, area, [](sf::Color c) { return c.r + c.g + c.b > 0; });
}

sf::IntRect inkBounds(const sf::Image& image, sf::IntRect area, int threshold) {
  int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;
  forEachPixel(image, area, [&](int x, int y, sf::Color c) {
    if (c.r + c.g + c.b <= threshold) return;
    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  });
  return x1 < 0 ? sf::IntRect() : sf::IntRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

bool xdotool(const std::string& arguments) {
  return std::system(("xdotool " + arguments + " > /dev/null 2>&1").c_str()) == 0;
}

std::string windowId() {
  sf::RenderWindow* p_window = lk::DisplayManager::getInstance().getWindow();
  return p_window == nullptr ? "0" : std::to_string(static_cast<unsigned long>(p_window->getSystemHandle()));
}

bool sendCloseRequest() {
  sf::RenderWindow* p_window = lk::DisplayManager::getInstance().getWindow();
  const auto open = x11<decltype(XOpenDisplay)>("XOpenDisplay");
  const auto atom = x11<decltype(XInternAtom)>("XInternAtom");
  const auto send = x11<decltype(XSendEvent)>("XSendEvent");
  const auto flush = x11<decltype(XFlush)>("XFlush");
  const auto close_display = x11<decltype(XCloseDisplay)>("XCloseDisplay");
  if (p_window == nullptr || !open || !atom || !send || !flush || !close_display) return false;
  Display* p_display = open(nullptr);
  if (p_display == nullptr) return false;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(p_window->getSystemHandle());
  event.xclient.message_type = atom(p_display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(atom(p_display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = send(p_display, event.xclient.window, False, NoEventMask, &event);
  flush(p_display);
  close_display(p_display);
  return sent != 0;
}

bool pumpInputUntil(const std::function<bool()>& condition, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    lk::InputManager::getInstance().getInput();
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace lktest
