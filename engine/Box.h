#ifndef LK_BOX_H
#define LK_BOX_H

#include "Vector.h"

namespace lk {

/// An axis-aligned rectangle in world cells; both edges belong to it.
class Box {
 public:
  Box();
  /// A box with its top-left corner and its width and height in cells.
  Box(Vector init_corner, float init_horizontal, float init_vertical);

  /// The top-left corner.
  Vector getCorner() const { return m_corner; }
  /// Moves the top-left corner.
  void setCorner(Vector new_corner) { m_corner = new_corner; }
  /// The width in cells.
  float getHorizontal() const { return m_horizontal; }
  /// Sets the width in cells.
  void setHorizontal(float new_horizontal) { m_horizontal = new_horizontal; }
  /// The height in cells.
  float getVertical() const { return m_vertical; }
  /// Sets the height in cells.
  void setVertical(float new_vertical) { m_vertical = new_vertical; }

 private:
  Vector m_corner;
  float m_horizontal;
  float m_vertical;
};

}  // namespace lk

#endif
