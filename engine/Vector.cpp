#include "Vector.h"

#include <cmath>

namespace lk {

float Vector::getMagnitude() const { return std::sqrt(x * x + y * y); }

void Vector::normalize() {
  const float length = getMagnitude();
  if (length > 0) {
    x /= length;
    y /= length;
  }
}

}  // namespace lk
