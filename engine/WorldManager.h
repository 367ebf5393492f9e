// Owns every game object: deletes the marked ones, moves the rest with their
// collisions and exits from the world, and draws them layer by layer.
#ifndef LK_WORLD_MANAGER_H
#define LK_WORLD_MANAGER_H

#include <vector>

#include "Box.h"
#include "Manager.h"
#include "ObjectList.h"
#include "SpatialGrid.h"
#include "Vector.h"

namespace lk {

class Object;

class WorldManager : public Manager {
 public:
  static WorldManager& getInstance();

  int startUp() override;
  // Deletes every object.
  void shutDown() override;

  void insertObject(Object* p_object);
  void removeObject(Object* p_object);
  // Objects report changes of position or box here, so collision queries
  // find them where they are.
  void objectMoved(Object* p_object);
  ObjectList getAllObjects() const;

  // Deletion happens at the start of the next update().
  void markForDelete(Object* p_object);

  void update();
  void draw();

  // 0 when the object moved, -1 when a hard object refused the move.
  int moveObject(Object* p_object, Vector where);
  // The objects the given object would collide with at `where`.
  ObjectList getCollisions(const Object* p_object, Vector where) const;

  Box getBoundary() const;
  Box getView() const;

 private:
  WorldManager();

  ObjectList m_updates;
  ObjectList m_deletions;
  Box m_boundary;
  Box m_view;
  SpatialGrid m_grid;                         // where each object's box lies
  mutable std::vector<Object*> m_candidates;  // reused by getCollisions()
};

}  // namespace lk

#endif
