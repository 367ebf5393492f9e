#include "GlyphBatch.h"

#include <algorithm>
#include <cmath>

#include "DisplayManager.h"
#include "Window.h"

namespace lk {

namespace {

// sf::Text pads every glyph quad by one pixel on each side.
const float GLYPH_PADDING = 1.f;
// A sample this close to the padded quad's edge (in texels) takes its
// bilinear taps from the font's transparent padding alone.
const float GLYPH_EDGE_TRIM = 0.4375f;

// Rasterisers snap vertices to a fraction of a pixel; a pixel whose centre is
// this close to an edge may fall on either side of it.
const double EDGE_MARGIN = 1.0 / 32.0;

// A background is drawn in at most this many pieces; more, and it is drawn whole.
const int MAX_BACKGROUND_PIECES = 4;

// A glyph is cut into at most this many pieces; a background that would cut
// it into more is drawn instead.
const int MAX_GLYPH_PIECES = 16;

// Tiles of the window by which the backgrounds of a frame are looked up.
const float TILE_WIDTH = 16.f;
const float TILE_HEIGHT = 32.f;

// The pixels, below `limit`, whose centres may lie in [a, b) (widen > 0) or
// surely do (widen < 0). False when there are none.
bool pixelSpan(float a, float b, int limit, double widen, int& first, int& last) {
  if (!(a < b)) return false;  // also NaN
  double lo = std::ceil(static_cast<double>(a) - 0.5 - widen * EDGE_MARGIN);
  double hi = std::ceil(static_cast<double>(b) - 0.5 + widen * EDGE_MARGIN) - 1;
  if (lo < 0) lo = 0;
  if (hi > limit - 1) hi = limit - 1;
  if (!(lo <= hi)) return false;
  first = static_cast<int>(lo);
  last = static_cast<int>(hi);
  return true;
}

// Bits first..last (0 to 63) of a word.
std::uint64_t bitRange(int first, int last) {
  const std::uint64_t up_to_last =
      last == 63 ? ~std::uint64_t(0) : (std::uint64_t(1) << (last + 1)) - 1;
  return up_to_last & (~std::uint64_t(0) << first);
}

int lowestBit(std::uint64_t word) {
#if defined(__GNUC__)
  return __builtin_ctzll(word);
#else
  int bit = 0;
  while (!(word & 1)) word >>= 1, ++bit;
  return bit;
#endif
}

int highestBit(std::uint64_t word) {
#if defined(__GNUC__)
  return 63 - __builtin_clzll(word);
#else
  int bit = 63;
  while (!(word >> 63)) word <<= 1, --bit;
  return bit;
#endif
}

// The batch goes to the driver in draws of at most this many vertices, a
// multiple of a quad's six. Mesa's software rasteriser draws an axis-aligned
// quad as one rectangle (no edge tests, whole tiles at once) only when a draw
// it is handed holds whole quads, and it cuts longer draws into parts of
// 4,095 vertices, which split quads. Nor does it for flat-shaded inputs, so
// the batch keeps the default smooth shading.
const std::size_t MAX_VERTICES_PER_DRAW = 4092;

}  // namespace

GlyphBatch::GlyphBatch(Window& window)
    : m_window(window),
      m_background_color(toSfColor(DEFAULT_WINDOW_BACKGROUND_COLOR)),
      m_horizontal_pixels(DEFAULT_WINDOW_HORIZONTAL_PIXELS),
      m_vertical_pixels(DEFAULT_WINDOW_VERTICAL_PIXELS),
      m_cell_background(sf::Vector2f(0.f, 0.f)),
      m_cell_text("", m_font, 30),
      m_reference_drawing(false),
      m_batch(sf::Triangles),
      m_cached_size(0),
      m_code_points(),
      m_glyphs(),
      m_ink(),
      m_ink_words(0),
      m_ink_marked(false),
      m_ink_unknown(false),
      // The window is cleared before the first frame.
      m_window_cleared(true),
      m_tile_columns(0),
      m_tile_rows(0) {}

int GlyphBatch::loadFont(const std::string& filename) {
  return m_font.loadFromFile(filename) ? 0 : -1;
}

// The extents are those
// of the glyphs as this build's font library draws them (the same size can
// be a pixel wider elsewhere), laid out as sf::Text lays a glyph's quad, and
// a texel counts as ink when it covers at least half its pixel.
unsigned int GlyphBatch::fittingCharacterSize(unsigned int largest, float cell_width,
                                              float cell_height) {
  const float left_limit = -cell_width / 10, right_limit = cell_width - cell_width / 10;
  const float top_limit = -cell_height / 5, bottom_limit = cell_height - cell_height / 5;
  unsigned int size = largest;
  for (; size > 1; --size) {
    for (sf::Uint32 code = 33; code < 127; ++code) m_font.getGlyph(code, size, true);
    const sf::Image page = m_font.getTexture(size).copyToImage();
    bool fits = true;
    for (sf::Uint32 code = 33; code < 127 && fits; ++code) {
      const sf::Glyph& glyph = m_font.getGlyph(code, size, true);
      const sf::IntRect& texels = glyph.textureRect;
      // Quad and texture rectangle both padded by a pixel, as sf::Text does.
      const float x_scale = (glyph.bounds.width + 2) / static_cast<float>(texels.width + 2);
      const float y_scale = (glyph.bounds.height + 2) / static_cast<float>(texels.height + 2);
      const float x0 = glyph.bounds.left - 1, y0 = static_cast<float>(size) + glyph.bounds.top - 1;
      for (int v = -1; v <= texels.height && fits; ++v)
        for (int u = -1; u <= texels.width && fits; ++u) {
          const int tx = texels.left + u, ty = texels.top + v;
          if (tx < 0 || ty < 0 || tx >= static_cast<int>(page.getSize().x) ||
              ty >= static_cast<int>(page.getSize().y) ||
              page.getPixel(static_cast<unsigned int>(tx), static_cast<unsigned int>(ty)).a < 128)
            continue;
          const float left = x0 + static_cast<float>(u + 1) * x_scale;
          const float top = y0 + static_cast<float>(v + 1) * y_scale;
          fits = left >= left_limit && left + x_scale <= right_limit && top >= top_limit &&
                 top + y_scale <= bottom_limit;
        }
    }
    if (fits) break;
  }
  return size;
}

void GlyphBatch::startUp(int horizontal_pixels, int vertical_pixels, int horizontal_cells,
                         int vertical_cells, unsigned int character_size, Color background) {
  m_horizontal_pixels = horizontal_pixels;
  m_vertical_pixels = vertical_pixels;
  m_background_color = toSfColor(background);
  cacheGlyphs(character_size);
  // The ink map is in window pixels and relies on the cleared frame showing
  // the cells' background colour; otherwise every background is drawn whole.
  m_ink_words = (m_horizontal_pixels + 63) / 64;
  if (m_window.getHorizontalPixels() == m_horizontal_pixels &&
      m_window.getVerticalPixels() == m_vertical_pixels &&
      background == DEFAULT_WINDOW_BACKGROUND_COLOR)
    m_ink.assign(
        static_cast<std::size_t>(m_ink_words) * static_cast<std::size_t>(m_vertical_pixels), 0);
  else
    m_ink.clear();
  m_ink_marked = false;
  clearInk();
  m_window_cleared = true;
  // A full screen of cells, so the batch never grows during play.
  m_batch.resize(static_cast<std::size_t>(horizontal_cells) *
                 static_cast<std::size_t>(vertical_cells) * 12);
  m_batch.clear();
}

void GlyphBatch::shutDown() {
  m_batch.clear();
  m_cut_glyphs.clear();
  m_cut_backgrounds.clear();
  m_window_cleared = true;
  m_ink.clear();
}

void GlyphBatch::drawCell(float px, float py, float cell_width, float cell_height,
                          unsigned char byte, unsigned int character_size, Color color) {
  if (m_reference_drawing)
    drawReferenceCell(px, py, cell_width, cell_height, byte, character_size, toSfColor(color));
  else
    appendCell(px, py, cell_width, cell_height, byte, character_size, toSfColor(color));
}

void GlyphBatch::drawReferenceCell(float px, float py, float cw, float ch, unsigned char byte,
                                   unsigned int character_size, sf::Color color) {
  // Not tracked in the ink map: the batch covers whole cells until the next frame.
  m_ink_unknown = true;
  m_window_cleared = false;
  sf::RenderWindow& window = *m_window.getRenderWindow();
  m_cell_background.setSize(sf::Vector2f(cw, ch));
  m_cell_background.setFillColor(m_background_color);
  m_cell_background.setPosition(px - cw / 10, py - ch / 5);
  window.draw(m_cell_background);

  m_cell_text.setString(sf::String(static_cast<char>(byte)));
  m_cell_text.setStyle(sf::Text::Bold);
  m_cell_text.setCharacterSize(character_size);
  m_cell_text.setFillColor(color);
  m_cell_text.setPosition(px, py);
  window.draw(m_cell_text);
}

void GlyphBatch::flush() { drawBatch(false); }

void GlyphBatch::endFrame() { drawBatch(true); }

void GlyphBatch::startFrame() {
  m_window_cleared = true;
  clearInk();
}

void GlyphBatch::setReferenceDrawing(bool reference) {
  // What is batched so far goes first, so call order is kept across the switch.
  flush();
  m_reference_drawing = reference;
}

bool GlyphBatch::getReferenceDrawing() const { return m_reference_drawing; }

void GlyphBatch::cacheGlyphs(unsigned int character_size) {
  for (int byte = 0; byte < 256; ++byte) {
    // The same conversion sf::Text gets from a one-character string.
    const sf::String one(static_cast<char>(byte));
    const sf::Uint32 code = one[0];
    m_code_points[static_cast<std::size_t>(byte)] = code;
    m_glyphs[static_cast<std::size_t>(byte)] = m_font.getGlyph(code, character_size, true);
  }
  m_cached_size = character_size;
}

void GlyphBatch::appendCell(float px, float py, float cw, float ch, unsigned char byte,
                            unsigned int character_size, sf::Color color) {
  if (character_size != m_cached_size) cacheGlyphs(character_size);

  const float left = px - cw / 10;
  const float top = py - ch / 5;
  const bool cut = cutting();
  if (cut)
    m_cut_backgrounds.push_back(Rect{left, top, left + cw, top + ch});
  else
    appendBackground(left, top, left + cw, top + ch);

  // sf::Text makes no quad for blanks and skips carriage returns.
  const sf::Uint32 code = m_code_points[byte];
  if (code == ' ' || code == '\n' || code == '\t' || code == '\r') return;

  // The quad sf::Text builds for a single glyph on the baseline at the
  // character size, moved to the text's position.
  const sf::Glyph& glyph = m_glyphs[byte];
  const float g_left = glyph.bounds.left - GLYPH_PADDING;
  const float g_top = glyph.bounds.top - GLYPH_PADDING;
  const float g_right = glyph.bounds.left + glyph.bounds.width + GLYPH_PADDING;
  const float g_bottom = glyph.bounds.top + glyph.bounds.height + GLYPH_PADDING;
  const float baseline = static_cast<float>(character_size);
  const float x1 = px + g_left;
  const float x2 = px + g_right;
  const float y1 = py + (baseline + g_top);
  const float y2 = py + (baseline + g_bottom);

  const float u1 = static_cast<float>(glyph.textureRect.left) - GLYPH_PADDING;
  const float v1 = static_cast<float>(glyph.textureRect.top) - GLYPH_PADDING;
  const float u2 =
      static_cast<float>(glyph.textureRect.left + glyph.textureRect.width) + GLYPH_PADDING;
  const float v2 =
      static_cast<float>(glyph.textureRect.top + glyph.textureRect.height) + GLYPH_PADDING;

  // The quad's outer band samples only the transparent padding the font
  // keeps round every glyph (bilinear taps of padding texels alone), so it
  // leaves the frame as it is: the quad is drawn without it.
  const float x_trim = GLYPH_EDGE_TRIM * (x2 - x1) / (u2 - u1);
  const float y_trim = GLYPH_EDGE_TRIM * (y2 - y1) / (v2 - v1);
  Rect quad{x1 + x_trim, y1 + y_trim, x2 - x_trim, y2 - y_trim};
  Rect texture{u1 + GLYPH_EDGE_TRIM, v1 + GLYPH_EDGE_TRIM, u2 - GLYPH_EDGE_TRIM,
               v2 - GLYPH_EDGE_TRIM};
  if (!clipToWindow(quad, &texture)) return;
  if (cut) {
    m_cut_glyphs.push_back(
        CutGlyph{quad, texture, color, static_cast<std::uint32_t>(m_cut_backgrounds.size())});
    return;
  }
  appendQuad(quad, texture, color);
  markInk(quad.left, quad.top, quad.right, quad.bottom);
}

void GlyphBatch::appendQuad(const Rect& quad, const Rect& texture, sf::Color color) {
  m_batch.append(sf::Vertex(sf::Vector2f(quad.left, quad.top), color,
                            sf::Vector2f(texture.left, texture.top)));
  m_batch.append(sf::Vertex(sf::Vector2f(quad.right, quad.top), color,
                            sf::Vector2f(texture.right, texture.top)));
  m_batch.append(sf::Vertex(sf::Vector2f(quad.left, quad.bottom), color,
                            sf::Vector2f(texture.left, texture.bottom)));
  m_batch.append(sf::Vertex(sf::Vector2f(quad.left, quad.bottom), color,
                            sf::Vector2f(texture.left, texture.bottom)));
  m_batch.append(sf::Vertex(sf::Vector2f(quad.right, quad.top), color,
                            sf::Vector2f(texture.right, texture.top)));
  m_batch.append(sf::Vertex(sf::Vector2f(quad.right, quad.bottom), color,
                            sf::Vector2f(texture.right, texture.bottom)));
}

bool GlyphBatch::clipToWindow(Rect& quad, Rect* texture) const {
  const Rect whole = quad;
  const float width = static_cast<float>(m_horizontal_pixels);
  const float height = static_cast<float>(m_vertical_pixels);
  if (quad.left < 0) quad.left = 0;
  if (quad.top < 0) quad.top = 0;
  if (quad.right > width) quad.right = width;
  if (quad.bottom > height) quad.bottom = height;
  if (!(quad.left < quad.right && quad.top < quad.bottom)) return false;  // also NaN
  if (texture != nullptr) *texture = pieceTexture(quad, whole, *texture);
  return true;
}

GlyphBatch::Rect GlyphBatch::pieceTexture(const Rect& piece, const Rect& quad,
                                          const Rect& texture) {
  const float u_scale = (texture.right - texture.left) / (quad.right - quad.left);
  const float v_scale = (texture.bottom - texture.top) / (quad.bottom - quad.top);
  return Rect{
      piece.left == quad.left ? texture.left : texture.left + (piece.left - quad.left) * u_scale,
      piece.top == quad.top ? texture.top : texture.top + (piece.top - quad.top) * v_scale,
      piece.right == quad.right ? texture.right
                                : texture.left + (piece.right - quad.left) * u_scale,
      piece.bottom == quad.bottom ? texture.bottom
                                  : texture.top + (piece.bottom - quad.top) * v_scale};
}

bool GlyphBatch::cutting() const {
  // Only where the cleared frame shows the cells' background colour (the
  // same condition as for keeping the ink map).
  return m_window_cleared && !m_ink.empty();
}

int GlyphBatch::tileColumn(float x) const {
  const float t = x * (1.f / TILE_WIDTH);
  if (!(t > 0)) return 0;  // also NaN
  return t >= static_cast<float>(m_tile_columns - 1) ? m_tile_columns - 1 : static_cast<int>(t);
}

int GlyphBatch::tileRow(float y) const {
  const float t = y * (1.f / TILE_HEIGHT);
  if (!(t > 0)) return 0;
  return t >= static_cast<float>(m_tile_rows - 1) ? m_tile_rows - 1 : static_cast<int>(t);
}

void GlyphBatch::indexBackgrounds() {
  m_tile_columns =
      static_cast<int>(std::ceil(static_cast<float>(m_horizontal_pixels) / TILE_WIDTH));
  m_tile_rows = static_cast<int>(std::ceil(static_cast<float>(m_vertical_pixels) / TILE_HEIGHT));
  const std::size_t tiles =
      static_cast<std::size_t>(m_tile_columns) * static_cast<std::size_t>(m_tile_rows);
  // Count each tile's backgrounds, make the counts starts, then fill each
  // tile in the order the backgrounds came.
  m_tile_start.assign(tiles + 1, 0);
  m_background_tiles.resize(m_cut_backgrounds.size());
  for (std::size_t k = 0; k < m_cut_backgrounds.size(); ++k) {
    const Rect& b = m_cut_backgrounds[k];
    TileSpan& span = m_background_tiles[k];
    span = TileSpan{tileColumn(b.left), tileColumn(b.right), tileRow(b.top), tileRow(b.bottom)};
    for (int r = span.first_row; r <= span.last_row; ++r)
      for (int c = span.first_column; c <= span.last_column; ++c)
        ++m_tile_start[static_cast<std::size_t>(r) * m_tile_columns + c + 1];
  }
  for (std::size_t t = 0; t < tiles; ++t) m_tile_start[t + 1] += m_tile_start[t];
  m_tile_backgrounds.resize(m_tile_start[tiles]);
  for (std::size_t k = 0; k < m_cut_backgrounds.size(); ++k) {
    const TileSpan& span = m_background_tiles[k];
    for (int r = span.first_row; r <= span.last_row; ++r)
      for (int c = span.first_column; c <= span.last_column; ++c)
        m_tile_backgrounds[m_tile_start[static_cast<std::size_t>(r) * m_tile_columns + c]++] =
            static_cast<std::uint32_t>(k);
  }
  // Filling moved every start to the next tile's.
  for (std::size_t t = tiles; t > 0; --t) m_tile_start[t] = m_tile_start[t - 1];
  m_tile_start[0] = 0;
}

bool GlyphBatch::overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom &&
         b.top < a.bottom;  // false for NaN
}

