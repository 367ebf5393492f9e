// Draws the display manager's cells on the page's canvas: the cells of a
// frame are gathered here and handed to the page in one call, which puts
// each cell's background rectangle and bold glyph on the frame, in the order
// the cells came, from images of the cells the canvas draws once.
#ifndef LK_GLYPH_BATCH_H
#define LK_GLYPH_BATCH_H

#include <string>
#include <vector>

#include "Color.h"

namespace lk {

class Window;

class GlyphBatch {
 public:
  explicit GlyphBatch(Window& window);
  GlyphBatch(const GlyphBatch&) = delete;
  GlyphBatch& operator=(const GlyphBatch&) = delete;

  // 0, or -1 when the font file cannot be read or is no font.
  int loadFont(const std::string& filename);
  // The largest character size, at most `largest`, at which every printable
  // ASCII glyph stays inside its cell's drawn area.
  unsigned int fittingCharacterSize(unsigned int largest, float cell_width, float cell_height);
  void startUp(int horizontal_pixels, int vertical_pixels, int horizontal_cells, int vertical_cells,
               unsigned int character_size, Color background);
  void shutDown();

  // One cell: its background rectangle (a cell's size, from a tenth of a
  // cell left of and a fifth above the pixel position) in the background
  // colour, then the byte's glyph in the colour on the baseline at the
  // character size below the pixel position.
  void drawCell(float px, float py, float cell_width, float cell_height, unsigned char byte,
                unsigned int character_size, Color color);
  // Draws what is gathered onto the canvas.
  void flush();
  void endFrame();
  void startFrame();

  // The reference way draws each cell as it comes, in a call of its own.
  void setReferenceDrawing(bool reference);
  bool getReferenceDrawing() const;

 private:
  // Laid out as the page reads it: four 32-bit words a cell.
  struct Cell {
    float x;
    float y;
    int byte;
    int color;
  };

  Window& m_window;
  bool m_reference_drawing;
  std::vector<Cell> m_cells;
  // The geometry of the gathered cells; a cell of another flushes them first.
  float m_cell_width;
  float m_cell_height;
  unsigned int m_character_size;
};

}  // namespace lk

#endif
