#include "NewRound.h"

#include "DisplayManager.h"
#include "EventStep.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "WorldManager.h"

NewRound::NewRound() : m_countdown(0), m_p_sound(nullptr) {
  setType("NewRound");
  if (setSprite("new-round") == 0) {
    const lk::Sprite* p_sprite = getAnimation().getSprite();
    m_countdown = p_sprite->getSlowdown() * p_sprite->getFrameCount() * 3;
  }

  const lk::DisplayManager& display = lk::DisplayManager::getInstance();
  setPosition(lk::Vector(static_cast<float>(display.getHorizontalCells()),
                         static_cast<float>(display.getVerticalCells()) / 2.25f));

  m_p_sound = lk::ResourceManager::getInstance().getSound("new-round-sound");
  if (m_p_sound != nullptr) m_p_sound->play(false);
}

NewRound::~NewRound() = default;

int NewRound::eventHandler(const lk::Event* p_event) {
  if (p_event->getType() != lk::STEP_EVENT) return 0;
  --m_countdown;
  if (m_countdown <= 0) lk::WorldManager::getInstance().markForDelete(this);
  return 1;
}

int NewRound::getCountdown() const { return m_countdown; }
