// RefreshBookTest.cpp - when the refresh book hands a code to the
// refresher: shortly before its rows turn stale, at once when they are, with
// a growing pause after failures, and never once nobody has read it for ten
// minutes.
#include <gtest/gtest.h>

#include "RefreshBook.h"
#include "TestDatabase.h"

namespace veld_test {
namespace {

constexpr int64_t kStart = 1'700'000'000;
constexpr std::chrono::milliseconds kNoWait{5};

TEST(RefreshBookTest, DueTimesFollowReadsAndFetches) {
  FixedClock clock(kStart);
  RefreshBook book;
  book.NoteRead("fresh", kStart, kStart);
  book.NoteRead("stale", kStart - 60, kStart);
  EXPECT_EQ(book.WaitForDueCode(kNoWait), "stale");
  EXPECT_EQ(book.WaitForDueCode(kNoWait), std::nullopt) << "handed out once until noted back";

  clock.Set(kStart + 24);
  EXPECT_EQ(book.WaitForDueCode(kNoWait), std::nullopt);
  clock.Set(kStart + 25);  // five seconds before the rows turn stale
  EXPECT_EQ(book.WaitForDueCode(kNoWait), "fresh");

  book.NoteFetch("stale", false, kStart + 25);
  clock.Set(kStart + 27);
  EXPECT_EQ(book.WaitForDueCode(kNoWait), "stale");
  book.NoteFetch("stale", false, kStart + 27);
  clock.Set(kStart + 30);
  EXPECT_EQ(book.WaitForDueCode(kNoWait), std::nullopt) << "the pause doubles: 4 s now";
  clock.Set(kStart + 31);
  EXPECT_EQ(book.WaitForDueCode(kNoWait), "stale");
  book.NoteFetch("stale", true, kStart + 31);
  clock.Set(kStart + 55);
  EXPECT_EQ(book.WaitForDueCode(kNoWait), std::nullopt);
  clock.Set(kStart + 56);
  EXPECT_EQ(book.WaitForDueCode(kNoWait), "stale");
  book.NoteFetch("stale", true, kStart + 56);
  book.NoteFetch("fresh", true, kStart + 56);

  EXPECT_TRUE(book.Keeps("fresh", kStart + 600));
  clock.Set(kStart + 601);
  EXPECT_FALSE(book.Keeps("fresh", kStart + 601));
  EXPECT_EQ(book.WaitForDueCode(kNoWait), std::nullopt) << "codes nobody reads are dropped";
  EXPECT_FALSE(book.Keeps("stale", kStart + 601));
}

}  // namespace
}  // namespace veld_test
