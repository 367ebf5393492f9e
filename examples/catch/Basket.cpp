#include "Basket.h"

#include <lark/EventCollision.h>
#include <lark/EventKeyboard.h>
#include <lark/EventStep.h>
#include <lark/EventView.h>
#include <lark/LogManager.h>
#include <lark/ResourceManager.h>
#include <lark/WorldManager.h>

#include "Falling.h"
#include "Sky.h"

namespace {

const float SPEED = 1.5f;  // cells per step
const int LIVES = 3;

}  // namespace

Basket::Basket() : m_left_held(false), m_right_held(false), m_lives(LIVES) {
  setType("Basket");
  setSprite("basket");
  const lk::Box view = lk::WorldManager::getInstance().getView();
  setPosition(view.getCorner() + lk::Vector(view.getHorizontal() / 2, view.getVertical() - 2));
}

int Basket::eventHandler(const lk::Event* p_event) {
  if (p_event->getType() == lk::KEYBOARD_EVENT) {
    key(p_event);
    return 1;
  }
  if (p_event->getType() == lk::COLLISION_EVENT) {
    // Both parties of a collision hear of it; the other one is whichever is not this.
    const auto* p_collision = static_cast<const lk::EventCollision*>(p_event);
    caught(p_collision->getObject1() == this ? p_collision->getObject2()
                                             : p_collision->getObject1());
    return 1;
  }
  if (p_event->getType() == lk::STEP_EVENT) {
    keepInView();
    return 1;
  }
  return 0;
}

// Key repeat is off: a held key gives one press and one release, so the
// basket moves from the press until the release.
void Basket::key(const lk::Event* p_event) {
  const auto* p_key = static_cast<const lk::EventKeyboard*>(p_event);
  const bool down = p_key->getKeyAction() == lk::KEY_PRESSED;
  const lk::Key k = p_key->getKey();
  if (k == lk::LEFT_ARROW || k == lk::A) m_left_held = down;
  if (k == lk::RIGHT_ARROW || k == lk::D) m_right_held = down;
  const float direction = (m_right_held ? 1.0f : 0.0f) - (m_left_held ? 1.0f : 0.0f);
  setVelocity(lk::Vector(direction * SPEED, 0));
}

void Basket::caught(lk::Object* p_other) {
  // A thing may be met twice in one step (it falls onto the basket, then the
  // basket moves onto it); it counts once. Nothing counts once the game is over.
  if (m_lives == 0 || (p_other->getType() != "Star" && p_other->getType() != "Rock")) return;
  if (!static_cast<Falling*>(p_other)->take()) return;
  lk::WorldManager& world = lk::WorldManager::getInstance();
  lk::ResourceManager& resources = lk::ResourceManager::getInstance();
  if (p_other->getType() == "Star") {
    const lk::EventView points("Score:", 10);
    world.onEvent(&points);
    if (lk::Sound* p_sound = resources.getSound("catch")) p_sound->play();
  } else {
    const lk::EventView life("Lives:", -1);
    world.onEvent(&life);
    if (lk::Sound* p_sound = resources.getSound("thud")) p_sound->play();
    if (--m_lives == 0) {
      // The sky stops and offers a new game; the basket is done.
      lk::Event over;
      over.setType(GAME_OVER_EVENT);
      world.onEvent(&over);
      world.markForDelete(this);
    }
  }
}

// The world is wider than the view; the basket stays on screen.
void Basket::keepInView() {
  const lk::Box view = lk::WorldManager::getInstance().getView();
  const float half = getBox().getHorizontal() / 2;
  const float left = view.getCorner().getX() + half;
  const float right = view.getCorner().getX() + view.getHorizontal() - half;
  lk::Vector position = getPosition();
  if (position.getX() < left) position.setX(left);
  if (position.getX() > right) position.setX(right);
  setPosition(position);
}
