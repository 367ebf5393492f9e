#include "Geometry.h"

#include "Object.h"

namespace lk {

namespace {

// Closed intervals [a, a + a_size] and [b, b + b_size] overlap.
bool spansOverlap(float a, float a_size, float b, float b_size) {
  return (b <= a && a <= b + b_size) || (a <= b && b <= a + a_size);
}

}  // namespace

bool boxIntersectsBox(Box a, Box b) {
  return spansOverlap(a.getCorner().getX(), a.getHorizontal(), b.getCorner().getX(),
                      b.getHorizontal()) &&
         spansOverlap(a.getCorner().getY(), a.getVertical(), b.getCorner().getY(),
                      b.getVertical());
}

Box getWorldBox(const Object* p_object) { return getWorldBox(p_object, p_object->getPosition()); }

Box getWorldBox(const Object* p_object, Vector where) {
  Box box = p_object->getBox();
  box.setCorner(box.getCorner() + where);
  return box;
}

}  // namespace lk
