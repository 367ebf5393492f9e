// Where the game's ducks fly, and shooting them there. The game never seeds
// the C library's generator, so the ducks of every run are the same: this
// replays the generator from its unseeded start and the flight rules (start
// place, aim at the middle of the view, gravity of 0.005 cells per step per
// step) to say where each duck is after each of its moves.
#ifndef LK_MARKSMAN_H
#define LK_MARKSMAN_H

#include <cstdlib>
#include <string>
#include <vector>

#include "GameProcess.h"
#include "ScreenReader.h"

namespace lktest {
namespace e2e {

struct DuckPath {
  float width = 0, height = 0;  // the box, in cells
  // The centre after the k-th move (k = 0: the start).
  std::vector<float> x, y;
  // The move after which the box has left the world: the miss.
  int exit_move = -1;

  // Screen column and row of the centre after move k.
  float column(int k) const { return x[static_cast<std::size_t>(k)] - 60.f; }
  float row(int k) const { return y[static_cast<std::size_t>(k)]; }
  // The box after move k lies wholly in the view, between the rows given.
  bool inView(int k, float top, float bottom) const;
};

// The ducks in launch order, two per wave, from the generator's start.
class DuckOracle {
 public:
  explicit DuckOracle(const SpriteFile& duck);
  DuckPath next(int level);

 private:
  int rand();
  float m_width, m_height;
  random_data m_state{};
  char m_state_buffer[128]{};
};

// The score on the HUD, or -1 when no screenshot shows one in time.
int readScore(GameProcess& game, ScreenReader& reader, int timeout_ms = 5000);

// Points where the duck of a wave launched at step `launch` will be after
// its move `move` (made at step launch + move) and clicks two steps ahead,
// so the bullet's three steps cover it. The step after which it clicked, or -1.
int shootAt(GameProcess& game, const DuckPath& duck, int launch, int move);

// Shoots the ducks of the first round of a game whose start key came after
// step `key_step`: the number hit, or -1 with the reason in *error (a third
// escape, which would end the game, is one).
int shootFirstRound(GameProcess& game, ScreenReader& reader, const SpriteFile& duck, int key_step, std::string* error);

}  // namespace e2e
}  // namespace lktest

#endif
