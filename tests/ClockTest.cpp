// The loop's stopwatch: readings in 32-bit arithmetic from the UTC calendar
// time, and intervals that survive the wrap and the month-end jump.
#include <gtest/gtest.h>

#include "Clock.h"
#include "Platform.h"

namespace {

lk::platform::UtcTime fake_now;

lk::platform::UtcTime fakeSource() { return fake_now; }

lk::platform::UtcTime at(int day, int hour, int minute, int second, int millisecond) {
  return {day, hour, minute, second, millisecond};
}

}  // namespace

TEST(ClockTest, DeltaRestartsAndSplitDoesNot) {
  fake_now = at(5, 23, 59, 59, 990);
  lk::Clock clock(fakeSource);
  EXPECT_EQ(clock.split(), 0);
  fake_now = at(6, 0, 0, 0, 5);  // every carry up to the day
  EXPECT_EQ(clock.split(), 15000);
  fake_now = at(6, 0, 0, 0, 10);
  EXPECT_EQ(clock.split(), 20000);  // still from the start
  EXPECT_EQ(clock.delta(), 20000);
  EXPECT_EQ(clock.delta(), 0);  // restarted
  fake_now = at(6, 0, 0, 0, 43);
  EXPECT_EQ(clock.split(), 33000);
}

TEST(ClockTest, IntervalAcrossThe32BitWrapIsExact) {
  // Readings are the calendar sum modulo 2^32, read signed (worked out apart).
  ASSERT_EQ(lk::Clock::reading(at(1, 0, 27, 26, 829)), 2147483080);
  ASSERT_EQ(lk::Clock::reading(at(1, 0, 27, 26, 830)), -2147483216);
  fake_now = at(1, 0, 27, 26, 810);
  lk::Clock clock(fakeSource);
  fake_now = at(1, 0, 27, 26, 843);
  EXPECT_EQ(clock.split(), 33000);
  EXPECT_EQ(clock.delta(), 33000);
}

TEST(ClockTest, IntervalAcrossTheMonthEndIsNeverNegative) {
  for (int last_day : {28, 29, 30, 31}) {
    SCOPED_TRACE(last_day);
    fake_now = at(last_day, 23, 59, 59, 990);
    lk::Clock clock(fakeSource);
    fake_now = at(1, 0, 0, 0, 5);
    EXPECT_GE(clock.split(), 0);
    EXPECT_GE(clock.delta(), 0);
    fake_now = at(1, 0, 0, 0, 12);  // measuring goes on normally after the jump
    EXPECT_EQ(clock.delta(), 7000);
  }
}
