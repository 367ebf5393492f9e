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

/// Owns every game object: deletes the marked ones, moves the rest with their
/// collisions and exits from the world, and draws them layer by layer.
class WorldManager : public Manager {
 public:
  /// The one world manager.
  static WorldManager& getInstance();

  /// Empties the world and sets its boundary and view from the window; 0.
  int startUp() override;
  /// Deletes every object.
  void shutDown() override;

  /// Adds the object (objects add themselves when made); ignored when the world is full.
  void insertObject(Object* p_object);
  /// Removes the object (objects remove themselves when destroyed).
  void removeObject(Object* p_object);
  /// Objects report changes of position or box here, so collision queries
  /// find them where they are.
  void objectMoved(Object* p_object);
  /// A copy of the list of all objects, in creation order.
  ObjectList getAllObjects() const;

  /// Deletion happens at the start of the next update().
  void markForDelete(Object* p_object);

  /// Deletes the marked objects, then moves every object with collisions and out events.
  void update();
  /// Draws the objects in the view by altitude, 0 first; view objects always.
  void draw();

  /// 0 when the object moved, -1 when a hard object refused the move.
  int moveObject(Object* p_object, Vector where);
  /// The objects the given object would collide with at `where`.
  ObjectList getCollisions(const Object* p_object, Vector where) const;

  /// The world: (0, 0), twice as wide as the window in cells.
  Box getBoundary() const;
  /// The part of the world shown: the window's cells, from the world's middle half.
  Box getView() const;

 private:
  WorldManager();

  ObjectList m_updates;
  ObjectList m_deletions;
  Box m_boundary;
  Box m_view;
  SpatialGrid m_grid;                         ///< where each object's box lies
  mutable std::vector<Object*> m_candidates;  ///< reused by getCollisions()
};

}  // namespace lk

#endif
