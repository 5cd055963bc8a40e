// RecentlyUsedTableTest.cpp - the bounded tables of the weather service: the
// least recently used entry goes first, and a shared entry someone still
// holds stays, so two callers for one key never get two different entries.
#include <gtest/gtest.h>

#include <mutex>

#include "RecentlyUsedTable.h"

namespace weather_service {
namespace {

TEST(RecentlyUsedTable, LetsGoOfTheLeastRecentlyUsedBeyondItsCapacity) {
  RecentlyUsedTable<int> table(2);
  table.Put("a", 1);
  table.Put("b", 2);
  ASSERT_NE(table.Find("a"), nullptr);  // "b" is now the least recently used
  table.Put("c", 3);
  EXPECT_EQ(table.Size(), 2u);
  EXPECT_EQ(table.Find("b"), nullptr);
  ASSERT_NE(table.Find("a"), nullptr);
  EXPECT_EQ(*table.Find("a"), 1);
  table.Put("c", 4);  // a new value, not a new entry
  EXPECT_EQ(table.Size(), 2u);
  EXPECT_EQ(*table.Find("c"), 4);
}

TEST(RecentlyUsedTable, KeepsASharedEntryWhileItIsHeld) {
  RecentlyUsedTable<std::shared_ptr<std::mutex>> table(1);
  const std::shared_ptr<std::mutex> held = SharedEntryAt(table, "a");
  SharedEntryAt(table, "b");  // beyond the capacity, but "a" is held
  EXPECT_EQ(SharedEntryAt(table, "a"), held);
  EXPECT_EQ(table.Size(), 2u);

  const std::mutex* const before = held.get();
  SharedEntryAt(table, "c");  // "a" is still held: "b" goes
  EXPECT_EQ(table.Find("b"), nullptr);
  ASSERT_NE(table.Find("a"), nullptr);
  EXPECT_EQ(table.Find("a")->get(), before);
}

}  // namespace
}  // namespace weather_service
