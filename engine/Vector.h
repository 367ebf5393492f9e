// A 2-D position or displacement in world cells; y grows downward.
#ifndef LK_VECTOR_H
#define LK_VECTOR_H

namespace lk {

class Vector {
 public:
  Vector() : x(0.0f), y(0.0f) {}
  Vector(float init_x, float init_y) : x(init_x), y(init_y) {}

  float getX() const { return x; }
  void setX(float new_x) { x = new_x; }
  float getY() const { return y; }
  void setY(float new_y) { y = new_y; }
  void setXY(float new_x, float new_y) {
    x = new_x;
    y = new_y;
  }

  float getMagnitude() const;
  // Scales to length 1; a zero vector stays zero.
  void normalize();
  void scale(float s) {
    x *= s;
    y *= s;
  }

  Vector operator+(const Vector& other) const { return Vector(x + other.x, y + other.y); }
  Vector operator-(const Vector& other) const { return Vector(x - other.x, y - other.y); }
  bool operator==(const Vector& other) const { return x == other.x && y == other.y; }
  bool operator!=(const Vector& other) const { return !(*this == other); }

 private:
  float x;
  float y;
};

}  // namespace lk

#endif
