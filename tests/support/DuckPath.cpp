#include "DuckPath.h"

#include <cmath>

namespace lktest {
namespace e2e {

namespace {

const float WORLD_WIDTH = 240.f;
const float WORLD_HEIGHT = 36.f;
const float VIEW_LEFT = 60.f;
const float VIEW_WIDTH = 120.f;
const int HALF_WINDOW_CELLS = 60;
const float GRAVITY = 0.005f;
// Far more moves than any duck needs to leave the world.
const int MAX_MOVES = 2000;

// Touching edges count as overlapping.
bool overlaps(float a0, float a1, float b0, float b1) { return (b0 <= a0 && a0 <= b1) || (a0 <= b0 && b0 <= a1); }

}  // namespace

bool DuckPath::inView(int k, float top, float bottom) const {
  const float left = x[static_cast<std::size_t>(k)] - width * 0.5f;
  const float upper = y[static_cast<std::size_t>(k)] - height * 0.5f;
  return left >= VIEW_LEFT && left + width <= VIEW_LEFT + VIEW_WIDTH && upper >= top && upper + height <= bottom;
}

DuckOracle::DuckOracle(float duck_width, float duck_height) : m_width(duck_width), m_height(duck_height) {
  // An unseeded rand() is the generator seeded with 1.
  initstate_r(1, m_state_buffer, sizeof m_state_buffer, &m_state);
}

int DuckOracle::rand() {
  int32_t r = 0;
  random_r(&m_state, &r);
  return r;
}

DuckPath DuckOracle::next(int level) {
  DuckPath path;
  path.width = m_width;
  path.height = m_height;
  // Side, then height, then horizontal place; then the aim.
  float x, y;
  if (rand() % 2 == 1) {
    path.flies_right = true;
    y = static_cast<float>(rand() % 5 + 5);
    x = static_cast<float>(rand() % HALF_WINDOW_CELLS);
  } else {
    y = static_cast<float>(rand() % 5 + 5);
    x = static_cast<float>(static_cast<double>(rand() % HALF_WINDOW_CELLS) + 120 * 3 * 0.5);
  }
  const int r = rand();
  float dx = static_cast<float>(VIEW_LEFT + VIEW_WIDTH * 0.5 - x);
  float dy = static_cast<float>(r % 5 + 5) - y;
  const float len = static_cast<float>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
  if (len > 0) {
    dx /= len;
    dy /= len;
  }
  const float s = static_cast<float>(level) * 0.05f + 2.0f;
  float vx = s * dx;
  float vy = s * dy;

  path.x.push_back(x);
  path.y.push_back(y);
  const float hw = m_width * 0.5f;
  const float hh = m_height * 0.5f;
  for (int k = 1; k <= MAX_MOVES && path.exit_move < 0; ++k) {
    const float nx = x + (vx + 0.f);
    const float ny = y + (vy + GRAVITY);
    const bool was_in = overlaps(x - hw, x - hw + m_width, 0.f, WORLD_WIDTH) &&
                        overlaps(y - hh, y - hh + m_height, 0.f, WORLD_HEIGHT);
    const bool is_in = overlaps(nx - hw, nx - hw + m_width, 0.f, WORLD_WIDTH) &&
                       overlaps(ny - hh, ny - hh + m_height, 0.f, WORLD_HEIGHT);
    x = nx;
    y = ny;
    vy += GRAVITY;
    path.x.push_back(x);
    path.y.push_back(y);
    if (was_in && !is_in) path.exit_move = k;
  }
  return path;
}

}  // namespace e2e
}  // namespace lktest
