#include "Window.h"

#include "DisplayManager.h"
#include "Platform.h"

namespace lk {

namespace {

// Highest SFML key code the table covers (Pause).
const int LAST_MAPPED_SFML_KEY = 100;

MouseButton mapButton(sf::Mouse::Button button) {
  switch (button) {
    case sf::Mouse::Left: return LEFT_BUTTON;
    case sf::Mouse::Right: return RIGHT_BUTTON;
    case sf::Mouse::Middle: return MIDDLE_BUTTON;
    default: return UNDEFINED_MOUSE_BUTTON;
  }
}

}  // namespace

Window::Window() : m_p_window() {}

Window::~Window() {}

int Window::open(int horizontal_pixels, int vertical_pixels, const std::string& title) {
  // A window library that meets no X server ends the process; ask first.
  const platform::WindowingConnection windowing;
  if (windowing.reachable())
    m_p_window.reset(
        new sf::RenderWindow(sf::VideoMode(static_cast<unsigned int>(horizontal_pixels),
                                           static_cast<unsigned int>(vertical_pixels), 32),
                             sf::String(title), sf::Style::Close, sf::ContextSettings()));
  // SFML reports a failed creation (no GL context) only as a window that is
  // not open.
  if (!m_p_window || !m_p_window->isOpen()) {
    m_p_window.reset();
    return -1;
  }
  m_p_window->setMouseCursorVisible(false);
  m_p_window->setVerticalSyncEnabled(true);
  return 0;
}

void Window::close() {
  if (!m_p_window) return;
  m_p_window->close();
  m_p_window.reset();
}

bool Window::isOpen() const { return m_p_window != nullptr; }

void Window::setTitle(const std::string& title) {
  if (m_p_window) m_p_window->setTitle(sf::String(title));
}

int Window::getHorizontalPixels() const {
  return m_p_window ? static_cast<int>(m_p_window->getSize().x) : 0;
}

int Window::getVerticalPixels() const {
  return m_p_window ? static_cast<int>(m_p_window->getSize().y) : 0;
}

void Window::clear(Color color) {
  if (m_p_window) m_p_window->clear(toSfColor(color));
}

void Window::present() {
  if (m_p_window) m_p_window->display();
}

void Window::setKeyRepeat(bool repeat) {
  if (m_p_window) m_p_window->setKeyRepeatEnabled(repeat);
}

bool Window::pollInput(InputRecord& record) {
  sf::Event event;
  if (!m_p_window || !m_p_window->pollEvent(event)) return false;
  record = InputRecord();
  switch (event.type) {
    case sf::Event::KeyPressed:
    case sf::Event::KeyReleased:
      record.type = event.type == sf::Event::KeyPressed ? KEY_DOWN : KEY_UP;
      record.key = mapKey(event.key.code);
      break;
    case sf::Event::MouseMoved:
      record.type = POINTER_MOVED;
      record.x = event.mouseMove.x;
      record.y = event.mouseMove.y;
      break;
    case sf::Event::MouseButtonPressed:
    case sf::Event::MouseButtonReleased:
      record.type = event.type == sf::Event::MouseButtonPressed ? BUTTON_DOWN : BUTTON_UP;
      record.button = mapButton(event.mouseButton.button);
      record.x = event.mouseButton.x;
      record.y = event.mouseButton.y;
      break;
    case sf::Event::GainedFocus: record.type = FOCUS_GAINED; break;
    case sf::Event::LostFocus: record.type = FOCUS_LOST; break;
    case sf::Event::Closed: record.type = CLOSE_REQUESTED; break;
    default:
      // Wheel, text, resizing and the rest: an undefined record.
      break;
  }
  return true;
}

sf::RenderWindow* Window::getRenderWindow() const { return m_p_window.get(); }

Key Window::mapKey(int sfml_key_code) {
  if (sfml_key_code < 0 || sfml_key_code > LAST_MAPPED_SFML_KEY) return UNDEFINED_KEY;
  if (sfml_key_code >= sf::Keyboard::A && sfml_key_code <= sf::Keyboard::Z)
    return static_cast<Key>(A + (sfml_key_code - sf::Keyboard::A));
  if (sfml_key_code >= sf::Keyboard::Num1 && sfml_key_code <= sf::Keyboard::Num9)
    return static_cast<Key>(NUM1 + (sfml_key_code - sf::Keyboard::Num1));
  if (sfml_key_code >= sf::Keyboard::F1 && sfml_key_code <= sf::Keyboard::F12)
    return static_cast<Key>(F1 + (sfml_key_code - sf::Keyboard::F1));
  switch (sfml_key_code) {
    case sf::Keyboard::Num0: return NUM0;
    case sf::Keyboard::Space: return SPACE;
    case sf::Keyboard::Enter: return ENTER;
    case sf::Keyboard::Escape: return ESCAPE;
    case sf::Keyboard::Tab: return TAB;
    case sf::Keyboard::Left: return LEFT_ARROW;
    case sf::Keyboard::Right: return RIGHT_ARROW;
    case sf::Keyboard::Up: return UP_ARROW;
    case sf::Keyboard::Down: return DOWN_ARROW;
    case sf::Keyboard::Pause: return PAUSE;
    case sf::Keyboard::Hyphen: return HYPHEN;
    case sf::Keyboard::Equal: return EQUAL;
    case sf::Keyboard::Tilde: return TILDE;
    case sf::Keyboard::Period: return PERIOD;
    case sf::Keyboard::Comma: return COMMA;
    case sf::Keyboard::Slash: return SLASH;
    case sf::Keyboard::LControl: return LEFT_CONTROL;
    case sf::Keyboard::RControl: return RIGHT_CONTROL;
    case sf::Keyboard::LShift: return LEFT_SHIFT;
    case sf::Keyboard::RShift: return RIGHT_SHIFT;
    default: return UNDEFINED_KEY;
  }
}

}  // namespace lk
