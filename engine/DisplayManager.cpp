#include "DisplayManager.h"

#include "Box.h"
#include "LogManager.h"
#include "WorldManager.h"

namespace lk {

namespace {

// sf::Text pads every glyph quad by one pixel on each side.
const float GLYPH_PADDING = 1.f;

// Fills the cell's height or width, whichever is smaller, by 1.8.
unsigned int characterSizeFor(float cell_width, float cell_height) {
  const double smaller = cell_height > cell_width ? cell_width : cell_height;
  return static_cast<unsigned int>(smaller * 1.8);
}

}  // namespace

DisplayManager& DisplayManager::getInstance() {
  static DisplayManager instance;
  return instance;
}

DisplayManager::DisplayManager()
    : m_window_background_color(DEFAULT_WINDOW_BACKGROUND_COLOR),
      m_window_horizontal_pixels(DEFAULT_WINDOW_HORIZONTAL_PIXELS),
      m_window_vertical_pixels(DEFAULT_WINDOW_VERTICAL_PIXELS),
      m_window_horizontal_cells(DEFAULT_WINDOW_HORIZONTAL_CELLS),
      m_window_vertical_cells(DEFAULT_WINDOW_VERTICAL_CELLS),
      m_cell_background(sf::Vector2f(0.f, 0.f)),
      m_cell_text("", m_font, 30),
      m_reference_drawing(false),
      m_batch(sf::Triangles),
      m_cached_size(0),
      m_code_points(),
      m_glyphs() {
  setType("DisplayManager");
}

DisplayManager::~DisplayManager() {}

int DisplayManager::startUp() {
  LogManager& log = LogManager::getInstance();
  if (m_window) {
    log.writeLog("DisplayManager::startUp(): The SFML window has already been created.\n");
    return 0;
  }

  m_window.reset(new sf::RenderWindow(
      sf::VideoMode(static_cast<unsigned int>(m_window_horizontal_pixels),
                    static_cast<unsigned int>(m_window_vertical_pixels), 32),
      sf::String(DEFAULT_WINDOW_TITLE), sf::Style::Close, sf::ContextSettings()));
  // SFML reports a failed creation (no display, no GL context) only as a
  // window that is not open.
  if (!m_window->isOpen()) {
    m_window.reset();
    log.writeLog("DisplayManager::startUp(): The SFML graphics window could not be rendered.\n");
    return -1;
  }

  m_window->setMouseCursorVisible(false);
  m_window->setVerticalSyncEnabled(true);
  // A new window's buffer holds whatever the driver left there; the first
  // frame starts from the background like every later one.
  m_window->clear(m_window_background_color);

  if (!m_font.loadFromFile(DEFAULT_FONT_FILE)) {
    log.writeLog("DisplayManager::startUp(): Font 'lk-font.ttf' could not be located or loaded.\n");
    return -1;
  }

  const float cw = static_cast<float>(m_window_horizontal_pixels) /
                   static_cast<float>(m_window_horizontal_cells);
  const float ch = static_cast<float>(m_window_vertical_pixels) /
                   static_cast<float>(m_window_vertical_cells);
  cacheGlyphs(characterSizeFor(cw, ch));
  // A full screen of cells, so the batch never grows during play.
  m_batch.resize(static_cast<std::size_t>(m_window_horizontal_cells) *
                 static_cast<std::size_t>(m_window_vertical_cells) * 12);
  m_batch.clear();

  m_is_started = true;
  log.writeLog("DisplayManager::startUp(): DisplayManager was successfully started.\n");
  return 0;
}

void DisplayManager::shutDown() {
  m_batch.clear();
  if (m_window) {
    m_window->close();
    m_window.reset();
  }
  m_is_started = false;
}

void DisplayManager::cacheGlyphs(unsigned int character_size) {
  for (int byte = 0; byte < 256; ++byte) {
    // The same conversion sf::Text gets from a one-character string.
    const sf::String one(static_cast<char>(byte));
    const sf::Uint32 code = one[0];
    m_code_points[static_cast<std::size_t>(byte)] = code;
    m_glyphs[static_cast<std::size_t>(byte)] = m_font.getGlyph(code, character_size, true);
  }
  m_cached_size = character_size;
}

void DisplayManager::appendCell(float px, float py, float cw, float ch, unsigned char byte,
                                unsigned int character_size, sf::Color color) {
  if (character_size != m_cached_size) cacheGlyphs(character_size);

  // The background quad samples the opaque white square every font page
  // keeps at its top-left corner, so it draws flat in the batch's texture.
  const sf::Vector2f white(1.f, 1.f);
  const sf::Color background = DEFAULT_WINDOW_BACKGROUND_COLOR;
  const float left = px - cw / 10;
  const float top = py - ch / 5;
  const sf::Vector2f b0(left, top);
  const sf::Vector2f b1(left + cw, top);
  const sf::Vector2f b2(left + cw, top + ch);
  const sf::Vector2f b3(left, top + ch);
  m_batch.append(sf::Vertex(b0, background, white));
  m_batch.append(sf::Vertex(b1, background, white));
  m_batch.append(sf::Vertex(b2, background, white));
  m_batch.append(sf::Vertex(b0, background, white));
  m_batch.append(sf::Vertex(b2, background, white));
  m_batch.append(sf::Vertex(b3, background, white));

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

  m_batch.append(sf::Vertex(sf::Vector2f(x1, y1), color, sf::Vector2f(u1, v1)));
  m_batch.append(sf::Vertex(sf::Vector2f(x2, y1), color, sf::Vector2f(u2, v1)));
  m_batch.append(sf::Vertex(sf::Vector2f(x1, y2), color, sf::Vector2f(u1, v2)));
  m_batch.append(sf::Vertex(sf::Vector2f(x1, y2), color, sf::Vector2f(u1, v2)));
  m_batch.append(sf::Vertex(sf::Vector2f(x2, y1), color, sf::Vector2f(u2, v1)));
  m_batch.append(sf::Vertex(sf::Vector2f(x2, y2), color, sf::Vector2f(u2, v2)));
}

int DisplayManager::drawCh(Vector world_pos, char ch, Color color) {
  if (!m_window) {
    LogManager::getInstance().writeLog(
        "DisplayManager::drawCh(): Could not draw. The SFML window is not allocated.\n");
    return -1;
  }

  const Vector corner = WorldManager::getInstance().getView().getCorner();
  const float cell_width = static_cast<float>(m_window_horizontal_pixels) /
                           static_cast<float>(m_window_horizontal_cells);
  const float cell_height = static_cast<float>(m_window_vertical_pixels) /
                            static_cast<float>(m_window_vertical_cells);
  const float px = cell_width * (world_pos.getX() - corner.getX());
  const float py = cell_height * (world_pos.getY() - corner.getY());
  const unsigned int size = characterSizeFor(cell_width, cell_height);

  if (!m_reference_drawing) {
    appendCell(px, py, cell_width, cell_height, static_cast<unsigned char>(ch), size,
               toSfColor(color));
    return 0;
  }

  m_cell_background.setSize(sf::Vector2f(cell_width, cell_height));
  m_cell_background.setFillColor(DEFAULT_WINDOW_BACKGROUND_COLOR);
  m_cell_background.setPosition(px - cell_width / 10, py - cell_height / 5);
  m_window->draw(m_cell_background);

  m_cell_text.setString(sf::String(ch));
  m_cell_text.setStyle(sf::Text::Bold);
  m_cell_text.setCharacterSize(size);
  m_cell_text.setFillColor(toSfColor(color));
  m_cell_text.setPosition(px, py);
  m_window->draw(m_cell_text);
  return 0;
}

int DisplayManager::drawString(Vector world_pos, std::string str, Color color) {
  const float x0 = world_pos.getX() - static_cast<float>(str.size() / 2);
  for (std::size_t i = 0; i < str.size(); ++i)
    drawCh(Vector(x0 + static_cast<float>(i), world_pos.getY()), str[i], color);
  return 0;
}

void DisplayManager::flush() {
  if (!m_window || m_batch.getVertexCount() == 0) return;
  sf::RenderStates states;
  // Read at draw time: the page texture is remade when it grows.
  states.texture = &m_font.getTexture(m_cached_size);
  m_window->draw(m_batch, states);
  m_batch.clear();
}

int DisplayManager::swapBuffer() {
  if (!m_window) {
    LogManager::getInstance().writeLog(
        "DisplayManager::swapBuffer(): Could not swap buffers. The SFML window is not allocated.\n");
    return -1;
  }
  flush();
  m_window->display();
  m_window->clear(m_window_background_color);
  return 0;
}

void DisplayManager::setReferenceDrawing(bool reference) {
  // What is batched so far goes first, so call order is kept across the switch.
  flush();
  m_reference_drawing = reference;
}

bool DisplayManager::getReferenceDrawing() const { return m_reference_drawing; }

int DisplayManager::getHorizontalCells() const { return m_window_horizontal_cells; }
int DisplayManager::getVerticalCells() const { return m_window_vertical_cells; }
int DisplayManager::getHorizontalPixels() const { return m_window_horizontal_pixels; }
int DisplayManager::getVerticalPixels() const { return m_window_vertical_pixels; }
sf::RenderWindow* DisplayManager::getWindow() const { return m_window.get(); }

Vector cellsToPixels(Vector spaces) {
  const DisplayManager& display = DisplayManager::getInstance();
  const float cell_width = static_cast<float>(display.getHorizontalPixels()) /
                           static_cast<float>(display.getHorizontalCells());
  const float cell_height = static_cast<float>(display.getVerticalPixels()) /
                            static_cast<float>(display.getVerticalCells());
  return Vector(spaces.getX() * cell_width, spaces.getY() * cell_height);
}

Vector pixelsToCells(Vector pixels) {
  const DisplayManager& display = DisplayManager::getInstance();
  const float cell_width = static_cast<float>(display.getHorizontalPixels()) /
                           static_cast<float>(display.getHorizontalCells());
  const float cell_height = static_cast<float>(display.getVerticalPixels()) /
                            static_cast<float>(display.getVerticalCells());
  return Vector(pixels.getX() / cell_width, pixels.getY() / cell_height);
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