int GlyphBatch::cutGlyph(const CutGlyph& glyph, Rect* pieces) {
  int count = 1;
  pieces[0] = glyph.quad;
  const Rect& q = glyph.quad;
  const int c0 = tileColumn(q.left), c1 = tileColumn(q.right);
  const int r0 = tileRow(q.top), r1 = tileRow(q.bottom);
  const std::uint32_t* const all = m_tile_backgrounds.data();
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      const std::size_t t = static_cast<std::size_t>(r) * m_tile_columns + c;
      const std::uint32_t* const end = all + m_tile_start[t + 1];
      const std::uint32_t* k = all + m_tile_start[t];
      // The tile's backgrounds in order: skip those drawn before the glyph.
      while (k != end && *k < glyph.backgrounds_before) ++k;
      for (; k != end; ++k) {
        const Rect& b = m_cut_backgrounds[*k];
        if (!overlap(b, q)) continue;
        // Once, in the first tile the two share.
        const TileSpan& span = m_background_tiles[*k];
        if (c != std::max(c0, span.first_column) || r != std::max(r0, span.first_row)) continue;
        if (m_background_drawn[*k]) continue;  // it covers the glyph when drawn

        Rect cut[MAX_GLYPH_PIECES];
        int cut_count = 0;
        bool too_many = false;
        for (int i = 0; i < count && !too_many; ++i) {
          const Rect& p = pieces[i];
          if (!overlap(b, p)) {
            too_many = cut_count == MAX_GLYPH_PIECES;
            if (!too_many) cut[cut_count++] = p;
            continue;
          }
          const float middle_top = std::max(p.top, b.top);
          const float middle_bottom = std::min(p.bottom, b.bottom);
          const Rect parts[4] = {{p.left, p.top, p.right, b.top},
                                 {p.left, b.bottom, p.right, p.bottom},
                                 {p.left, middle_top, b.left, middle_bottom},
                                 {b.right, middle_top, p.right, middle_bottom}};
          for (const Rect& part : parts) {
            if (!(part.left < part.right && part.top < part.bottom)) continue;
            if (cut_count == MAX_GLYPH_PIECES) {
              too_many = true;
              break;
            }
            cut[cut_count++] = part;
          }
        }
        if (too_many) {
          m_background_drawn[*k] = 1;
          continue;
        }
        std::copy(cut, cut + cut_count, pieces);
        count = cut_count;
        if (count == 0) return 0;
      }
    }
  return count;
}

