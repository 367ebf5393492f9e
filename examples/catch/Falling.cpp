#include "Falling.h"

#include <lark/EventOut.h>
#include <lark/WorldManager.h>

#include "Sky.h"

Falling::Falling(bool is_rock, float x, float speed) : m_taken(false) {
  setType(is_rock ? "Rock" : "Star");
  setSprite(is_rock ? "rock" : "star");
  setSolidness(lk::SOFT);  // met by the basket, blocks nothing
  setPosition(lk::Vector(x, -1));
  setVelocity(lk::Vector(0, speed));
}

int Falling::eventHandler(const lk::Event* p_event) {
  // Out of the world below the basket, or swept away when a game ends.
  if (p_event->getType() == lk::OUT_EVENT || p_event->getType() == GAME_OVER_EVENT) {
    take();
    return 1;
  }
  return 0;
}

bool Falling::take() {
  if (m_taken) return false;
  m_taken = true;
  lk::WorldManager::getInstance().markForDelete(this);
  return true;
}
