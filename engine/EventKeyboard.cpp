#include "EventKeyboard.h"

namespace lk {

EventKeyboard::EventKeyboard() : m_key(UNDEFINED_KEY), m_key_action(UNDEFINED_KEY_ACTION) {
  setType(KEYBOARD_EVENT);
}

void EventKeyboard::setKey(Key new_key) { m_key = new_key; }
Key EventKeyboard::getKey() const { return m_key; }
void EventKeyboard::setKeyAction(KeyAction new_action) { m_key_action = new_action; }
KeyAction EventKeyboard::getKeyAction() const { return m_key_action; }

}  // namespace lk
