// The few operating-system services the engine needs: calendar time in UTC
// to the millisecond, a millisecond sleep, the 1 ms timer-resolution request,
// and whether a window can be opened at all. Nothing else in the engine reads
// the clock or sleeps.
#ifndef LK_PLATFORM_H
#define LK_PLATFORM_H

namespace lk {
namespace platform {

/// A calendar time in UTC, to the millisecond.
struct UtcTime {
  int year = 2000;       ///< the year, as 2026
  int month = 1;         ///< 1 to 12
  int day = 1;           ///< day of the month, 1 to 31
  int hour = 0;          ///< 0 to 23
  int minute = 0;        ///< 0 to 59
  int second = 0;        ///< 0 to 59 (60 in a leap second)
  int millisecond = 0;   ///< 0 to 999
};

/// The current calendar time in UTC.
UtcTime utcNow();

/// The local time of day, for the log's time stamps.
void localTimeOfDay(int* hour, int* minute, int* second);

/// Sleeps for the given number of milliseconds; 0 or less yields at once.
void sleepMilliseconds(int milliseconds);

/// Asks for 1 ms timer resolution (a no-op on POSIX).
void requestTimerResolution();
/// Releases the 1 ms timer resolution.
void releaseTimerResolution();

// A connection to the windowing system, held while it lives. The window
// library ends the process when it finds no X server instead of reporting
// it, so the display connects here first; and an X server that resets when
// its last client leaves would refuse the library's connection if this one
// were closed before the window is made.
/// A connection to the windowing system, held while it lives.
class WindowingConnection {
 public:
  WindowingConnection();
  ~WindowingConnection();
  WindowingConnection(const WindowingConnection&) = delete;
  WindowingConnection& operator=(const WindowingConnection&) = delete;

  /// False when there is no windowing system to connect to.
  bool reachable() const;

 private:
  void* m_p_connection;
};

}  // namespace platform
}  // namespace lk

#endif