void GlyphBatch::drawCutBatch(bool frame_ends) {
  if (m_cut_glyphs.empty()) {
    m_cut_backgrounds.clear();  // only blanks on the cleared frame: nothing to show
    return;
  }
  indexBackgrounds();
  m_background_drawn.assign(m_cut_backgrounds.size(), 0);
  m_batch.clear();
  std::size_t next_background = 0;
  Rect pieces[MAX_GLYPH_PIECES];
  for (const CutGlyph& glyph : m_cut_glyphs) {
    const int count = cutGlyph(glyph, pieces);
    for (; next_background < glyph.backgrounds_before; ++next_background)
      if (m_background_drawn[next_background]) {
        const Rect& b = m_cut_backgrounds[next_background];
        appendBackgroundQuad(b.left, b.top, b.right, b.bottom);
      }
    for (int i = 0; i < count; ++i) {
      const Rect& p = pieces[i];
      appendQuad(p, pieceTexture(p, glyph.quad, glyph.texture), glyph.color);
      if (!frame_ends) markInk(p.left, p.top, p.right, p.bottom);
    }
  }
  for (; next_background < m_cut_backgrounds.size(); ++next_background)
    if (m_background_drawn[next_background]) {
      const Rect& b = m_cut_backgrounds[next_background];
      appendBackgroundQuad(b.left, b.top, b.right, b.bottom);
    }
  m_cut_glyphs.clear();
  m_cut_backgrounds.clear();
}

