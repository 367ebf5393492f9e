// The few operating-system services the engine needs: calendar time in UTC
// to the millisecond, a millisecond sleep, the 1 ms timer-resolution request,
// and whether a window can be opened at all. Nothing else in the engine reads
// the clock or sleeps.
#ifndef LK_PLATFORM_H
#define LK_PLATFORM_H

namespace lk {
namespace platform {

struct UtcTime {
  int year = 2000;
  int month = 1;  // 1 to 12
  int day = 1;    // day of the month, 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// The current calendar time in UTC.
UtcTime utcNow();

// The local time of day, for the log's time stamps.
void localTimeOfDay(int* hour, int* minute, int* second);

// Sleeps for the given number of milliseconds; 0 or less yields at once.
void sleepMilliseconds(int milliseconds);

// Ask for, and release, 1 ms timer resolution (a no-op on POSIX).
void requestTimerResolution();
void releaseTimerResolution();

// A connection to the windowing system, held while it lives. The window
// library ends the process when it finds no X server instead of reporting
// it, so the display connects here first; and an X server that resets when
// its last client leaves would refuse the library's connection if this one
// were closed before the window is made.
class WindowingConnection {
 public:
  WindowingConnection();
  ~WindowingConnection();
  WindowingConnection(const WindowingConnection&) = delete;
  WindowingConnection& operator=(const WindowingConnection&) = delete;

  // False when there is no windowing system to connect to.
  bool reachable() const;

 private:
  void* m_p_connection;
};

}  // namespace platform
}  // namespace lk

#endif
