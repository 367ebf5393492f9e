#include "InputManager.h"

#include <SFML/Graphics.hpp>

#include "DisplayManager.h"
#include "EventMouse.h"
#include "LogManager.h"
#include "Vector.h"
#include "WorldManager.h"

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

InputManager& InputManager::getInstance() {
  static InputManager instance;
  return instance;
}

InputManager::InputManager() { setType("InputManager"); }

int InputManager::startUp() {
  DisplayManager& display = DisplayManager::getInstance();
  if (!display.isStarted()) {
    LogManager::getInstance().writeLog(
        "InputManager::startUp(): InputManager could not start; DisplayManager was not started.\n");
    return -1;
  }
  // Holding a key gives one press and one release.
  display.getWindow()->setKeyRepeatEnabled(false);
  m_is_started = true;
  LogManager::getInstance().writeLog(
      "InputManager::startUp(): InputManager was successfully started.\n");
  return 0;
}

void InputManager::shutDown() {
  sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
  if (p_window != nullptr) p_window->setKeyRepeatEnabled(true);
  m_is_started = false;
}

void InputManager::getInput() {
  sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
  if (p_window == nullptr) return;
  WorldManager& world = WorldManager::getInstance();

  sf::Event event;
  while (p_window->pollEvent(event)) {
    switch (event.type) {
      case sf::Event::KeyPressed:
      case sf::Event::KeyReleased: {
        EventKeyboard keyboard;
        keyboard.setKeyAction(event.type == sf::Event::KeyPressed ? KEY_PRESSED : KEY_RELEASED);
        keyboard.setKey(mapKey(event.key.code));
        world.onEvent(&keyboard);
        break;
      }
      case sf::Event::MouseMoved: {
        EventMouse mouse;
        mouse.setMouseAction(MOVED);
        mouse.setMouseButton(UNDEFINED_MOUSE_BUTTON);
        mouse.setMousePosition(Vector(static_cast<float>(event.mouseMove.x),
                                      static_cast<float>(event.mouseMove.y)));
        world.onEvent(&mouse);
        break;
      }
      case sf::Event::MouseButtonPressed: {
        EventMouse mouse;
        mouse.setMouseAction(CLICKED);
        mouse.setMouseButton(mapButton(event.mouseButton.button));
        mouse.setMousePosition(Vector(static_cast<float>(event.mouseButton.x),
                                      static_cast<float>(event.mouseButton.y)));
        world.onEvent(&mouse);
        break;
      }
      default:
        // Close requests, button releases, wheel, focus, text and the rest
        // mean nothing to the game; the close button in particular is ignored.
        break;
    }
  }
}

Key InputManager::mapKey(int sfml_key_code) {
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
