// Helpers for tests that look at the engine's window: its pixels, real X
// input sent with xdotool, and the close request a window manager sends.
#ifndef LK_WINDOW_PROBE_H
#define LK_WINDOW_PROBE_H

#include <functional>
#include <string>

#include <SFML/Graphics.hpp>

namespace lktest {

// Starts an Xvfb of this process's own and points DISPLAY at it, so real
// input cannot reach other tests' windows. Call before the first window.
bool usePrivateDisplay();

// Keeps the OpenGL driver loaded until the process ends, so the leak checker
// can name (and suppress) what it keeps for the process's life.
void keepGraphicsDriverLoaded();

// The frame drawn since the last swap, flushed first.
sf::Image captureWindow();

// Areas of an image are cut to the image, so this one is all of it.
const sf::IntRect WHOLE_IMAGE(0, 0, 1 << 20, 1 << 20);
// The pixels of a screen cell, shrunk by the inset on every side.
sf::IntRect cellRect(float column, float row, int inset = 0);
// Pixels of the area for which the test holds.
int countPixels(const sf::Image& image, sf::IntRect area, const std::function<bool(sf::Color)>& test);
// Pixels of the area that are not black.
int inkCount(const sf::Image& image, sf::IntRect area = WHOLE_IMAGE);
// The smallest rectangle holding every pixel of the area whose r + g + b
// exceeds the threshold; width 0 when there is none.
sf::IntRect inkBounds(const sf::Image& image, sf::IntRect area = WHOLE_IMAGE, int threshold = 0);

// Runs "xdotool <arguments>"; true when it exited with status 0.
bool xdotool(const std::string& arguments);
// The X window id of the display manager's window, in decimal.
std::string windowId();
// Sends the window a WM_DELETE_WINDOW client message, as a close button does.
bool sendCloseRequest();
// Calls the input manager's getInput until the condition holds or the time
// runs out (X delivers events asynchronously). Returns the condition.
bool pumpInputUntil(const std::function<bool()>& condition, int timeout_ms = 3000);

}  // namespace lktest

#endif
