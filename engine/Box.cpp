#include "Box.h"

namespace lk {

Box::Box() : m_corner(), m_horizontal(0.0f), m_vertical(0.0f) {}

Box::Box(Vector init_corner, float init_horizontal, float init_vertical)
    : m_corner(init_corner), m_horizontal(init_horizontal), m_vertical(init_vertical) {}

}  // namespace lk
