// Helpers for tests that look at the engine's window: reading its pixels,
// sending it real X input with xdotool, and asking it to close the way a
// window manager's close button does.
#ifndef LK_WINDOW_PROBE_H
#define LK_WINDOW_PROBE_H

#include <functional>
#include <string>

#include <SFML/Graphics.hpp>

namespace lktest {

// Starts an X server of this process's own (Xvfb) and points DISPLAY at it,
// so real input sent to the window cannot stray into, or be stolen by, the
// windows of tests running beside this one. Call before the first window is
// made. The server ends with the process.
bool usePrivateDisplay();

// Keeps the OpenGL driver that the window loaded in memory until the process
// ends. Closing the last window unloads it, and the leak checker could then
// neither name nor suppress what the driver keeps for the process's life.
void keepGraphicsDriverLoaded();

// The back buffer of the display manager's window: what has been drawn since
// the last swap. Call after drawing (and flushing) and before swapBuffer.
sf::Image captureWindow();

// Runs "xdotool <arguments>"; true when it exited with status 0.
bool xdotool(const std::string& arguments);

// The X window id of the display manager's window, in decimal.
std::string windowId();

// Moves the pointer into the window and gives it the keyboard focus.
bool focusWindow();

// Sends the window a WM_DELETE_WINDOW client message, as a close button does.
bool sendCloseRequest();

// Calls the input manager's getInput until the condition holds or the time
// runs out; X delivers events asynchronously. Returns the condition.
bool pumpInputUntil(const std::function<bool()>& condition, int timeout_ms = 3000);

// Calls getInput for the given time, to collect anything still on its way.
void pumpInputFor(int duration_ms);

}  // namespace lktest

#endif
