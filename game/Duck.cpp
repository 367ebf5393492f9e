#include "Duck.h"

#include <cmath>
#include <cstdlib>

#include "DisplayManager.h"
#include "DuckShot.h"
#include "EventCollision.h"
#include "EventHit.h"
#include "EventMissed.h"
#include "EventOut.h"
#include "EventView.h"
#include "LogManager.h"
#include "WorldManager.h"

Duck::Duck(int level) : m_shot(false), m_missed(false), m_play_ended(false), m_level(level) {
  setSprite("duck-flying-right");
  setType("Duck");
  setSolidness(lk::HARD);
  setAcceleration(lk::Vector(0.0f, 0.005f));
  moveToStart();
  aimAtView(level);
}

Duck::~Duck() = default;

int Duck::eventHandler(const lk::Event* p_event) {
  if (m_play_ended) return 0;
  const std::string type = p_event->getType();
  if (type == lk::OUT_EVENT && !m_shot) out();
  if (type == lk::COLLISION_EVENT) {
    const auto* p_collision = static_cast<const lk::EventCollision*>(p_event);
    const lk::Object* p_first = p_collision->getObject1();
    const lk::Object* p_second = p_collision->getObject2();
    const bool by_bullet = (p_first != nullptr && p_first->getType() == "Bullet") ||
                           (p_second != nullptr && p_second->getType() == "Bullet");
    if (by_bullet && !m_shot) hit();
  }
  return 0;
}

void Duck::out() {
  if (m_missed) return;
  m_missed = true;
  lk::LogManager::getInstance().writeLog("Duck::out(): duck missed\n");
  lk::WorldManager& world = lk::WorldManager::getInstance();
  lk::EventView view_event("Ducks Missed:", 1);
  world.onEvent(&view_event);
  EventMissed missed;
  world.onEvent(&missed);
  world.markForDelete(this);
}

void Duck::hit() {
  // A duck already counted as missed is gone for the duck manager.
  if (m_missed) return;
  m_shot = true;
  lk::WorldManager& world = lk::WorldManager::getInstance();
  lk::EventView view_event("Points:", m_level * 100);
  world.onEvent(&view_event);
  EventHit hit_event;
  world.onEvent(&hit_event);
  world.markForDelete(this);
  // Made after the events, so it does not receive them.
  new DuckShot(getPosition());
}

void Duck::endPlay() { m_play_ended = true; }

void Duck::moveToStart() {
  const int w = lk::DisplayManager::getInstance().getHorizontalCells();
  // rand() is never seeded: every run draws the same ducks. Side, then
  // height, then horizontal place.
  const int side = std::rand();
  float x;
  float y;
  if (side % 2 == 1) {
    setSprite("duck-flying-right");
    y = static_cast<float>(std::rand() % 5 + 5);
    x = static_cast<float>(std::rand() % (w / 2));
  } else {
    setSprite("duck-flying-left");
    y = static_cast<float>(std::rand() % 5 + 5);
    x = static_cast<float>(static_cast<double>(std::rand() % (w / 2)) + w * 3 * 0.5);
  }
  setPosition(lk::Vector(x, y));
}

void Duck::aimAtView(int level) {
  const int w = lk::DisplayManager::getInstance().getHorizontalCells();
  const lk::Box view = lk::WorldManager::getInstance().getView();
  const int r = std::rand();
  const lk::Vector position = getPosition();
  float dx = static_cast<float>(view.getCorner().getX() + w * 0.5 - position.getX());
  float dy = view.getCorner().getY() + static_cast<float>(r % 5 + 5) - position.getY();
  const float len =
      static_cast<float>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
  if (len > 0) {
    dx /= len;
    dy /= len;
  }
  const float speed = static_cast<float>(level) * 0.05f + 2.0f;
  setVelocity(lk::Vector(speed * dx, speed * dy));
}

bool Duck::isShot() const { return m_shot; }

bool Duck::isMissed() const { return m_missed; }

int Duck::getLevel() const { return m_level; }
