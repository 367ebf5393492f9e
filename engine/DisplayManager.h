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
  // as long as nothing but the display manager draws into the window, but
  // for the rounding of texture coordinates where a later cell's background
  // cuts a glyph (a level or two, on a few pixels).
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

  // A batch that starts on the cleared frame draws no background quads: the
  // frame already shows the background colour, so a cell's background only
  // has to take away what earlier glyphs put there. Each glyph quad is kept
  // with the number of backgrounds appended before it, and on flush is cut
  // by the ones appended after it.
  struct Rect {
    float left, top, right, bottom;
  };
  struct CutGlyph {
    Rect quad;
    Rect texture;
    sf::Color color;
    std::uint32_t backgrounds_before;
  };
  static bool overlap(const Rect& a, const Rect& b);
  // The texture rectangle of a piece of a quad: coordinates follow the cut,
  // and the quad's own edges keep theirs.
  static Rect pieceTexture(const Rect& piece, const Rect& quad, const Rect& texture);
  bool cutting() const;
  // Draws what is batched; when the frame ends with it, the ink map is not kept.
  void drawBatch(bool frame_ends);
  void drawCutBatch(bool frame_ends);
  void indexBackgrounds();
  int tileColumn(float x) const;
  int tileRow(float y) const;
  // The pieces of the glyph that no later background covers; returns their count.
  int cutGlyph(const CutGlyph& glyph, Rect* pieces);
  void appendQuad(const Rect& quad, const Rect& texture, sf::Color color);
  // Cuts the quad (and its texture rectangle, if given) to the window. The
  // driver sends a whole run of vertices through its slow clipping stage when
  // any one of them lies outside the window; none does this way. False when
  // nothing of the quad is inside.
  bool clipToWindow(Rect& quad, Rect* texture) const;

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
  // The character size, chosen at start-up so that every glyph fits its cell.
  unsigned int m_character_size;
  // Code point and glyph of every byte at m_cached_size (0: nothing cached).
  unsigned int m_cached_size;
  std::array<sf::Uint32, 256> m_code_points;
  std::array<sf::Glyph, 256> m_glyphs;

  // One bit per window pixel, rows of m_ink_words 64-bit words.
  std::vector<std::uint64_t> m_ink;
  int m_ink_words;
  // Some pixel may be set (clearing an untouched map is skipped).
  bool m_ink_marked;
  // Set when something not tracked drew this frame: every background is drawn.
  bool m_ink_unknown;
  // Nothing has been drawn into the window since it was cleared.
  bool m_window_cleared;

  std::vector<CutGlyph> m_cut_glyphs;
  std::vector<Rect> m_cut_backgrounds;
  // Backgrounds that must be drawn after all (a glyph cut into too many pieces).
  std::vector<std::uint8_t> m_background_drawn;
  // The backgrounds by tiles of the window: those of tile t are
  // m_tile_backgrounds[m_tile_start[t] .. m_tile_start[t + 1]).
  std::vector<std::uint32_t> m_tile_start;
  std::vector<std::uint32_t> m_tile_backgrounds;
  struct TileSpan {
    int first_column, last_column, first_row, last_row;
  };
  std::vector<TileSpan> m_background_tiles;
  int m_tile_columns;
  int m_tile_rows;
};

// Cells to window pixels and back, without the view's offset.
Vector cellsToPixels(Vector spaces);
Vector pixelsToCells(Vector pixels);

// The SFML colour an engine colour draws in (white outside the enumeration).
sf::Color toSfColor(int color);

}  // namespace lk

#endif
