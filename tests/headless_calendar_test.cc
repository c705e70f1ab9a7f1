// The virtual clock's calendar: exact for every Gregorian date.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/headless/headless_platform.h"

namespace {

TEST(HeadlessCalendar, KnownDatesAndWeekdays) {
  EXPECT_EQ(plat::headless::daysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(plat::headless::daysFromCivil(2000, 3, 1), 11017);
  EXPECT_EQ(plat::headless::daysFromCivil(1969, 12, 31), -1);
  struct Case {
    int y, m, d, weekday;
  } cases[] = {{1970, 1, 1, 4}, {1969, 12, 31, 3}, {2000, 2, 29, 2},
               {2024, 3, 1, 5}, {1900, 3, 1, 4},   {2100, 2, 28, 0},
               {1600, 1, 1, 6}};
  for (const Case& c : cases) {
    plat::LocalTime t =
        plat::headless::civilFromMs(plat::headless::daysFromCivil(c.y, c.m, c.d) * 86400000);
    EXPECT_EQ(t.year, c.y);
    EXPECT_EQ(t.month, c.m);
    EXPECT_EQ(t.day, c.d);
    EXPECT_EQ(t.weekday, c.weekday) << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST(HeadlessCalendar, EveryDayFollowsTheOneBefore) {
  plat::LocalTime prev = plat::headless::civilFromMs(plat::headless::daysFromCivil(1899, 12, 31) * 86400000);
  for (int64_t day = plat::headless::daysFromCivil(1900, 1, 1);
       day < plat::headless::daysFromCivil(2101, 1, 1); ++day) {
    plat::LocalTime t = plat::headless::civilFromMs(day * 86400000 + 1234);
    ASSERT_EQ(plat::headless::msFromCivil(t), day * 86400000 + 1234);
    ASSERT_EQ(t.weekday, (prev.weekday + 1) % 7);
    const bool newMonth = t.day == 1;
    ASSERT_TRUE(newMonth ? (t.month == prev.month % 12 + 1) : (t.day == prev.day + 1));
    prev = t;
  }
}

}  // namespace