void GlyphBatch::appendBackground(float left, float top, float right, float bottom) {
  if (m_ink_unknown || m_ink.empty()) {
    appendBackgroundQuad(left, top, right, bottom);
    return;
  }
  int c0, c1, r0, r1;
  if (!pixelSpan(left, right, m_horizontal_pixels, 1, c0, c1) ||
      !pixelSpan(top, bottom, m_vertical_pixels, 1, r0, r1))
    return;

  // Runs of rows with the same inked columns; each becomes one quad, cut
  // from the cell's rectangle along pixel edges, so it covers exactly the
  // pixels the whole rectangle would have covered there.
  struct Piece {
    int first_column, last_column, first_row, last_row;
  };
  Piece pieces[MAX_BACKGROUND_PIECES];
  int count = 0;
  const int width = c1 - c0 + 1;
  if (width > 64) {
    count = -1;  // cells this wide are not tracked
  } else {
    const std::uint64_t in_cell = bitRange(0, width - 1);
    const int w = c0 / 64;
    const int shift = c0 % 64;
    const bool straddles = shift != 0 && w + 1 < m_ink_words;
    const std::uint64_t* words = &m_ink[static_cast<std::size_t>(r0) * m_ink_words];
    bool open = false;
    for (int row = r0; row <= r1; ++row, words += m_ink_words) {
      // The row's ink from column c0 on, c0 in bit 0.
      std::uint64_t bits = words[w] >> shift;
      if (straddles) bits |= words[w + 1] << (64 - shift);
      bits &= in_cell;
      if (bits == 0) {
        open = false;
        continue;
      }
      const int first = c0 + lowestBit(bits);
      const int last = c0 + highestBit(bits);
      if (open && first == pieces[count - 1].first_column &&
          last == pieces[count - 1].last_column) {
        pieces[count - 1].last_row = row;
        continue;
      }
      if (count == MAX_BACKGROUND_PIECES) {
        count = -1;
        break;
      }
      pieces[count++] = Piece{first, last, row, row};
      open = true;
    }
  }

  if (count < 0) {
    pieces[0] = Piece{c0, c1, r0, r1};
    count = 1;
  }
  for (int i = 0; i < count; ++i) {
    const float l = std::max(left, static_cast<float>(pieces[i].first_column));
    const float r = std::min(right, static_cast<float>(pieces[i].last_column + 1));
    const float t = std::max(top, static_cast<float>(pieces[i].first_row));
    const float b = std::min(bottom, static_cast<float>(pieces[i].last_row + 1));
    if (!(l < r && t < b)) continue;
    appendBackgroundQuad(l, t, r, b);
    int uc0, uc1, ur0, ur1;
    if (pixelSpan(l, r, m_horizontal_pixels, -1, uc0, uc1) &&
        pixelSpan(t, b, m_vertical_pixels, -1, ur0, ur1))
      setInk(uc0, uc1, ur0, ur1, false);
  }
}

