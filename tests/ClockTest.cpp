// The loop's stopwatch: readings in 32-bit arithmetic from the UTC calendar
// time, and intervals that survive the 32-bit wrap and every calendar carry.
#include <gtest/gtest.h>

#include "Clock.h"
#include "Platform.h"

namespace {

lk::platform::UtcTime fake_now;

lk::platform::UtcTime fakeSource() { return fake_now; }

lk::platform::UtcTime at(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
  return {year, month, day, hour, minute, second, millisecond};
}

// The time of day that is the given number of milliseconds into 6 March 2026.
lk::platform::UtcTime intoTheDay(int milliseconds) {
  return at(2026, 3, 6, milliseconds / 3600000, milliseconds / 60000 % 60,
            milliseconds / 1000 % 60, milliseconds % 1000);
}

}  // namespace

TEST(ClockTest, DeltaRestartsAndSplitDoesNot) {
  fake_now = at(2026, 3, 5, 23, 59, 59, 990);
  lk::Clock clock(fakeSource);
  EXPECT_EQ(clock.split(), 0);
  fake_now = at(2026, 3, 6, 0, 0, 0, 5);  // every carry up to the day
  EXPECT_EQ(clock.split(), 15000);
  fake_now = at(2026, 3, 6, 0, 0, 0, 10);
  EXPECT_EQ(clock.split(), 20000);  // still from the start
  EXPECT_EQ(clock.delta(), 20000);
  EXPECT_EQ(clock.delta(), 0);  // restarted
  fake_now = at(2026, 3, 6, 0, 0, 0, 43);
  EXPECT_EQ(clock.split(), 33000);
}

TEST(ClockTest, EveryFrameOfADayMeasuresItsRealLengthThroughThe32BitWraps) {
  // A day holds about twenty wraps of the 32-bit reading.
  fake_now = intoTheDay(0);
  lk::Clock clock(fakeSource);
  int wraps = 0;
  for (int ms = 33; ms < 86400000; ms += 33) {
    const std::int32_t before = lk::Clock::reading(fake_now);
    fake_now = intoTheDay(ms);
    if (lk::Clock::reading(fake_now) < before) ++wraps;
    ASSERT_EQ(clock.delta(), 33000) << ms << " ms into the day";
  }
  EXPECT_GE(wraps, 20);
}

TEST(ClockTest, MonthAndYearEndsAreOrdinaryCarries) {
  struct LastDay {
    int year, month, day, next_year, next_month;
  };
  for (const LastDay& last : {LastDay{2026, 2, 28, 2026, 3}, LastDay{2024, 2, 29, 2024, 3},
                              LastDay{2026, 4, 30, 2026, 5}, LastDay{2026, 1, 31, 2026, 2},
                              LastDay{2026, 12, 31, 2027, 1}, LastDay{2099, 12, 31, 2100, 1},
                              LastDay{2100, 2, 28, 2100, 3}}) {
    SCOPED_TRACE(testing::Message() << last.year << "-" << last.month << "-" << last.day);
    fake_now = at(last.year, last.month, last.day, 23, 59, 59, 990);
    lk::Clock clock(fakeSource);
    fake_now = at(last.next_year, last.next_month, 1, 0, 0, 0, 5);
    EXPECT_EQ(clock.split(), 15000);
    EXPECT_EQ(clock.delta(), 15000);
  }
}

TEST(ClockTest, AClockSetBackMeasuresNothingRatherThanANegativeTime) {
  fake_now = at(2026, 3, 6, 12, 0, 0, 0);
  lk::Clock clock(fakeSource);
  fake_now = at(2026, 3, 6, 11, 59, 0, 0);
  EXPECT_EQ(clock.delta(), 0);
  fake_now = at(2026, 3, 6, 11, 59, 0, 33);
  EXPECT_EQ(clock.delta(), 33000);
}
