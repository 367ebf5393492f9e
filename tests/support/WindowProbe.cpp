#include "WindowProbe.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

#include <fcntl.h>
#include <link.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/types.h>
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

}  // namespace

bool usePrivateDisplay() {
  if (g_private_server > 0) return true;
  int fds[2];
  if (pipe(fds) != 0) return false;
  const pid_t parent = getpid();
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    // The server goes when the test process goes, however it ends.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    close(fds[0]);
    const int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) {
      dup2(null_fd, 1);
      dup2(null_fd, 2);
    }
    // -displayfd: the server picks a free display and writes its number.
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
           "-nolisten", "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  g_private_server = child;
  std::atexit(stopPrivateDisplay);

  std::string number;
  struct pollfd p = {fds[0], POLLIN, 0};
  while (poll(&p, 1, 10000) > 0) {
    char c;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
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
        if (path.find("/dri/") != std::string::npos)
          dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}

sf::Image captureWindow() {
  sf::RenderWindow* p_window = lk::DisplayManager::getInstance().getWindow();
  if (p_window == nullptr) return sf::Image();
  sf::Texture texture;
  texture.create(p_window->getSize().x, p_window->getSize().y);
  texture.update(*p_window);
  return texture.copyToImage();
}

bool xdotool(const std::string& arguments) {
  const std::string command = "xdotool " + arguments + " > /dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

std::string windowId() {
  sf::RenderWindow* p_window = lk::DisplayManager::getInstance().getWindow();
  if (p_window == nullptr) return "0";
  return std::to_string(static_cast<unsigned long>(p_window->getSystemHandle()));
}

bool focusWindow() {
  const std::string id = windowId();
  return xdotool("mousemove --sync --window " + id + " 500 400") &&
         xdotool("windowfocus --sync " + id);
}

namespace {

// The tests link no X library of their own; SFML already loads libX11.
struct XLib {
  decltype(&XOpenDisplay) open_display = nullptr;
  decltype(&XCloseDisplay) close_display = nullptr;
  decltype(&XInternAtom) intern_atom = nullptr;
  decltype(&XSendEvent) send_event = nullptr;
  decltype(&XFlush) flush = nullptr;

  bool load() {
    void* handle = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
    if (handle == nullptr) return false;
    open_display = reinterpret_cast<decltype(open_display)>(dlsym(handle, "XOpenDisplay"));
    close_display = reinterpret_cast<decltype(close_display)>(dlsym(handle, "XCloseDisplay"));
    intern_atom = reinterpret_cast<decltype(intern_atom)>(dlsym(handle, "XInternAtom"));
    send_event = reinterpret_cast<decltype(send_event)>(dlsym(handle, "XSendEvent"));
    flush = reinterpret_cast<decltype(flush)>(dlsym(handle, "XFlush"));
    return open_display && close_display && intern_atom && send_event && flush;
  }
};

}  // namespace

bool sendCloseRequest() {
  sf::RenderWindow* p_window = lk::DisplayManager::getInstance().getWindow();
  XLib x;
  if (p_window == nullptr || !x.load()) return false;
  Display* p_display = x.open_display(nullptr);
  if (p_display == nullptr) return false;

  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(p_window->getSystemHandle());
  event.xclient.message_type = x.intern_atom(p_display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(x.intern_atom(p_display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent =
      x.send_event(p_display, event.xclient.window, False, NoEventMask, &event);
  x.flush(p_display);
  x.close_display(p_display);
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

void pumpInputFor(int duration_ms) {
  pumpInputUntil([] { return false; }, duration_ms);
}

}  // namespace lktest