void GlyphBatch::appendBackgroundQuad(float left, float top, float right, float bottom) {
  Rect quad{left, top, right, bottom};
  if (!clipToWindow(quad, nullptr)) return;
  // The quad samples the opaque white square every font page keeps at its
  // top-left corner, so it draws flat in the batch's texture.
  const sf::Vector2f white(1.f, 1.f);
  const sf::Color background = m_background_color;
  const sf::Vector2f b0(quad.left, quad.top);
  const sf::Vector2f b1(quad.right, quad.top);
  const sf::Vector2f b2(quad.right, quad.bottom);
  const sf::Vector2f b3(quad.left, quad.bottom);
  m_batch.append(sf::Vertex(b0, background, white));
  m_batch.append(sf::Vertex(b1, background, white));
  m_batch.append(sf::Vertex(b2, background, white));
  m_batch.append(sf::Vertex(b0, background, white));
  m_batch.append(sf::Vertex(b2, background, white));
  m_batch.append(sf::Vertex(b3, background, white));
}

void GlyphBatch::clearInk() {
  if (m_ink_marked) std::fill(m_ink.begin(), m_ink.end(), 0);
  m_ink_marked = false;
  m_ink_unknown = false;
}

void GlyphBatch::markInk(float left, float top, float right, float bottom) {
  int c0, c1, r0, r1;
  if (m_ink.empty() || !pixelSpan(left, right, m_horizontal_pixels, 1, c0, c1) ||
      !pixelSpan(top, bottom, m_vertical_pixels, 1, r0, r1))
    return;
  setInk(c0, c1, r0, r1, true);
  m_ink_marked = true;
}

