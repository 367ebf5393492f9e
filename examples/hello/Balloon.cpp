#include "Balloon.h"

#include <cstdlib>

#include <lark/EventOut.h>
#include <lark/EventView.h>
#include <lark/ResourceManager.h>
#include <lark/WorldManager.h>

Balloon::Balloon() {
  setType("Balloon");
  setSolidness(lk::SOFT);  // met by the sight's look-up, blocks nothing
  setSprite("balloon");    // the picture, and a box of its size
  rise();
}

void Balloon::rise() {
  const lk::Box view = lk::WorldManager::getInstance().getView();
  const int columns = static_cast<int>(view.getHorizontal()) - 10;
  setPosition(
      lk::Vector(view.getCorner().getX() + 5 + std::rand() % columns, view.getVertical() + 1));
  setVelocity(lk::Vector(0, -0.2f - (std::rand() % 10) * 0.03f));  // cells per step, upward
}

int Balloon::eventHandler(const lk::Event* p_event) {
  // The world manager sends an out event when the balloon has left the
  // world, over the top of the screen.
  if (p_event->getType() == lk::OUT_EVENT) {
    rise();
    return 1;
  }
  return 0;
}

void Balloon::pop() {
  if (m_popped) return;
  m_popped = true;
  lk::Sound* p_pop = lk::ResourceManager::getInstance().getSound("pop");
  if (p_pop != nullptr) p_pop->play();
  // Every view object labelled "Popped:" adds 1 to its value.
  const lk::EventView popped("Popped:", 1);
  lk::WorldManager::getInstance().onEvent(&popped);
  // Deleted at the start of the next update; the world owns the new one.
  lk::WorldManager::getInstance().markForDelete(this);
  new Balloon;
}
