#include "EndGame.h"

#include "DisplayManager.h"
#include "Duck.h"
#include "DuckManager.h"
#include "EventStep.h"
#include "ObjectList.h"
#include "Sprite.h"
#include "StartGame.h"
#include "WorldManager.h"

EndGame::EndGame() : m_countdown(0), m_finished(false) {
  setType("EndGame");
  setSolidness(lk::SPECTRAL);
  setAltitude(4);

  // Remove the play; the HUD, ground, shot ducks, bullets and banner stay.
  lk::WorldManager& world = lk::WorldManager::getInstance();
  const lk::ObjectList objects = world.getAllObjects();
  for (int i = 0; i < objects.getCount(); ++i) {
    lk::Object* p_object = objects.at(i);
    const std::string type = p_object->getType();
    if (type == "Duck") {
      // It moves on until the next update deletes it, maybe out of the world
      // or into a bullet in this very frame; the ended game counts neither.
      if (auto* p_duck = dynamic_cast<Duck*>(p_object)) p_duck->endPlay();
      world.markForDelete(p_object);
    } else if (type == "Gun" || type == "Reticle") {
      world.markForDelete(p_object);
    } else if (type == "DuckManager") {
      if (auto* p_manager = dynamic_cast<DuckManager*>(p_object)) p_manager->endPlay();
      world.markForDelete(p_object);
    }
  }

  if (setSprite("end-game") == 0) {
    const lk::Sprite* p_sprite = getAnimation().getSprite();
    m_countdown = p_sprite->getSlowdown() * p_sprite->getFrameCount();
  }

  const lk::DisplayManager& display = lk::DisplayManager::getInstance();
  setPosition(lk::Vector(static_cast<float>(display.getHorizontalCells()),
                         static_cast<float>(display.getVerticalCells()) * 0.5f));
}

EndGame::~EndGame() {
  if (!m_finished) return;
  // This screen has already left the world's list, and the new start screen
  // is not in the copy: it is the one object that survives this pass.
  lk::WorldManager& world = lk::WorldManager::getInstance();
  const lk::ObjectList objects = world.getAllObjects();
  for (int i = 0; i < objects.getCount(); ++i) world.markForDelete(objects.at(i));
  new StartGame;
}

int EndGame::eventHandler(const lk::Event* p_event) {
  if (p_event->getType() != lk::STEP_EVENT) return 0;
  --m_countdown;
  if (m_countdown <= 0) {
    m_finished = true;
    lk::WorldManager::getInstance().markForDelete(this);
  }
  return 1;
}

int EndGame::getCountdown() const { return m_countdown; }
