#include "Clock.h"

namespace lk {

namespace {

// Products and sums taken modulo 2^32, as the reading is defined.
std::uint32_t wrapped(std::int64_t value) { return static_cast<std::uint32_t>(value); }

// Days from 1 January 1970 to the given date of the proleptic Gregorian
// calendar (negative before it), counted in years that start on 1 March so
// that the leap day falls at a year's end.
std::int64_t daysSinceEpoch(int year, int month, int day) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t year_of_era = y - era * 400;
  const std::int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

}  // namespace

Clock::Clock(TimeSource source) : m_previous_time(0), m_source(source) {
  m_previous_time = reading(m_source());
}

std::int32_t Clock::reading(const platform::UtcTime& time) {
  const std::int64_t days = daysSinceEpoch(time.year, time.month, time.day);
  std::uint32_t total = wrapped(days * 86400000000LL);
  total += wrapped(static_cast<std::int64_t>(time.hour) * 3600000000LL);
  total += wrapped(static_cast<std::int64_t>(time.minute) * 60000000LL);
  total += wrapped(static_cast<std::int64_t>(time.second) * 1000000LL);
  total += wrapped(static_cast<std::int64_t>(time.millisecond) * 1000LL);
  return static_cast<std::int32_t>(total);
}

std::int32_t Clock::interval(std::int32_t earlier, std::int32_t later) {
  const std::int32_t difference = static_cast<std::int32_t>(static_cast<std::uint32_t>(later) -
                                                            static_cast<std::uint32_t>(earlier));
  return difference < 0 ? 0 : difference;
}

std::int32_t Clock::delta() {
  const std::int32_t now = reading(m_source());
  const std::int32_t elapsed = interval(m_previous_time, now);
  m_previous_time = now;
  return elapsed;
}

std::int32_t Clock::split() const { return interval(m_previous_time, reading(m_source())); }

}  // namespace lk
