// Box tests shared by the world, collisions and drawing. They run for every
// move and every drawn object, so they are defined here, where callers can
// inline them.
#ifndef LK_GEOMETRY_H
#define LK_GEOMETRY_H

#include "Box.h"
#include "Object.h"
#include "Vector.h"

namespace lk {

/// Closed intervals [a, a + a_size] and [b, b + b_size] overlap.
inline bool spansOverlap(float a, float a_size, float b, float b_size) {
  return (b <= a && a <= b + b_size) || (a <= b && b <= a + a_size);
}

/// True when the boxes overlap on both axes; touching edges count.
inline bool boxIntersectsBox(Box a, Box b) {
  return spansOverlap(a.getCorner().getX(), a.getHorizontal(), b.getCorner().getX(),
                      b.getHorizontal()) &&
         spansOverlap(a.getCorner().getY(), a.getVertical(), b.getCorner().getY(), b.getVertical());
}

/// The object's box placed at `where` instead of its own position.
inline Box getWorldBox(const Object* p_object, Vector where) {
  Box box = p_object->getBox();
  box.setCorner(box.getCorner() + where);
  return box;
}

/// The object's box placed at its position.
inline Box getWorldBox(const Object* p_object) {
  return getWorldBox(p_object, p_object->getPosition());
}

}  // namespace lk

#endif
