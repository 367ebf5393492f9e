// The loop's clock and sleep on the real system calls (GetSystemTime, Sleep
// and the 1 ms timer resolution on Windows).
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "Clock.h"
#include "Platform.h"

// The shortest of 15 sleeps, so a busy machine's late wake-ups do not
// count: never short of its time, and with 1 ms resolution held not a 15 ms
// timer tick either.
TEST(PlatformTest, SleepsLastTheirMillisecondsOnTheLoopsClock) {
  lk::platform::requestTimerResolution();
  for (int ms : {1, 5, 33}) {
    std::vector<int> took;
    for (lk::Clock clock; took.size() < 15; clock.delta()) {
      lk::platform::sleepMilliseconds(ms);
      took.push_back(clock.split());
    }
    const int shortest = *std::min_element(took.begin(), took.end());
    EXPECT_GE(shortest, (ms - 1) * 1000) << ms << " ms";  // readings are whole milliseconds
    EXPECT_LE(shortest, (ms + 5) * 1000) << ms << " ms";
  }
  lk::platform::releaseTimerResolution();
}
