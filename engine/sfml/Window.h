// The desktop window, on SFML: opened with a title, cleared and shown once a
// frame, and read for input as engine records.
//
// How a backend plugs in: a backend is a folder beside this one
// (engine/<name>/, chosen by CMake's LK_BACKEND) holding its own Window,
// GlyphBatch, SoundClip and MusicStream with the public operations these
// desktop ones have (those marked "desktop only" excepted). The managers,
// Sound and Music are compiled once for every backend and reach the
// platform only through these four classes, which their shared headers
// only name; the clock and sleep are in Platform. The build defines
// LK_BACKEND_SFML (or LK_BACKEND_<NAME>) for code that must know which.
#ifndef LK_WINDOW_H
#define LK_WINDOW_H

#include <memory>
#include <string>

#include <SFML/Graphics/RenderWindow.hpp>

#include "Color.h"
#include "InputRecord.h"

namespace lk {

class Window {
 public:
  Window();
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Opens a window of the size in pixels, not resizable, with the title;
  // -1 when none can be made (no display to connect to, no GL context).
  int open(int horizontal_pixels, int vertical_pixels, const std::string& title);
  void close();
  bool isOpen() const;
  void setTitle(const std::string& title);
  // The size of the drawing surface in pixels (0 when closed).
  int getHorizontalPixels() const;
  int getVerticalPixels() const;

  // Fills the back buffer with the colour.
  void clear(Color color);
  // Shows the back buffer, paced by the display's refresh where it can be.
  void present();

  // Whether holding a key repeats its press (off for the game).
  void setKeyRepeat(bool repeat);
  // Takes the next pending input; false when there is none left.
  bool pollInput(InputRecord& record);

  // Desktop only: the SFML window, and the engine key for an SFML key code.
  sf::RenderWindow* getRenderWindow() const;
  static Key mapKey(int sfml_key_code);

 private:
  std::unique_ptr<sf::RenderWindow> m_p_window;
};

}  // namespace lk

#endif
