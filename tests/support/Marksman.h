// Reading the HUD of the running game and shooting its ducks where their
// rules put them.
#ifndef LK_MARKSMAN_H
#define LK_MARKSMAN_H

#include <string>

#include <SFML/Graphics/Image.hpp>

#include "GameProcess.h"
#include "ScreenReader.h"

namespace lktest {
namespace e2e {

// One HUD item as the game lays it out: " label value " centred on a column
// of row 1, in a box of '-' and '|' one cell wider on each side.
struct HudItem {
  std::string label;
  int value;
  int centre;
  std::string color;

  std::string text() const { return " " + label + " " + std::to_string(value) + " "; }
  int firstColumn() const { return centre - static_cast<int>(text().size()) / 2; }
  // Rule, boxed text and rule, joined by line ends.
  std::string expected() const;
  // What the screenshot shows in the cells of the item's box, the same way.
  std::string read(ScreenReader& reader, const sf::Image& image) const;
  bool shownOn(ScreenReader& reader, const sf::Image& image) const { return read(reader, image) == expected(); }
};

HudItem missedItem(int value);
HudItem roundItem(int value);
HudItem pointsItem(int value);

// The score on the HUD (a multiple of 100 up to 10000), or -1 when no
// screenshot shows one within the time.
int readScore(GameProcess& game, ScreenReader& reader, int timeout_ms = 5000);

// Shoots at both ducks of each of the four waves of the first round of a
// game whose start key was sent after step `key_step`, along the paths that
// the unseeded generator and the flight rules give (`duck` is the duck
// sprite, for its size). Returns the number of ducks hit, or -1 with the
// reason in *error. More than two escaped ducks would end the game; that is
// reported as an error too.
int shootFirstRound(GameProcess& game, ScreenReader& reader, const SpriteFile& duck, int key_step,
                    std::string* error, std::string* notes = nullptr);

}  // namespace e2e
}  // namespace lktest

#endif
