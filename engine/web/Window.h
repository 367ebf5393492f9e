// The page's canvas as the engine's window: opened at the game's size in
// pixels (the page scales it to fit), cleared once a frame, and read for the
// DOM's keys, pointer and focus as engine input records. The browser shows
// the canvas whenever the game loop sleeps.
#ifndef LK_WINDOW_H
#define LK_WINDOW_H

#include <string>

#include "Color.h"
#include "InputRecord.h"

namespace lk {

class Window {
 public:
  Window();
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // -1 when the page has no canvas or the browser gives it no 2-D context.
  int open(int horizontal_pixels, int vertical_pixels, const std::string& title);
  void close();
  bool isOpen() const;
  // The page's title.
  void setTitle(const std::string& title);
  int getHorizontalPixels() const;
  int getVerticalPixels() const;

  // The canvas keeps showing the last frame until the next one draws.
  void clear(Color color);
  void present();

  // Whether a held key's repeated presses reach the game.
  void setKeyRepeat(bool repeat);
  // Takes the next queued input; false when there is none left.
  bool pollInput(InputRecord& record);

 private:
  bool m_open;
  int m_horizontal_pixels;
  int m_vertical_pixels;
};

}  // namespace lk

#endif
