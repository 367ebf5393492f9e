#include "GlyphBatch.h"

#include "BrowserCalls.h"
#include "Window.h"

namespace lk {

GlyphBatch::GlyphBatch(Window& window)
    : m_window(window),
      m_reference_drawing(false),
      m_cell_width(0),
      m_cell_height(0),
      m_character_size(0) {}

int GlyphBatch::loadFont(const std::string& filename) { return lk_web_load_font(filename.c_str()); }

unsigned int GlyphBatch::fittingCharacterSize(unsigned int largest, float cell_width,
                                              float cell_height) {
  return static_cast<unsigned int>(
      lk_web_fitting_size(static_cast<int>(largest), cell_width, cell_height));
}

void GlyphBatch::startUp(int horizontal_pixels, int vertical_pixels, int horizontal_cells,
                         int vertical_cells, unsigned int character_size, Color background) {
  (void)horizontal_pixels;
  (void)vertical_pixels;
  (void)character_size;
  (void)background;
  // A full screen of cells, so that no frame grows the batch.
  m_cells.reserve(static_cast<std::size_t>(horizontal_cells) *
                  static_cast<std::size_t>(vertical_cells));
}

void GlyphBatch::shutDown() { m_cells.clear(); }

void GlyphBatch::drawCell(float px, float py, float cell_width, float cell_height,
                          unsigned char byte, unsigned int character_size, Color color) {
  if (!m_cells.empty() && (cell_width != m_cell_width || cell_height != m_cell_height ||
                           character_size != m_character_size))
    flush();
  m_cell_width = cell_width;
  m_cell_height = cell_height;
  m_character_size = character_size;
  m_cells.push_back(Cell{px, py, byte, static_cast<int>(color)});
  if (m_reference_drawing) flush();
}

void GlyphBatch::flush() {
  if (m_cells.empty()) return;
  if (m_window.isOpen())
    lk_web_draw_cells(m_cells.data(), static_cast<int>(m_cells.size()), m_cell_width, m_cell_height,
                      static_cast<int>(m_character_size));
  m_cells.clear();
}

void GlyphBatch::endFrame() { flush(); }

void GlyphBatch::startFrame() {}

void GlyphBatch::setReferenceDrawing(bool reference) {
  flush();
  m_reference_drawing = reference;
}

bool GlyphBatch::getReferenceDrawing() const { return m_reference_drawing; }

}  // namespace lk
