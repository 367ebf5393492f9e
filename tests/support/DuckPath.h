// Where the game's ducks fly. The game never seeds the C library's random
// generator, so the ducks of every run are the same; this replays the
// generator from its unseeded start and the flight rules (start place, aim
// at the middle of the view, gravity of 0.005 cells per step per step) to
// say where each duck is after each of its moves.
#ifndef LK_DUCK_PATH_H
#define LK_DUCK_PATH_H

#include <cstdlib>
#include <vector>

namespace lktest {
namespace e2e {

struct DuckPath {
  bool flies_right = false;
  float width = 0;  // the box, in cells
  float height = 0;
  // positions[k]: the centre after the k-th move (positions[0]: the start).
  std::vector<float> x;
  std::vector<float> y;
  // The move after which the duck's box has left the world (its miss).
  int exit_move = -1;

  // Screen column and row of the centre after move k.
  float column(int k) const { return x[static_cast<std::size_t>(k)] - 60.f; }
  float row(int k) const { return y[static_cast<std::size_t>(k)]; }
  // True when the duck's box after move k lies wholly inside the view.
  bool inView(int k, float top = 0.f, float bottom = 36.f) const;
};

// The ducks in launch order, two per wave, from the generator's start.
class DuckOracle {
 public:
  // Box size of the duck sprite, in cells.
  DuckOracle(float duck_width, float duck_height);
  // The next duck the game will launch, of the given level.
  DuckPath next(int level);

 private:
  int rand();
  float m_width;
  float m_height;
  random_data m_state{};
  char m_state_buffer[128]{};
};

}  // namespace e2e
}  // namespace lktest

#endif
