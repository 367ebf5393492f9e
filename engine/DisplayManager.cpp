#include "DisplayManager.h"

#include <utility>

#include "GlyphBatch.h"
#include "LogManager.h"
#include "Window.h"
#include "WorldManager.h"

namespace lk {

namespace {

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
    : m_p_window(new Window),
      m_p_batch(new GlyphBatch(*m_p_window)),
      m_title(DEFAULT_WINDOW_TITLE),
      m_window_background_color(DEFAULT_WINDOW_BACKGROUND_COLOR),
      m_window_horizontal_pixels(DEFAULT_WINDOW_HORIZONTAL_PIXELS),
      m_window_vertical_pixels(DEFAULT_WINDOW_VERTICAL_PIXELS),
      m_window_horizontal_cells(DEFAULT_WINDOW_HORIZONTAL_CELLS),
      m_window_vertical_cells(DEFAULT_WINDOW_VERTICAL_CELLS),
      m_character_size(characterSizeFor(static_cast<float>(DEFAULT_WINDOW_HORIZONTAL_PIXELS) /
                                            static_cast<float>(DEFAULT_WINDOW_HORIZONTAL_CELLS),
                                        static_cast<float>(DEFAULT_WINDOW_VERTICAL_PIXELS) /
                                            static_cast<float>(DEFAULT_WINDOW_VERTICAL_CELLS))) {
  setType("DisplayManager");
}

DisplayManager::~DisplayManager() {}

int DisplayManager::startUp() {
  LogManager& log = LogManager::getInstance();
  if (m_p_window->isOpen()) {
    log.writeLog("DisplayManager::startUp(): The SFML window has already been created.\n");
    if (m_is_started) return 0;
    // The window stayed from a start-up that failed later (the font): finish
    // that start-up now, so its failure is not reported as success.
    return finishStartUp();
  }

  if (m_p_window->open(m_window_horizontal_pixels, m_window_vertical_pixels, m_title) != 0) {
    log.writeLog("DisplayManager::startUp(): The SFML graphics window could not be rendered.\n");
    return -1;
  }
  // A new window's buffer holds whatever the driver left there; the first
  // frame starts from the background like every later one.
  m_p_window->clear(m_window_background_color);
  return finishStartUp();
}

int DisplayManager::finishStartUp() {
  LogManager& log = LogManager::getInstance();
  if (m_p_batch->loadFont(DEFAULT_FONT_FILE) != 0) {
    log.writeLog("DisplayManager::startUp(): Font 'lk-font.ttf' could not be located or loaded.\n");
    return -1;
  }

  const float cw = static_cast<float>(m_window_horizontal_pixels) /
                   static_cast<float>(m_window_horizontal_cells);
  const float ch =
      static_cast<float>(m_window_vertical_pixels) / static_cast<float>(m_window_vertical_cells);
  m_character_size = m_p_batch->fittingCharacterSize(characterSizeFor(cw, ch), cw, ch);
  log.writeLog(
      "DisplayManager::startUp(): Characters are drawn at size %u, the largest at which every "
      "glyph "
      "fits its cell.\n",
      m_character_size);
  m_p_batch->startUp(m_window_horizontal_pixels, m_window_vertical_pixels,
                     m_window_horizontal_cells, m_window_vertical_cells, m_character_size,
                     m_window_background_color);

  m_is_started = true;
  log.writeLog("DisplayManager::startUp(): DisplayManager was successfully started.\n");
  return 0;
}

void DisplayManager::shutDown() {
  m_p_batch->shutDown();
  m_p_window->close();
  m_is_started = false;
}

void DisplayManager::setTitle(std::string title) {
  m_title = std::move(title);
  m_p_window->setTitle(m_title);
}

std::string DisplayManager::getTitle() const { return m_title; }

int DisplayManager::drawCh(Vector world_pos, char ch, Color color) {
  if (!m_p_window->isOpen()) {
    LogManager::getInstance().writeLog(
        "DisplayManager::drawCh(): Could not draw. The SFML window is not allocated.\n");
    return -1;
  }

  const Vector corner = WorldManager::getInstance().getView().getCorner();
  const float cell_width = static_cast<float>(m_window_horizontal_pixels) /
                           static_cast<float>(m_window_horizontal_cells);
  const float cell_height =
      static_cast<float>(m_window_vertical_pixels) / static_cast<float>(m_window_vertical_cells);
  const float px = cell_width * (world_pos.getX() - corner.getX());
  const float py = cell_height * (world_pos.getY() - corner.getY());
  m_p_batch->drawCell(px, py, cell_width, cell_height, static_cast<unsigned char>(ch),
                      m_character_size, color);
  return 0;
}

int DisplayManager::drawString(Vector world_pos, std::string str, Color color) {
  const float x0 = world_pos.getX() - static_cast<float>(str.size() / 2);
  for (std::size_t i = 0; i < str.size(); ++i)
    drawCh(Vector(x0 + static_cast<float>(i), world_pos.getY()), str[i], color);
  return 0;
}

void DisplayManager::flush() {
  if (m_p_window->isOpen()) m_p_batch->flush();
}

int DisplayManager::swapBuffer() {
  if (!m_p_window->isOpen()) {
    LogManager::getInstance().writeLog(
        "DisplayManager::swapBuffer(): Could not swap buffers. The SFML window is not "
        "allocated.\n");
    return -1;
  }
  m_p_batch->endFrame();
  m_p_window->present();
  m_p_window->clear(m_window_background_color);
  m_p_batch->startFrame();
  return 0;
}

void DisplayManager::setReferenceDrawing(bool reference) {
  m_p_batch->setReferenceDrawing(reference);
}

bool DisplayManager::getReferenceDrawing() const { return m_p_batch->getReferenceDrawing(); }

int DisplayManager::getHorizontalCells() const { return m_window_horizontal_cells; }
int DisplayManager::getVerticalCells() const { return m_window_vertical_cells; }
int DisplayManager::getHorizontalPixels() const { return m_window_horizontal_pixels; }
int DisplayManager::getVerticalPixels() const { return m_window_vertical_pixels; }
Window& DisplayManager::getPlatformWindow() const { return *m_p_window; }
#if defined(LK_BACKEND_SFML)
sf::RenderWindow* DisplayManager::getWindow() const { return m_p_window->getRenderWindow(); }
#endif

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

}  // namespace lk
