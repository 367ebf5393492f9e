// An axis-aligned rectangle in world cells; both edges belong to it.
#ifndef LK_BOX_H
#define LK_BOX_H

#include "Vector.h"

namespace lk {

class Box {
 public:
  Box();
  Box(Vector init_corner, float init_horizontal, float init_vertical);

  Vector getCorner() const;
  void setCorner(Vector new_corner);
  float getHorizontal() const;
  void setHorizontal(float new_horizontal);
  float getVertical() const;
  void setVertical(float new_vertical);

 private:
  Vector m_corner;
  float m_horizontal;
  float m_vertical;
};

}  // namespace lk

#endif
