// Box tests shared by the world, collisions and drawing.
#ifndef LK_GEOMETRY_H
#define LK_GEOMETRY_H

#include "Box.h"
#include "Vector.h"

namespace lk {

class Object;

// True when the boxes overlap on both axes; touching edges count.
bool boxIntersectsBox(Box a, Box b);

// The object's box placed at its position, or at `where` instead.
Box getWorldBox(const Object* p_object);
Box getWorldBox(const Object* p_object, Vector where);

}  // namespace lk

#endif
