#include "Marksman.h"

#include <algorithm>
#include <sstream>

#include "DuckPath.h"

namespace lktest {
namespace e2e {

namespace {

const std::string MISSED_LINE = "Duck::out(): duck missed";

int fail(std::string* error, const std::string& reason) {
  if (error != nullptr) *error = reason;
  return -1;
}

}  // namespace

std::string HudItem::expected() const {
  const std::string rule(text().size() + 2, '-');
  return rule + "\n|" + text() + "|\n" + rule;
}

std::string HudItem::read(ScreenReader& reader, const sf::Image& image) const {
  const int first = firstColumn() - 1;
  const int last = firstColumn() + static_cast<int>(text().size());
  std::istringstream likely_rows(expected());
  std::string seen;
  for (int row = 0; row < 3; ++row) {
    std::string likely;
    std::getline(likely_rows, likely);
    seen += reader.readText(image, row, first, last, likely);
    if (row < 2) seen += "\n";
  }
  return seen;
}

HudItem missedItem(int value) { return {"Ducks Missed:", value, 20, "yellow"}; }
HudItem roundItem(int value) { return {"ROUND", value, 60, "white"}; }
HudItem pointsItem(int value) { return {"Points:", value, 100, "yellow"}; }

int readScore(GameProcess& game, ScreenReader& reader, int timeout_ms) {
  int points = -1;
  waitFor(
      [&] {
        sf::Image image;
        if (!game.screenshot(image)) return false;
        for (int value = 0; value <= 10000 && points < 0; value += 100)
          if (pointsItem(value).shownOn(reader, image)) points = value;
        return points >= 0;
      },
      timeout_ms, 20);
  return points;
}

int shootFirstRound(GameProcess& game, ScreenReader& reader, const SpriteFile& duck, int key_step,
                    std::string* error, std::string* notes) {
  DuckOracle oracle(static_cast<float>(duck.width), static_cast<float>(duck.height));
  // The first wave is launched by the key, most likely at the next step. A
  // duck's box is 14 cells wide, it moves about 2 cells a step and a bullet
  // stays 3 steps, so a launch known to a step or two is enough.
  int launch = key_step + 1;
  int hits = 0;
  std::ostringstream told;
  for (int wave = 1; wave <= 4; ++wave) {
    const DuckPath ducks[2] = {oracle.next(1), oracle.next(1)};
    const int misses_before = game.logCount(MISSED_LINE);
    // The first move at which a duck is in the open, clear of the HUD and
    // the gun (a shot that takes the other duck too is welcome).
    const auto shootable = [&](int i, int from) {
      const DuckPath& d = ducks[i];
      for (int k = std::max(from, 1); k + 3 < d.exit_move; ++k)
        if (d.inView(k, 4.f, 27.f) && d.column(k) >= 12 && d.column(k) <= 108) return k;
      return -1;
    };
    // One duck at a time, the one that comes into the open first; the score
    // after each shot tells whether it fell (or took the other one along).
    const int points_before = readScore(game, reader);
    if (points_before < 0) return fail(error, "the score could not be read before wave " + std::to_string(wave));
    int points = points_before;
    int last_hit_step = -1;
    bool standing[2] = {true, true};
    for (int attempt = 0; attempt < 4 && (standing[0] || standing[1]); ++attempt) {
      const int from = game.lastStep() - launch + 4;
      int target = -1, move = -1;
      for (int i = 0; i < 2; ++i) {
        const int k = standing[i] ? shootable(i, from) : -1;
        if (k >= 0 && (move < 0 || k < move)) {
          target = i;
          move = k;
        }
      }
      if (target < 0) break;
      const DuckPath& d = ducks[target];
      if (!game.moveMouse(static_cast<int>(d.column(move) * CELL_WIDTH),
                          static_cast<int>(d.row(move) * CELL_HEIGHT)) ||
          !game.waitForStep(launch + move - 2, 30000))
        return fail(error, "the game stopped while aiming");
      const int click_step = game.lastStep();
      if (!game.click()) return fail(error, "xdotool could not click");
      // The bullet lives for the three steps after the click.
      if (!game.waitForStep(click_step + 4, 30000)) return fail(error, "the game stopped after a shot");
      const int now = readScore(game, reader);
      if (now < points) return fail(error, "the score could not be read after a shot");
      const int fell = (now - points) / 100;
      points = now;
      if (fell > 0) last_hit_step = click_step + 2;
      if (fell >= 1) standing[target] = false;
      if (fell >= 2) standing[1 - target] = false;
    }
    const int hit = (points - points_before) / 100;
    hits += hit;
    const int escaped = 2 - hit;
    told << "wave " << wave << " launched near step " << launch << ": " << hit << " hit; ";
    if (misses_before + escaped > 2) return fail(error, "shots along the predicted paths missed too often");
    // The next wave starts with the last report of this one.
    if (escaped > 0) {
      if (!game.waitForLogCount(MISSED_LINE, misses_before + escaped, 30000))
        return fail(error, "an escaped duck never left the world");
      launch = std::max(last_hit_step, game.stepsOf(MISSED_LINE).back());
    } else {
      launch = last_hit_step;
    }
  }
  if (notes != nullptr) *notes = told.str();
  return hits;
}

}  // namespace e2e
}  // namespace lktest
