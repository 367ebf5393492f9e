#ifndef LK_VECTOR_H
#define LK_VECTOR_H

namespace lk {

/// A 2-D position or displacement in world cells; y grows downward.
class Vector {
 public:
  Vector() : x(0.0f), y(0.0f) {}
  /// The vector (x, y).
  Vector(float init_x, float init_y) : x(init_x), y(init_y) {}

  /// The horizontal part, rightward.
  float getX() const { return x; }
  /// Sets the horizontal part.
  void setX(float new_x) { x = new_x; }
  /// The vertical part, downward.
  float getY() const { return y; }
  /// Sets the vertical part.
  void setY(float new_y) { y = new_y; }
  /// Sets both parts.
  void setXY(float new_x, float new_y) {
    x = new_x;
    y = new_y;
  }

  /// The length.
  float getMagnitude() const;
  /// Scales to length 1; a zero vector stays zero.
  void normalize();
  /// Multiplies both parts by s.
  void scale(float s) {
    x *= s;
    y *= s;
  }

  /// The sum.
  Vector operator+(const Vector& other) const { return Vector(x + other.x, y + other.y); }
  /// The difference.
  Vector operator-(const Vector& other) const { return Vector(x - other.x, y - other.y); }
  /// Whether both parts are equal.
  bool operator==(const Vector& other) const { return x == other.x && y == other.y; }
  /// Whether a part differs.
  bool operator!=(const Vector& other) const { return !(*this == other); }

 private:
  float x;
  float y;
};

}  // namespace lk

#endif
