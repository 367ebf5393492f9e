#include "Window.h"

#include "BrowserCalls.h"

namespace lk {

Window::Window() : m_open(false), m_horizontal_pixels(0), m_vertical_pixels(0) {}

Window::~Window() { close(); }

int Window::open(int horizontal_pixels, int vertical_pixels, const std::string& title) {
  if (lk_web_open(horizontal_pixels, vertical_pixels, title.c_str()) != 0) return -1;
  m_open = true;
  m_horizontal_pixels = horizontal_pixels;
  m_vertical_pixels = vertical_pixels;
  return 0;
}

void Window::close() {
  if (!m_open) return;
  lk_web_close();
  m_open = false;
  m_horizontal_pixels = 0;
  m_vertical_pixels = 0;
}

bool Window::isOpen() const { return m_open; }

void Window::setTitle(const std::string& title) { lk_web_set_title(title.c_str()); }

int Window::getHorizontalPixels() const { return m_horizontal_pixels; }

int Window::getVerticalPixels() const { return m_vertical_pixels; }

void Window::clear(Color color) {
  if (m_open) lk_web_clear(static_cast<int>(color));
}

void Window::present() {
  if (m_open) lk_web_present();
}

void Window::setKeyRepeat(bool repeat) { lk_web_set_key_repeat(repeat ? 1 : 0); }

bool Window::pollInput(InputRecord& record) {
  int r[5];
  if (!m_open || lk_web_poll(r) == 0) return false;
  record.type = static_cast<InputType>(r[0]);
  record.key = static_cast<Key>(r[1]);
  record.button = static_cast<MouseButton>(r[2]);
  record.x = r[3];
  record.y = r[4];
  return true;
}

}  // namespace lk