void GlyphBatch::setInk(int c0, int c1, int r0, int r1, bool ink) {
  const int w0 = c0 / 64;
  const int w1 = c1 / 64;
  std::uint64_t* words = &m_ink[static_cast<std::size_t>(r0) * m_ink_words];
  if (w1 - w0 <= 1) {
    // A cell's width: one or two words a row, with masks worked out once.
    const std::uint64_t first = bitRange(c0 % 64, w0 == w1 ? c1 % 64 : 63);
    const std::uint64_t second = w0 == w1 ? 0 : bitRange(0, c1 % 64);
    for (int row = r0; row <= r1; ++row, words += m_ink_words) {
      words[w0] = ink ? (words[w0] | first) : (words[w0] & ~first);
      words[w1] = ink ? (words[w1] | second) : (words[w1] & ~second);
    }
    return;
  }
  for (int row = r0; row <= r1; ++row, words += m_ink_words)
    for (int w = w0; w <= w1; ++w) {
      const std::uint64_t mask = bitRange(w == w0 ? c0 % 64 : 0, w == w1 ? c1 % 64 : 63);
      words[w] = ink ? (words[w] | mask) : (words[w] & ~mask);
    }
}

void GlyphBatch::drawBatch(bool frame_ends) {
  sf::RenderWindow* const p_window = m_window.getRenderWindow();
  if (p_window == nullptr) return;
  if (!m_cut_glyphs.empty() || !m_cut_backgrounds.empty()) drawCutBatch(frame_ends);
  if (m_batch.getVertexCount() == 0) return;
  sf::RenderStates states;
  // Read at draw time: the page texture is remade when it grows.
  states.texture = &m_font.getTexture(m_cached_size);
  const std::size_t count = m_batch.getVertexCount();
  for (std::size_t first = 0; first < count; first += MAX_VERTICES_PER_DRAW)
    p_window->draw(&m_batch[first], std::min(MAX_VERTICES_PER_DRAW, count - first), sf::Triangles,
                   states);
  m_batch.clear();
  m_window_cleared = false;
}

sf::Color toSfColor(int color) {
  switch (color) {
    case BLACK: return sf::Color::Black;
    case RED: return sf::Color::Red;
    case GREEN: return sf::Color::Green;
    case YELLOW: return sf::Color::Yellow;
    case BLUE: return sf::Color::Blue;
    case MAGENTA: return sf::Color::Magenta;
    case CYAN: return sf::Color::Cyan;
    default: return sf::Color::White;
  }
}

}  // namespace lk
