#include "Marksman.h"

#include <algorithm>
#include <cmath>

namespace lktest {
namespace e2e {

namespace {

const std::string MISSED_LINE = "Duck::out(): duck missed";

// Touching edges overlap.
bool overlaps(float a0, float a1, float b0, float b1) { return a0 <= b1 && b0 <= a1; }

}  // namespace

bool DuckPath::inView(int k, float top, float bottom) const {
  const float left = x[static_cast<std::size_t>(k)] - width * 0.5f;
  const float upper = y[static_cast<std::size_t>(k)] - height * 0.5f;
  return left >= 60.f && left + width <= 180.f && upper >= top && upper + height <= bottom;
}

DuckOracle::DuckOracle(const SpriteFile& duck)
    : m_width(static_cast<float>(duck.width)), m_height(static_cast<float>(duck.height)) {
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
  const bool flies_right = rand() % 2 == 1;
  float y = static_cast<float>(rand() % 5 + 5);
  float x = flies_right ? static_cast<float>(rand() % 60) : static_cast<float>(static_cast<double>(rand() % 60) + 180.0);
  float dx = 120.f - x;
  float dy = static_cast<float>(rand() % 5 + 5) - y;
  const float len = static_cast<float>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
  if (len > 0) dx /= len, dy /= len;
  const float speed = static_cast<float>(level) * 0.05f + 2.0f;
  float vx = speed * dx, vy = speed * dy;

  const float hw = m_width * 0.5f, hh = m_height * 0.5f;
  const auto inWorld = [&](float cx, float cy) {
    return overlaps(cx - hw, cx - hw + m_width, 0.f, 240.f) && overlaps(cy - hh, cy - hh + m_height, 0.f, 36.f);
  };
  path.x.push_back(x);
  path.y.push_back(y);
  for (int k = 1; k <= 2000 && path.exit_move < 0; ++k) {
    // The acceleration is added to the velocity before the move.
    vy += 0.005f;
    const bool was_in = inWorld(x, y);
    x += vx;
    y += vy;
    path.x.push_back(x);
    path.y.push_back(y);
    if (was_in && !inWorld(x, y)) path.exit_move = k;
  }
  return path;
}

int readScore(GameProcess& game, ScreenReader& reader, int timeout_ms) {
  int points = -1;
  waitFor(
      [&] {
        sf::Image shot;
        if (!game.screenshot(shot)) return false;
        for (int value = 0; value <= 10000 && points < 0; value += 100)
          if (pointsItem(value).shownOn(reader, shot)) points = value;
        return points >= 0;
      },
      timeout_ms);
  return points;
}

int shootAt(GameProcess& game, const DuckPath& duck, int launch, int move) {
  if (!game.moveMouse(static_cast<int>(duck.column(move) * CELL_WIDTH), static_cast<int>(duck.row(move) * CELL_HEIGHT)) ||
      !game.waitForStep(launch + move - 2, 30000))
    return -1;
  const int step = game.lastStep();
  return game.click() ? step : -1;
}

int shootFirstRound(GameProcess& game, ScreenReader& reader, const SpriteFile& duck, int key_step, std::string* error) {
  const auto fail = [&](const std::string& reason) { return *error = reason, -1; };
  DuckOracle oracle(duck);
  // The key most likely launched the first wave at the next step; a duck is
  // 14 cells wide and moves 2 a step, so a step or two off does not matter.
  int launch = key_step + 1;
  int hits = 0;
  for (int wave = 1; wave <= 4; ++wave) {
    const DuckPath ducks[2] = {oracle.next(1), oracle.next(1)};
    const int misses_before = game.logCount(MISSED_LINE);
    // The first move, from `from` on, at which the duck is in the open,
    // clear of the HUD and the gun.
    const auto shootable = [&](int i, int from) {
      for (int k = std::max(from, 1); k + 3 < ducks[i].exit_move; ++k)
        if (ducks[i].inView(k, 4.f, 27.f) && ducks[i].column(k) >= 12 && ducks[i].column(k) <= 108) return k;
      return -1;
    };
    // One duck at a time, whichever comes into the open first; the score
    // after each shot tells whether it fell (or took the other one along).
    const int points_before = readScore(game, reader);
    if (points_before < 0) return fail("the score could not be read before wave " + std::to_string(wave));
    int points = points_before, last_hit_step = -1;
    bool standing[2] = {true, true};
    for (int attempt = 0; attempt < 4 && (standing[0] || standing[1]); ++attempt) {
      const int from = game.lastStep() - launch + 4;
      int target = -1, move = -1;
      for (int i = 0; i < 2; ++i) {
        const int k = standing[i] ? shootable(i, from) : -1;
        if (k >= 0 && (move < 0 || k < move)) target = i, move = k;
      }
      if (target < 0) break;
      const int click_step = shootAt(game, ducks[target], launch, move);
      // The bullet lives for the three steps after the click.
      if (click_step < 0 || !game.waitForStep(click_step + 4, 30000)) return fail("the game stopped during a shot");
      const int now = readScore(game, reader);
      if (now < points) return fail("the score could not be read after a shot");
      const int fell = (now - points) / 100;
      points = now;
      if (fell > 0) last_hit_step = click_step + 2, standing[target] = false;
      if (fell > 1) standing[1 - target] = false;
    }
    const int hit = (points - points_before) / 100;
    hits += hit;
    if (misses_before + 2 - hit > 2) return fail("shots along the predicted paths missed too often");
    // The next wave starts with the last report of this one.
    launch = last_hit_step;
    if (hit < 2) {
      if (!game.waitForLogCount(MISSED_LINE, misses_before + 2 - hit, 30000)) return fail("an escaped duck never left");
      launch = std::max(launch, game.stepsOf(MISSED_LINE).back());
    }
  }
  return hits;
}

}  // namespace e2e
}  // namespace lktest
