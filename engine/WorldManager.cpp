#include "WorldManager.h"

#include <algorithm>

#include "DisplayManager.h"
#include "EventCollision.h"
#include "EventOut.h"
#include "Geometry.h"
#include "LogManager.h"
#include "Object.h"
#include "ObjectListIterator.h"
#include "ViewObject.h"

namespace lk {

namespace {

// Buckets of 4 x 4 cells: a few for a duck, one or four for a bullet.
const float GRID_BUCKET_SIZE = 4.0f;

}  // namespace

WorldManager::WorldManager() { setType("WorldManager"); }

WorldManager& WorldManager::getInstance() {
  static WorldManager world_manager;
  return world_manager;
}

int WorldManager::startUp() {
  m_updates.clear();
  m_deletions.clear();
  // The world is twice as wide as the window; the view shows its middle half.
  const DisplayManager& display = DisplayManager::getInstance();
  const float horizontal = static_cast<float>(display.getHorizontalCells());
  const float vertical = static_cast<float>(display.getVerticalCells());
  m_boundary = Box(Vector(0, 0), 2 * horizontal, vertical);
  m_view = Box(Vector(0.5f * horizontal, 0), horizontal, vertical);
  m_grid.reset(m_boundary, GRID_BUCKET_SIZE);
  Manager::startUp();
  LogManager::getInstance().writeLog(
      "WorldManager::startUp(): WorldManager was successfully started.\n");
  return 0;
}

void WorldManager::shutDown() {
  // Each destructor removes its object from m_updates, so walk a copy.
  const ObjectList everything = m_updates;
  ObjectListIterator li(&everything);
  for (li.first(); !li.isDone(); li.next()) delete li.currentObject();
  m_deletions.clear();
  Manager::shutDown();
}

void WorldManager::insertObject(Object* p_object) {
  if (m_updates.isFull()) return;  // the object stays outside the world
  m_updates.insert(p_object);
  m_grid.insert(p_object, getWorldBox(p_object));
}

void WorldManager::removeObject(Object* p_object) {
  m_updates.remove(p_object);
  m_grid.remove(p_object);
  // An object destroyed outside the deletion pass must not be deleted again.
  m_deletions.remove(p_object);
}

void WorldManager::objectMoved(Object* p_object) { m_grid.update(p_object, getWorldBox(p_object)); }

ObjectList WorldManager::getAllObjects() const { return m_updates; }

void WorldManager::markForDelete(Object* p_object) {
  ObjectListIterator li(&m_deletions);
  for (li.first(); !li.isDone(); li.next())
    if (li.currentObject() == p_object) return;
  m_deletions.insert(p_object);
}

void WorldManager::update() {
  // Deletions first. Destructors may mark more objects; the live count of the
  // walk takes them in this same pass.
  while (!m_deletions.isEmpty()) {
    Object* p_doomed = m_deletions.at(0);
    m_deletions.remove(p_doomed);
    removeObject(p_doomed);
    delete p_doomed;
  }

  // Then movement; objects made by handlers during the walk move in it too.
  ObjectListIterator li(&m_updates);
  for (li.first(); !li.isDone(); li.next()) {
    Object* p_object = li.currentObject();
    const Vector position = p_object->getPosition();
    const Vector velocity = p_object->getVelocity();
    const Vector acceleration = p_object->getAcceleration();
    const Vector where(position.getX() + (velocity.getX() + acceleration.getX()),
                       position.getY() + (velocity.getY() + acceleration.getY()));
    if (where.getX() != position.getX() || where.getY() != position.getY())
      moveObject(p_object, where);
  }
}

void WorldManager::draw() {
  for (int altitude = 0; altitude <= MAX_ALTITUDE; ++altitude) {
    ObjectListIterator li(&m_updates);
    for (li.first(); !li.isDone(); li.next()) {
      Object* p_object = li.currentObject();
      if (p_object->getAltitude() != altitude) continue;
      // View objects sit relative to the view and are always drawn.
      if (boxIntersectsBox(getWorldBox(p_object), m_view) ||
          dynamic_cast<ViewObject*>(p_object) != nullptr)
        p_object->draw();
    }
  }
}

int WorldManager::moveObject(Object* p_object, Vector where) {
  if (p_object->getSolidness() != SPECTRAL) {
    const ObjectList collisions = getCollisions(p_object, where);
    if (!collisions.isEmpty()) {
      bool do_move = true;
      ObjectListIterator li(&collisions);
      for (li.first(); !li.isDone(); li.next()) {
        Object* p_other = li.currentObject();
        const EventCollision collision(p_object, p_other, where);
        p_object->eventHandler(&collision);
        p_other->eventHandler(&collision);
        if (p_object->getSolidness() == HARD && p_other->getSolidness() == HARD) do_move = false;
      }
      if (!do_move) return -1;
    }
  }

  const Box old_box = getWorldBox(p_object);
  p_object->setPosition(where);
  const Vector velocity = p_object->getVelocity();
  const Vector acceleration = p_object->getAcceleration();
  p_object->setVelocity(
      Vector(velocity.getX() + acceleration.getX(), velocity.getY() + acceleration.getY()));

  // One out event per exit: from touching the world to wholly outside it.
  if (boxIntersectsBox(old_box, m_boundary) &&
      !boxIntersectsBox(getWorldBox(p_object), m_boundary)) {
    const EventOut out;
    p_object->eventHandler(&out);
  }
  return 0;
}

ObjectList WorldManager::getCollisions(const Object* p_object, Vector where) const {
  ObjectList collisions;
  const Box moving_box = getWorldBox(p_object, where);
  int moving_is_duck = -1;  // not yet known: most moves hit nothing

  // The grid gives the objects whose boxes meet the moving box. Ids grow
  // with creation, which is also the order of the object list, so sorting
  // the few hits by id gives the collisions in list order; an object lying
  // in several buckets is a hit more than once until the duplicates go.
  m_candidates.clear();
  m_grid.query(moving_box, m_candidates);
  auto hits_end = std::remove_if(m_candidates.begin(), m_candidates.end(), [&](Object* p_other) {
    if (p_other == p_object || p_other->getSolidness() == SPECTRAL) return true;
    if (moving_is_duck < 0) moving_is_duck = p_object->getType() == "Duck";
    return moving_is_duck && p_other->getType() == "Duck";  // ducks pass each other
  });
  std::sort(m_candidates.begin(), hits_end,
            [](const Object* a, const Object* b) { return a->getId() < b->getId(); });
  hits_end = std::unique(m_candidates.begin(), hits_end);
  for (auto hit = m_candidates.begin(); hit != hits_end; ++hit) collisions.insert(*hit);
  return collisions;
}

Box WorldManager::getBoundary() const { return m_boundary; }

Box WorldManager::getView() const { return m_view; }

}  // namespace lk
