#include "Platform.h"

#ifdef _WIN32
// windows.h first: timeapi.h needs its types.
// clang-format off
#include <windows.h>
#include <timeapi.h>
// clang-format on
#elif defined(__EMSCRIPTEN__)
#include <ctime>

#include <emscripten.h>
#else
#include <cerrno>
#include <ctime>
#endif
#if !defined(_WIN32) && !defined(__APPLE__) && !defined(__EMSCRIPTEN__)
#include <X11/Xlib.h>
#endif

namespace lk {
namespace platform {

#ifdef _WIN32

UtcTime utcNow() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  UtcTime t;
  t.year = now.wYear;
  t.month = now.wMonth;
  t.day = now.wDay;
  t.hour = now.wHour;
  t.minute = now.wMinute;
  t.second = now.wSecond;
  t.millisecond = now.wMilliseconds;
  return t;
}

void localTimeOfDay(int* hour, int* minute, int* second) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  *hour = now.wHour;
  *minute = now.wMinute;
  *second = now.wSecond;
}

void sleepMilliseconds(int milliseconds) {
  Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
}

// Every timeBeginPeriod needs exactly one timeEndPeriod, or the raised
// resolution outlives the program's need of it: a second request (a start-up
// after a failed one) holds nothing more, and a release without a held
// request (a shut-down after one) releases nothing.
namespace {
bool resolution_held = false;
}

void requestTimerResolution() {
  if (!resolution_held) resolution_held = timeBeginPeriod(1) == TIMERR_NOERROR;
}

void releaseTimerResolution() {
  if (resolution_held) timeEndPeriod(1);
  resolution_held = false;
}

#else

UtcTime utcNow() {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  struct tm parts;
  gmtime_r(&now.tv_sec, &parts);
  UtcTime t;
  t.year = parts.tm_year + 1900;
  t.month = parts.tm_mon + 1;
  t.day = parts.tm_mday;
  t.hour = parts.tm_hour;
  t.minute = parts.tm_min;
  t.second = parts.tm_sec > 59 ? 59 : parts.tm_sec;  // a leap second reads as :59
  t.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return t;
}

void localTimeOfDay(int* hour, int* minute, int* second) {
  const time_t now = time(nullptr);
  struct tm parts;
  localtime_r(&now, &parts);
  *hour = parts.tm_hour;
  *minute = parts.tm_min;
  *second = parts.tm_sec;
}

#ifdef __EMSCRIPTEN__
// In a page the program must not block: the sleep hands the browser control
// (Asyncify unwinds the stack and winds it back when the timer fires), so it
// can draw the canvas and queue input meanwhile. Browser timers fire late,
// by several milliseconds on a busy machine: each sleep is shortened by what
// the earlier ones overslept, so that sleeps last as asked on average. The
// debt is capped at one frame: a long stall is not made up.
namespace {
double overslept_ms = 0.0;
const double MOST_OVERSLEPT_MS = 33.333;
}  // namespace

void sleepMilliseconds(int milliseconds) {
  const double wanted = milliseconds > 0 ? milliseconds : 0;
  const double asked = wanted > overslept_ms ? wanted - overslept_ms : 0.0;
  const double start = emscripten_get_now();
  emscripten_sleep(static_cast<unsigned int>(asked + 0.5));
  overslept_ms += emscripten_get_now() - start - wanted;
  if (overslept_ms < 0.0) overslept_ms = 0.0;
  if (overslept_ms > MOST_OVERSLEPT_MS) overslept_ms = MOST_OVERSLEPT_MS;
}
#else
void sleepMilliseconds(int milliseconds) {
  struct timespec wanted;
  wanted.tv_sec = milliseconds > 0 ? milliseconds / 1000 : 0;
  wanted.tv_nsec = milliseconds > 0 ? static_cast<long>(milliseconds % 1000) * 1000000L : 0;
  struct timespec left;
  while (nanosleep(&wanted, &left) == -1 && errno == EINTR) wanted = left;
}
#endif

// POSIX sleeps are already fine-grained.
void requestTimerResolution() {}
void releaseTimerResolution() {}

#endif

#if defined(_WIN32) || defined(__APPLE__) || defined(__EMSCRIPTEN__)

// The window library reports a failed window there; nothing to hold.
WindowingConnection::WindowingConnection() : m_p_connection(this) {}
WindowingConnection::~WindowingConnection() {}

#else

WindowingConnection::WindowingConnection() : m_p_connection(XOpenDisplay(nullptr)) {}

WindowingConnection::~WindowingConnection() {
  if (m_p_connection != nullptr) XCloseDisplay(static_cast<Display*>(m_p_connection));
}

#endif

bool WindowingConnection::reachable() const { return m_p_connection != nullptr; }

}  // namespace platform
}  // namespace lk
