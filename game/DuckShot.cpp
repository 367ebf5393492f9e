#include "DuckShot.h"

#include "EventOut.h"
#include "WorldManager.h"

DuckShot::DuckShot(lk::Vector position) {
  setType("DuckShot");
  setSprite("duck-shot");
  setSolidness(lk::SOFT);
  setAltitude(0);
  setPosition(position);
  setDirection(lk::Vector(0.0f, 1.0f));
  setSpeed(0.15f);
  setAcceleration(lk::Vector(0.0f, 0.02f));
}

int DuckShot::eventHandler(const lk::Event* p_event) {
  if (p_event->getType() != lk::OUT_EVENT) return 0;
  lk::WorldManager::getInstance().markForDelete(this);
  return 1;
}
