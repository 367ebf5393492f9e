#include "Clock.h"

namespace lk {

namespace {

// Products and sums taken modulo 2^32, as the reading is defined.
std::uint32_t wrapped(std::int64_t value) { return static_cast<std::uint32_t>(value); }

}  // namespace

Clock::Clock(TimeSource source) : m_previous_time(0), m_source(source) {
  m_previous_time = reading(m_source());
}

std::int32_t Clock::reading(const platform::UtcTime& time) {
  std::uint32_t total = wrapped(static_cast<std::int64_t>(time.day) * 86400000000LL);
  total += wrapped(static_cast<std::int64_t>(time.hour) * 3600000000LL);
  total += wrapped(static_cast<std::int64_t>(time.minute) * 60000000LL);
  total += wrapped(static_cast<std::int64_t>(time.second) * 1000000LL);
  total += wrapped(static_cast<std::int64_t>(time.millisecond) * 1000LL);
  return static_cast<std::int32_t>(total);
}

std::int32_t Clock::interval(std::int32_t earlier, std::int32_t later) {
  const std::int32_t difference = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(later) - static_cast<std::uint32_t>(earlier));
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
