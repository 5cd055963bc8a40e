// RefreshScheduleTest.cpp - when the refresh schedule hands a code to the
// refresher: shortly before its rows turn stale, at once when they are, with
// a growing pause after failures, and never once nobody has read it for ten
// minutes.
#include <gtest/gtest.h>

#include "RefreshSchedule.h"
#include "TestDatabase.h"

namespace veld_test {
namespace {

constexpr int64_t kStart = 1'700'000'000;
constexpr std::chrono::milliseconds kNoWait{5};

TEST(RefreshScheduleTest, DueTimesFollowReadsAndFetches) {
  FixedClock clock(kStart);
  RefreshSchedule schedule;
  schedule.NoteRead("fresh", kStart, kStart);
  schedule.NoteRead("stale", kStart - 60, kStart);
  EXPECT_EQ(schedule.WaitForDueCode(kNoWait), "stale");
  EXPECT_EQ(schedule.WaitForDueCode(kNoWait), std::nullopt) << "handed out once until noted back";

  clock.Set(kStart + 24);
  EXPECT_EQ(schedule.WaitForDueCode(kNoWait), std::nullopt);
  clock.Set(kStart + 25);  // five seconds before the rows turn stale
  EXPECT_EQ(schedule.WaitForDueCode(kNoWait), "fresh");

  schedule.NoteFetch("stale", false, kStart + 25);
  clock.Set(kStart + 27);
  EXPECT_EQ(schedule.WaitForDueCode(kNoWait), "stale");
  schedule.NoteFetch("stale", false, kStart + 27);
  clock.Set(kStart + 30);
  EXPECT_EQ(schedule.WaitForDueCode(kNoWait), std::nullopt) << "the pause doubles: 4 s now";
  clock.Set(kStart + 31);
  EXPECT_EQ(schedule.WaitForDueCode(kNoWait), "stale");
  schedule.NoteFetch("stale", true, kStart + 31);
  clock.Set(kStart + 55);
  EXPECT_EQ(schedule.WaitForDueCode(kNoWait), std::nullopt);
  clock.Set(kStart + 56);
  EXPECT_EQ(schedule.WaitForDueCode(kNoWait), "stale");
  schedule.NoteFetch("stale", true, kStart + 56);
  schedule.NoteFetch("fresh", true, kStart + 56);

  EXPECT_TRUE(schedule.RefreshesInBackground("fresh", kStart + 600));
  clock.Set(kStart + 601);
  EXPECT_FALSE(schedule.RefreshesInBackground("fresh", kStart + 601));
  EXPECT_EQ(schedule.WaitForDueCode(kNoWait), std::nullopt) << "codes nobody reads are dropped";
  EXPECT_FALSE(schedule.RefreshesInBackground("stale", kStart + 601));
}

}  // namespace
}  // namespace veld_test
