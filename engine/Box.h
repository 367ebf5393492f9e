// An axis-aligned rectangle in world cells; both edges belong to it.
#ifndef LK_BOX_H
#define LK_BOX_H

#include "Vector.h"

namespace lk {

class Box {
 public:
  Box();
  Box(Vector init_corner, float init_horizontal, float init_vertical);

  Vector getCorner() const { return m_corner; }
  void setCorner(Vector new_corner) { m_corner = new_corner; }
  float getHorizontal() const { return m_horizontal; }
  void setHorizontal(float new_horizontal) { m_horizontal = new_horizontal; }
  float getVertical() const { return m_vertical; }
  void setVertical(float new_vertical) { m_vertical = new_vertical; }

 private:
  Vector m_corner;
  float m_horizontal;
  float m_vertical;
};

}  // namespace lk

#endif
