// Owns the one window and draws coloured characters in its grid of cells.
#ifndef LK_DISPLAY_MANAGER_H
#define LK_DISPLAY_MANAGER_H

#include <memory>
#include <string>

#if defined(LK_BACKEND_SFML)
#include <SFML/Graphics.hpp>
#endif

#include "Color.h"
#include "Manager.h"
#include "Vector.h"

namespace lk {

const int DEFAULT_WINDOW_HORIZONTAL_PIXELS = 1024;
const int DEFAULT_WINDOW_VERTICAL_PIXELS = 768;
const int DEFAULT_WINDOW_HORIZONTAL_CELLS = 120;
const int DEFAULT_WINDOW_VERTICAL_CELLS = 36;
const Color DEFAULT_WINDOW_BACKGROUND_COLOR = BLACK;
const std::string DEFAULT_WINDOW_TITLE = "Fowlshot Lark";
const std::string DEFAULT_FONT_FILE = "../lk-font.ttf";

// The platform's window and the drawing of cells into it (the backend's).
class Window;
class GlyphBatch;

/// Owns the one window and draws coloured characters in its grid of cells.
class DisplayManager : public Manager {
 public:
  /// The one display manager.
  static DisplayManager& getInstance();
  ~DisplayManager() override;

  /// Opens the window and loads the font; 0 on success or when the window
  /// already exists, -1 when the window cannot be made or the font read.
  int startUp() override;
  /// Closes the window.
  void shutDown() override;

  /// Sets the window's title; set before start-up it names the new window.
  void setTitle(std::string title);
  /// The window's title (DEFAULT_WINDOW_TITLE unless set).
  std::string getTitle() const;

  /// Draws one character in the cell at a world position; 0, or -1 with no window.
  int drawCh(Vector world_pos, char ch, Color color);
  /// Draws the string centred on the position, one cell per character; 0.
  int drawString(Vector world_pos, std::string str, Color color);
  /// Shows the frame drawn so far and clears the window for the next one;
  /// 0, or -1 with no window.
  int swapBuffer();

  /// The window's width in cells (120).
  int getHorizontalCells() const;
  /// The window's height in cells (36).
  int getVerticalCells() const;
  /// The window's width in pixels (1024).
  int getHorizontalPixels() const;
  /// The window's height in pixels (768).
  int getVerticalPixels() const;
  /// The backend's window, for the input manager (closed before start-up).
  Window& getPlatformWindow() const;
#if defined(LK_BACKEND_SFML)
  /// The SFML window; null when there is none.
  sf::RenderWindow* getWindow() const;
#endif

  /// Draws each cell by itself instead of batching (true): the slow, plain
  /// way, with the same picture, for comparison.
  void setReferenceDrawing(bool reference = true);
  /// Whether cells are drawn the reference way.
  bool getReferenceDrawing() const;
  /// Draws the batched characters into the window without showing them, so
  /// the frame can be read back before swapBuffer clears it.
  void flush();

 private:
  DisplayManager();

  // The part of start-up that follows the window's creation: the font and the
  // drawing caches, then the started flag.
  int finishStartUp();

  std::unique_ptr<Window> m_p_window;
  std::unique_ptr<GlyphBatch> m_p_batch;
  std::string m_title;
  Color m_window_background_color;
  int m_window_horizontal_pixels;
  int m_window_vertical_pixels;
  int m_window_horizontal_cells;
  int m_window_vertical_cells;
  // The character size, chosen at start-up so that every glyph fits its cell.
  unsigned int m_character_size;
};

/// Cells to window pixels, without the view's offset.
Vector cellsToPixels(Vector spaces);
/// Window pixels to cells, without the view's offset.
Vector pixelsToCells(Vector pixels);

#if defined(LK_BACKEND_SFML)
/// The SFML colour an engine colour draws in (white outside the enumeration).
sf::Color toSfColor(int color);
#endif

}  // namespace lk

#endif
