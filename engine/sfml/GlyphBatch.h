// Draws the display manager's cells into the desktop window: each cell's
// background and bold glyph become textured quads from the font's page,
// gathered into one vertex array and sent to the driver in a few draws.
//
// A backend's GlyphBatch: loadFont, fittingCharacterSize, startUp, shutDown, drawCell, flush,
// endFrame, startFrame, setReferenceDrawing and getReferenceDrawing, with
// the meanings below. The window is its backend's own Window.
#ifndef LK_GLYPH_BATCH_H
#define LK_GLYPH_BATCH_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <SFML/Graphics.hpp>

#include "Color.h"

namespace lk {

class Window;

class GlyphBatch {
 public:
  explicit GlyphBatch(Window& window);
  GlyphBatch(const GlyphBatch&) = delete;
  GlyphBatch& operator=(const GlyphBatch&) = delete;

  // 0, or -1 when the font file cannot be read.
  int loadFont(const std::string& filename);
  // The largest character size, at most `largest`, at which every printable
  // ASCII glyph of the loaded font, bold, lies inside its cell's drawn area:
  // the background rectangle from a tenth of the cell's width left of the
  // character's position and a fifth of its height above it. Beyond it, the
  // background of the next cell drawn cuts the glyph.
  unsigned int fittingCharacterSize(unsigned int largest, float cell_width, float cell_height);
  // Readies frames of cells on a surface of the size in pixels: the glyphs
  // at the character size, and the caches sized for a full screen.
  // `background` is the colour the window is cleared to between frames.
  void startUp(int horizontal_pixels, int vertical_pixels, int horizontal_cells, int vertical_cells,
               unsigned int character_size, Color background);
  void shutDown();

  // One cell: its background rectangle (a cell's size, from a tenth of a
  // cell left of and a fifth above the pixel position) in the background
  // colour, then the byte's glyph in the colour on the baseline at the
  // character size below the pixel position.
  void drawCell(float px, float py, float cell_width, float cell_height, unsigned char byte,
                unsigned int character_size, Color color);
  // Draws what is batched into the window without showing it, so the frame
  // can be read back.
  void flush();
  // Draws what is left of the frame, before the window shows it.
  void endFrame();
  // The window was cleared to the background colour: a new frame begins.
  void startFrame();

  // By default characters are batched into one vertex array and drawn in one
  // call; the reference way draws each cell as its own rectangle and text,
  // which is slow but plainly what SFML would draw. Both give one picture,
  // as long as nothing but the display manager draws into the window, but
  // for the rounding of texture coordinates where a later cell's background
  // cuts a glyph (a level or two, on a few pixels).
  void setReferenceDrawing(bool reference);
  bool getReferenceDrawing() const;

 private:
  // Loads the bold glyph of every byte at the character size, so the font's
  // page texture is complete before the first frame.
  void cacheGlyphs(unsigned int character_size);
  void appendCell(float px, float py, float cw, float ch, unsigned char byte,
                  unsigned int character_size, sf::Color color);
  void drawReferenceCell(float px, float py, float cw, float ch, unsigned char byte,
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

  Window& m_window;
  sf::Font m_font;
  sf::Color m_background_color;
  // The surface's size in pixels, from start-up.
  int m_horizontal_pixels;
  int m_vertical_pixels;

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

}  // namespace lk

#endif
