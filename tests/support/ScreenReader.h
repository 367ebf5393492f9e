// Reading the game's screen from a screenshot: the characters and colours of
// cells, the HUD, and whether a sprite is shown. The reference pictures
// are drawn here with SFML directly, the way a character cell is defined
// (background offset by a tenth of the cell's width and a fifth of its
// height, bold glyph of size 15 at the cell's corner), so they do not
// depend on the engine's own drawing code.
#ifndef LK_SCREEN_READER_H
#define LK_SCREEN_READER_H

#include <map>
#include <string>
#include <vector>

#include <SFML/Graphics.hpp>

namespace lktest {
namespace e2e {

const float CELL_WIDTH = 1024.f / 120.f;
const float CELL_HEIGHT = 768.f / 36.f;

// A sprite file: five header lines, then the rows of every frame.
struct SpriteFile {
  int frames = 0, width = 0, height = 0;
  std::string color;  // the colour word
  std::vector<std::string> rows;
  bool load(const std::string& path);
};

// The pixels of the cells from (col0, row0) to (col1, row1), inclusive.
sf::IntRect cellsRect(float col0, float row0, float col1, float row1);
// The engine colour ("yellow"...) nearest the mean of the area's lit
// pixels; "black" when none is lit.
std::string inkColor(const sf::Image& shot, sf::IntRect area);
// The area's lit pixels that are themselves of the named colour.
int colorCount(const sf::Image& shot, sf::IntRect area, const std::string& color);

class ScreenReader {
 public:
  explicit ScreenReader(const std::string& font_file);
  bool ok() const { return m_ok; }

  // The expected text of the row's cells from first_col on, with '?' for
  // each cell that does not show its character.
  std::string readText(const sf::Image& shot, int row, int first_col, const std::string& expected);
  // The best share, over the sprite's frames, of its non-blank cells that
  // the screen shows, the sprite centred on the cell as the engine does.
  double spriteMatch(const sf::Image& shot, const SpriteFile& sprite, int col, int row);

 private:
  // Mean brightness difference (0 to 255) between the cell and the character.
  double difference(const sf::Image& shot, int col, int row, char c);
  // Brightness of rows 0 to 2 drawn with the character in every cell.
  const std::vector<sf::Uint8>& reference(char c);

  sf::Font m_font;
  sf::RenderTexture m_target;
  bool m_ok = false;
  std::map<char, std::vector<sf::Uint8>> m_references;
};

// One HUD item: " label value " centred on a column of row 1, in a box of
// '-' and '|' one cell wider on each side.
struct HudItem {
  std::string label;
  int value;
  int centre;
  std::string color;

  std::string text() const { return " " + label + " " + std::to_string(value) + " "; }
  int firstColumn() const { return centre - static_cast<int>(text().size()) / 2; }
  int lastColumn() const { return firstColumn() + static_cast<int>(text().size()) - 1; }
  // Rule, boxed text and rule, joined by line ends.
  std::string expected() const;
  // The cells of the box, read the same way.
  std::string read(ScreenReader& reader, const sf::Image& shot) const;
  bool shownOn(ScreenReader& reader, const sf::Image& shot) const { return read(reader, shot) == expected(); }
};

inline HudItem missedItem(int value) { return {"Ducks Missed:", value, 20, "yellow"}; }
inline HudItem roundItem(int value) { return {"ROUND", value, 60, "white"}; }
inline HudItem pointsItem(int value) { return {"Points:", value, 100, "yellow"}; }

}  // namespace e2e
}  // namespace lktest

#endif
