#ifndef LK_CLOCK_H
#define LK_CLOCK_H

#include <cstdint>

#include "Platform.h"

namespace lk {

/// A stopwatch on the system's calendar time, with millisecond resolution.
class Clock {
 public:
  /// Where readings come from; tests hand in their own times.
  using TimeSource = platform::UtcTime (*)();

  /// Starts the clock at a reading of the source (the system's UTC time by default).
  explicit Clock(TimeSource source = platform::utcNow);

  /// Microseconds since the previous reading; restarts the clock.
  std::int32_t delta();
  /// Microseconds since the previous reading; leaves the clock running.
  std::int32_t split() const;

  /// The reading of a time: D*86,400,000,000 + h*3,600,000,000 + m*60,000,000
  /// + s*1,000,000 + ms*1,000 in 32-bit two's-complement arithmetic, where D
  /// counts days from 1 January 1970, so that a month's or a year's end is an
  /// ordinary carry rather than a jump back.
  static std::int32_t reading(const platform::UtcTime& time);
  /// later - earlier in 32-bit arithmetic, which carries an interval across the
  /// 2^31 wrap. A system clock set back makes it negative; that reads as 0.
  static std::int32_t interval(std::int32_t earlier, std::int32_t later);

 private:
  std::int32_t m_previous_time;
  TimeSource m_source;
};

}  // namespace lk

#endif
