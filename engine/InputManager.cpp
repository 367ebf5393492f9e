#include "InputManager.h"

#include "DisplayManager.h"
#include "GameManager.h"
#include "InputRecord.h"
#include "LogManager.h"
#include "Vector.h"
#include "Window.h"
#include "WorldManager.h"

namespace lk {

InputManager& InputManager::getInstance() {
  static InputManager instance;
  return instance;
}

InputManager::InputManager() : m_key_held(), m_button_held() { setType("InputManager"); }

int InputManager::startUp() {
  DisplayManager& display = DisplayManager::getInstance();
  if (!display.isStarted()) {
    LogManager::getInstance().writeLog(
        "InputManager::startUp(): InputManager could not start; DisplayManager was not started.\n");
    return -1;
  }
  // Holding a key gives one press and one release.
  display.getPlatformWindow().setKeyRepeat(false);
  releaseAll();
  m_is_started = true;
  LogManager::getInstance().writeLog(
      "InputManager::startUp(): InputManager was successfully started.\n");
  return 0;
}

void InputManager::shutDown() {
  DisplayManager::getInstance().getPlatformWindow().setKeyRepeat(true);
  releaseAll();
  m_is_started = false;
}

void InputManager::getInput() {
  Window& window = DisplayManager::getInstance().getPlatformWindow();
  WorldManager& world = WorldManager::getInstance();
  GameManager& game = GameManager::getInstance();

  // A focus lost and found again within one call (as when the focus moves
  // from following the pointer to being set) leaves the game running.
  bool paused = game.getPaused();
  bool focus_changed = false;
  InputRecord record;
  while (window.pollInput(record)) {
    switch (record.type) {
      case FOCUS_LOST:
        // Keys released elsewhere are never reported here.
        releaseAll();
        paused = true;
        focus_changed = true;
        continue;
      case FOCUS_GAINED:
        paused = false;
        focus_changed = true;
        continue;
      case KEY_DOWN:
      case KEY_UP:
        if (record.key != UNDEFINED_KEY)
          m_key_held[static_cast<std::size_t>(record.key)] = record.type == KEY_DOWN;
        break;
      case BUTTON_DOWN:
      case BUTTON_UP:
        if (record.button != UNDEFINED_MOUSE_BUTTON)
          m_button_held[static_cast<std::size_t>(record.button)] = record.type == BUTTON_DOWN;
        break;
      default: break;
    }
    // Nothing moves while the game is paused, the reticle included.
    if (paused) continue;

    switch (record.type) {
      case KEY_DOWN:
      case KEY_UP: {
        EventKeyboard keyboard;
        keyboard.setKeyAction(record.type == KEY_DOWN ? KEY_PRESSED : KEY_RELEASED);
        keyboard.setKey(record.key);
        world.onEvent(&keyboard);
        break;
      }
      case POINTER_MOVED:
      case BUTTON_DOWN: {
        EventMouse mouse;
        mouse.setMouseAction(record.type == BUTTON_DOWN ? CLICKED : MOVED);
        mouse.setMouseButton(record.type == BUTTON_DOWN ? record.button : UNDEFINED_MOUSE_BUTTON);
        mouse.setMousePosition(Vector(static_cast<float>(record.x), static_cast<float>(record.y)));
        world.onEvent(&mouse);
        break;
      }
      default:
        // Close requests, button releases and the rest mean nothing to the
        // game; the close button in particular is ignored.
        break;
    }
  }
  if (focus_changed) game.setPaused(paused);
}

bool InputManager::isKeyHeld(Key key) const {
  return key >= 0 && key <= NUM0 && m_key_held[static_cast<std::size_t>(key)];
}

bool InputManager::isButtonHeld(MouseButton button) const {
  return button >= 0 && button <= MIDDLE_BUTTON && m_button_held[static_cast<std::size_t>(button)];
}

void InputManager::releaseAll() {
  m_key_held.fill(false);
  m_button_held.fill(false);
}

#if defined(LK_BACKEND_SFML)
Key InputManager::mapKey(int sfml_key_code) { return Window::mapKey(sfml_key_code); }
#endif

}  // namespace lk
