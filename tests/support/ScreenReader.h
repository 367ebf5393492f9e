// Reading the game's screen from a screenshot: which character each cell
// shows, in which colour, and whether a sprite's frame is on screen. The
// reference pictures are drawn here with SFML directly, the way a character
// cell is defined (background rectangle offset by a tenth of the cell width
// and a fifth of its height, bold glyph of size 15 at the cell's corner), so
// they do not depend on the engine's own drawing code.
#ifndef LK_SCREEN_READER_H
#define LK_SCREEN_READER_H

#include <map>
#include <string>
#include <vector>

#include <SFML/Graphics.hpp>

namespace lktest {
namespace e2e {

const int SCREEN_COLUMNS = 120;
const int SCREEN_ROWS = 36;
const float CELL_WIDTH = 1024.f / 120.f;
const float CELL_HEIGHT = 768.f / 36.f;

// A sprite file read the way the game reads it (header of five lines, then
// the rows of every frame).
struct SpriteFile {
  int frames = 0;
  int width = 0;
  int height = 0;
  int slowdown = 0;
  std::string color;             // the colour word
  std::vector<std::string> rows;  // frames * height rows, in file order

  bool load(const std::string& path);
  char at(int frame, int x, int y) const;
  sf::Color sfColor() const;
};

class ScreenReader {
 public:
  explicit ScreenReader(const std::string& font_file);
  bool ok() const { return m_ok; }

  // The pixels a screen cell owns: its background rectangle.
  sf::IntRect cellRect(int col, int row) const;
  // Mean absolute difference (0 to 255) of brightness between the cell on
  // the screenshot and the character drawn alone in that cell.
  double difference(const sf::Image& shot, int col, int row, char c);
  // The character whose picture is closest; '?' when none is close enough.
  // A likely character, when given, is tried first.
  char readCell(const sf::Image& shot, int col, int row, char likely = 0);
  std::string readText(const sf::Image& shot, int row, int first_col, int last_col,
                       const std::string& likely = "");
  // True when the cell looks like this character: a quick test for
  // pictures; readCell tells similar characters apart.
  bool cellShows(const sf::Image& shot, int col, int row, char c);

  // Average colour of the lit pixels of the cells (cols and rows inclusive);
  // black when nothing is lit.
  static sf::Color litColor(const sf::Image& shot, int first_col, int last_col, int row);
  // The nearest of the eight engine colours by hue, as its name ("yellow"...).
  static std::string colorName(sf::Color c);

  // Share (0 to 1) of the frame's visible non-blank cells that the screenshot
  // shows with the right character, the frame centred on the screen cell
  // (col, row) as the engine centres sprites. `transparent` cells are skipped.
  double spriteFrameMatch(const sf::Image& shot, const SpriteFile& sprite, int frame, int col, int row,
                          char transparent = 0);
  // The best share over all frames of the sprite.
  double spriteMatch(const sf::Image& shot, const SpriteFile& sprite, int col, int row,
                     char transparent = 0);

 private:
  // Brightness of every pixel of rows 0 to 2 with the character in every cell.
  const std::vector<sf::Uint8>& reference(char c);

  sf::Font m_font;
  bool m_ok = false;
  sf::RenderTexture m_target;
  std::map<char, std::vector<sf::Uint8>> m_references;
};

// Pixels of the image within the rectangle whose colour is near the given
// one (each channel within the tolerance), and their mean position.
struct ColorBlob {
  int count = 0;
  float x = 0;
  float y = 0;
};
ColorBlob findColor(const sf::Image& shot, sf::Color color, sf::IntRect area, int tolerance = 60);

}  // namespace e2e
}  // namespace lktest

#endif
