#include "Sight.h"

#include <lark/DisplayManager.h>
#include <lark/EventKeyboard.h>
#include <lark/EventMouse.h>
#include <lark/GameManager.h>
#include <lark/ObjectListIterator.h>
#include <lark/WorldManager.h>

#include "Balloon.h"

Sight::Sight() {
  setType("Sight");
  setSolidness(lk::SOFT);
  setAltitude(lk::MAX_ALTITUDE);  // drawn over everything else
  setBox(lk::Box(lk::Vector(-0.5f, -0.5f), 1, 1));
  const lk::Box view = lk::WorldManager::getInstance().getView();
  setPosition(view.getCorner() + lk::Vector(view.getHorizontal() / 2, view.getVertical() / 2));
}

int Sight::eventHandler(const lk::Event* p_event) {
  if (p_event->getType() == lk::KEYBOARD_EVENT) {
    const auto* p_key = static_cast<const lk::EventKeyboard*>(p_event);
    if (p_key->getKey() == lk::Q && p_key->getKeyAction() == lk::KEY_PRESSED) {
      lk::GameManager::getInstance().setGameOver(true);  // the loop ends after this step
      return 1;
    }
    return 0;
  }
  if (p_event->getType() == lk::MOUSE_EVENT) {
    const auto* p_mouse = static_cast<const lk::EventMouse*>(p_event);
    // Mouse events carry window pixels; objects live in world cells.
    lk::WorldManager& world = lk::WorldManager::getInstance();
    setPosition(lk::pixelsToCells(p_mouse->getMousePosition()) + world.getView().getCorner());
    if (p_mouse->getMouseAction() == lk::CLICKED) {
      // Every object whose box meets the sight's: pop the first balloon.
      const lk::ObjectList hits = world.getCollisions(this, getPosition());
      lk::ObjectListIterator li(&hits);
      for (li.first(); !li.isDone(); li.next()) {
        if (li.currentObject()->getType() == "Balloon") {
          static_cast<Balloon*>(li.currentObject())->pop();
          break;
        }
      }
    }
    return 1;
  }
  return 0;
}

int Sight::draw() { return lk::DisplayManager::getInstance().drawCh(getPosition(), '+', lk::RED); }
