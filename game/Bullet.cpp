#include "Bullet.h"

#include "EventStep.h"
#include "WorldManager.h"

namespace lk {

Bullet::Bullet(Vector position) : m_life(3) {
  setType("Bullet");
  setSolidness(HARD);
  setPosition(position);
}

Bullet::~Bullet() = default;

// A hit does not use the bullet up: only its life ends it.
int Bullet::eventHandler(const Event* p_event) {
  if (p_event->getType() == STEP_EVENT) {
    --m_life;
    if (m_life <= 0) WorldManager::getInstance().markForDelete(this);
  }
  return 0;
}

int Bullet::getLife() const { return m_life; }

}  // namespace lk
