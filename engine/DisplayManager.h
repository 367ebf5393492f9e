// Owns the one window and draws coloured characters in its grid of cells.
#ifndef LK_DISPLAY_MANAGER_H
#define LK_DISPLAY_MANAGER_H

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <SFML/Graphics.hpp>

#include "Color.h"
#include "Manager.h"
#include "Vector.h"

namespace lk {

const int DEFAULT_WINDOW_HORIZONTAL_PIXELS = 1024;
const int DEFAULT_WINDOW_VERTICAL_PIXELS = 768;
const int DEFAULT_WINDOW_HORIZONTAL_CELLS = 120;
const int DEFAULT_WINDOW_VERTICAL_CELLS = 36;
const sf::Color DEFAULT_WINDOW_BACKGROUND_COLOR = sf::Color::Black;
const std::string DEFAULT_WINDOW_TITLE = "Fowlshot Lark";
const std::string DEFAULT_FONT_FILE = "../lk-font.ttf";

class DisplayManager : public Manager {
 public:
  static DisplayManager& getInstance();
  ~DisplayManager() override;

  // 0 on success or when the window already exists, -1 on failure.
  int startUp() override;
  void shutDown() override;

  // Draws one character in the cell at a world position; -1 with no window.
  int drawCh(Vector world_pos, char ch, Color color);
  // Draws the string centred on the position, one cell per character.
  int drawString(Vector world_pos, std::string str, Color color);
  // Shows the frame drawn so far and clears the window for the next one.
  int swapBuffer();

  int getHorizontalCells() const;
  int getVerticalCells() const;
  int getHorizontalPixels() const;
  int getVerticalPixels() const;
  sf::RenderWindow* getWindow() const;

  // By default characters are batched into one vertex array and drawn in one
  // call; the reference way draws each cell as its own rectangle and text,
  // which is slow but plainly what SFML would draw. Both give one picture,
  // as long as nothing but the display manager draws into the window.
  void setReferenceDrawing(bool reference = true);
  bool getReferenceDrawing() const;
  // Draws the batched characters into the window without showing them, so
  // the frame can be read back before swapBuffer clears it. Nothing to do in
  // the reference way.
  void flush();

 private:
  DisplayManager();

  // The part of start-up that follows the window's creation: the font and the
  // drawing caches, then the started flag.
  int finishStartUp();
  // Loads the bold glyph of every byte at the character size, so the font's
  // page texture is complete before the first frame.
  void cacheGlyphs(unsigned int character_size);
  void appendCell(float px, float py, float cw, float ch, unsigned char byte,
                  unsigned int character_size, sf::Color color);
  void appendBackground(float left, float top, float right, float bottom);
  void appendBackgroundQuad(float left, float top, float right, float bottom);

  // Which pixels a glyph may have changed since the frame was cleared. A
  // cell's background only needs drawing where something is there to cover:
  // elsewhere the cleared frame already shows the background colour.
  void clearInk();
  void markInk(float left, float top, float right, float bottom);
  void setInk(int first_column, int last_column, int first_row, int last_row, bool ink);

  sf::Font m_font;
  std::unique_ptr<sf::RenderWindow> m_window;
  sf::Color m_window_background_color;
  int m_window_horizontal_pixels;
  int m_window_vertical_pixels;
  int m_window_horizontal_cells;
  int m_window_vertical_cells;

  // The reference way's two reused drawing objects.
  sf::RectangleShape m_cell_background;
  sf::Text m_cell_text;

  bool m_reference_drawing;
  sf::VertexArray m_batch;
  // Code point and glyph of every byte at m_cached_size (0: nothing cached).
  unsigned int m_cached_size;
  std::array<sf::Uint32, 256> m_code_points;
  std::array<sf::Glyph, 256> m_glyphs;

  // One bit per window pixel, rows of m_ink_words 64-bit words.
  std::vector<std::uint64_t> m_ink;
  int m_ink_words;
  // Set when something not tracked drew this frame: every background is drawn.
  bool m_ink_unknown;
};

// Cells to window pixels and back, without the view's offset.
Vector cellsToPixels(Vector spaces);
Vector pixelsToCells(Vector pixels);

// The SFML colour an engine colour draws in (white outside the enumeration).
sf::Color toSfColor(int color);

}  // namespace lk

#endif
