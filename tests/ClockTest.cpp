// The loop's stopwatch: readings in 32-bit arithmetic from the UTC calendar
// time, and intervals that survive the wrap and the month-end jump.
#include <cstdint>

#include <gtest/gtest.h>

#include "Clock.h"
#include "GameManager.h"
#include "Platform.h"

namespace {

lk::platform::UtcTime fake_now;

lk::platform::UtcTime fakeSource() { return fake_now; }

lk::platform::UtcTime at(int day, int hour, int minute, int second, int millisecond) {
  lk::platform::UtcTime t;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.millisecond = millisecond;
  return t;
}

// Steps the fake time on by whole milliseconds, carrying into the next day
// of the same month.
void advance(int milliseconds) {
  long long ms = fake_now.millisecond + milliseconds;
  long long s = fake_now.second + ms / 1000;
  long long m = fake_now.minute + s / 60;
  long long h = fake_now.hour + m / 60;
  fake_now.millisecond = static_cast<int>(ms % 1000);
  fake_now.second = static_cast<int>(s % 60);
  fake_now.minute = static_cast<int>(m % 60);
  fake_now.hour = static_cast<int>(h % 24);
  fake_now.day += static_cast<int>(h / 24);
}

}  // namespace

// Expected values worked out independently: the sum modulo 2^32, read signed.
TEST(ClockTest, ReadingIsTheCalendarSumIn32BitArithmetic) {
  EXPECT_EQ(lk::Clock::reading(at(1, 0, 0, 0, 0)), 500654080);
  EXPECT_EQ(lk::Clock::reading(at(1, 0, 0, 0, 5)), 500659080);
  EXPECT_EQ(lk::Clock::reading(at(31, 23, 59, 59, 990)), -1158948624);
  EXPECT_EQ(lk::Clock::reading(at(28, 23, 59, 59, 990)), 1634056432);
  // Every field counts with its own weight, and the hours already wrap.
  EXPECT_EQ(lk::Clock::reading(at(1, 1, 0, 0, 0)), -194313216);
  EXPECT_EQ(lk::Clock::reading(at(3, 0, 0, 0, 0)), 1501962240);
  EXPECT_EQ(lk::Clock::reading(at(17, 13, 45, 12, 345)), -2106077784);
}

TEST(ClockTest, DeltaRestartsAndSplitDoesNot) {
  fake_now = at(12, 10, 20, 30, 400);
  lk::Clock clock(fakeSource);
  EXPECT_EQ(clock.split(), 0);
  advance(15);
  EXPECT_EQ(clock.split(), 15000);
  advance(5);
  EXPECT_EQ(clock.split(), 20000);  // still from the start
  EXPECT_EQ(clock.delta(), 20000);
  EXPECT_EQ(clock.delta(), 0);      // restarted
  advance(33);
  EXPECT_EQ(clock.split(), 33000);
  EXPECT_EQ(clock.delta(), 33000);
  // Second, minute, hour and day carries inside a month are exact.
  fake_now = at(5, 23, 59, 59, 990);
  clock.delta();
  advance(20);
  ASSERT_EQ(fake_now.day, 6);
  EXPECT_EQ(clock.delta(), 20000);
}

TEST(ClockTest, IntervalAcrossThe32BitWrapIsExact) {
  // Day 1 00:27:26.829 reads 2147483080; a millisecond later the reading has
  // wrapped to -2147483216.
  ASSERT_EQ(lk::Clock::reading(at(1, 0, 27, 26, 829)), 2147483080);
  ASSERT_EQ(lk::Clock::reading(at(1, 0, 27, 26, 830)), -2147483216);

  fake_now = at(1, 0, 27, 26, 810);
  lk::Clock clock(fakeSource);
  advance(33);
  EXPECT_EQ(clock.split(), 33000);
  EXPECT_EQ(clock.delta(), 33000);
  EXPECT_EQ(lk::Clock::interval(2147483080, -2147483216), 1000);
  EXPECT_EQ(lk::GameManager::sleepTime(33333, clock.split()), 33);
}

TEST(ClockTest, IntervalAcrossTheMonthEndIsNeverNegative) {
  // Whatever the length of the month, the jump back to day 1 must not give a
  // negative loop time, nor a sleep longer than the frame.
  for (int last_day : {28, 29, 30, 31}) {
    SCOPED_TRACE(last_day);
    fake_now = at(last_day, 23, 59, 59, 990);
    lk::Clock clock(fakeSource);
    fake_now = at(1, 0, 0, 0, 5);
    const std::int32_t split = clock.split();
    EXPECT_GE(split, 0);
    EXPECT_LE(lk::GameManager::sleepTime(33333, split), 33);
    const std::int32_t delta = clock.delta();
    EXPECT_GE(delta, 0);
    // Measuring goes on normally after the jump.
    advance(7);
    EXPECT_EQ(clock.delta(), 7000);
  }
}

TEST(ClockTest, RealReadingsAreWholeMilliseconds) {
  lk::Clock clock;
  lk::platform::sleepMilliseconds(20);
  const std::int32_t elapsed = clock.delta();
  EXPECT_EQ(elapsed % 1000, 0);
  EXPECT_GE(elapsed, 19000);  // at millisecond resolution a 20 ms sleep can read 19
}
