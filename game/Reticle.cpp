#include "Reticle.h"

#include "Bullet.h"
#include "DisplayManager.h"
#include "EventMouse.h"
#include "EventStep.h"

lk::Vector mouseToWorld(lk::Vector pixels) {
  const lk::DisplayManager& display = lk::DisplayManager::getInstance();
  const float w = static_cast<float>(display.getHorizontalCells());
  const float h = static_cast<float>(display.getVerticalCells());
  const float cell_width = static_cast<float>(display.getHorizontalPixels()) / w;
  const float cell_height = static_cast<float>(display.getVerticalPixels()) / h;
  const float x = ((pixels.getX() / cell_width) * 2 - w) * 0.5f + w;
  const float y = pixels.getY() / cell_height;
  return lk::Vector(x, y);
}

Reticle::Reticle() : m_steps_since_shot(6), m_shot_cooldown(6) {
  setType("Reticle");
  setSolidness(lk::SPECTRAL);
  setAltitude(3);
  const lk::DisplayManager& display = lk::DisplayManager::getInstance();
  setPosition(lk::Vector(static_cast<float>(display.getHorizontalCells()),
                         static_cast<float>(display.getVerticalCells()) * 0.5f));
}

Reticle::~Reticle() = default;

int Reticle::eventHandler(const lk::Event* p_event) {
  const std::string type = p_event->getType();
  if (type == lk::MOUSE_EVENT) {
    const auto* p_mouse = static_cast<const lk::EventMouse*>(p_event);
    const lk::Vector where = mouseToWorld(p_mouse->getMousePosition());
    if (p_mouse->getMouseAction() == lk::MOVED) {
      setPosition(where);
      return 1;
    }
    if (p_mouse->getMouseAction() == lk::CLICKED) {
      if (m_steps_since_shot < m_shot_cooldown) return 1;  // dropped, not queued
      new lk::Bullet(where);
      m_steps_since_shot = 0;
      return 1;
    }
  }
  if (type == lk::STEP_EVENT) {
    ++m_steps_since_shot;
    return 0;
  }
  return 0;
}

int Reticle::draw() {
  return lk::DisplayManager::getInstance().drawCh(getPosition(), '+', lk::RED);
}

int Reticle::getStepsSinceShot() const { return m_steps_since_shot; }
