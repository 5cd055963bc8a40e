// DatabaseFileTest.cpp - what start-up does to a database file: the server's
// own file gets the WAL journal, the unique index and the History table, a
// file without a Data table none of them; a file holding a pair twice keeps
// working without the index.
#include <gtest/gtest.h>

#include "DataTable.h"
#include "DatabaseFile.h"
#include "TestDatabase.h"

namespace veld_test {
namespace {

class DatabaseFileTest : public ::testing::Test {
 protected:
  std::string Pragma(const std::string& name) { return temporary.Rows("PRAGMA " + name).front().begin()->second; }
  size_t Count(const std::string& type, const std::string& name) {
    return temporary.Rows("SELECT name FROM sqlite_master WHERE type = '" + type + "' AND name = '" + name + "'")
        .size();
  }

  TemporaryDatabase temporary;
  CapturedLog log;
  FixedClock clock{1'700'000'000};
};

TEST_F(DatabaseFileTest, OnlyAFileWithADataTableGetsWalTheUniqueIndexAndHistory) {
  temporary.Run("ALTER TABLE Data RENAME TO Other; DROP TABLE History");
  PrepareDatabaseFile(temporary.Database());
  EXPECT_EQ(Pragma("journal_mode"), "delete");
  EXPECT_EQ(Count("table", "History") + Count("index", "DataByCodeAndName"), 0u);
  temporary.Run("ALTER TABLE Other RENAME TO Data");
  PrepareDatabaseFile(temporary.Database());
  EXPECT_EQ(Pragma("journal_mode"), "wal");
  EXPECT_EQ(Count("index", "DataByCodeAndName"), 1u);
  EXPECT_EQ(Count("table", "History"), 1u);
  // The index refuses a second row of a pair; rows of code "0" may share a name.
  temporary.AddRow(20, "temp", "K1A", 1, 0);
  EXPECT_NE(temporary.TryRun("INSERT INTO Data VALUES (21, 'temp', 'K1A', 2, 0)"), SQLITE_OK);
  EXPECT_EQ(temporary.TryRun("INSERT INTO Data VALUES (22, 'no name', '0', 2, 0);"
                             "INSERT INTO Data VALUES (23, 'no name', '0', 2, 0)"),
            SQLITE_OK);
}

TEST_F(DatabaseFileTest, AFileHoldingAPairTwiceWarnsOnceAndUpdatesTheLowestOffset) {
  temporary.AddRow(30, "temp", "K1A", 1, 0);
  temporary.AddRow(20, "temp", "K1A", 2, 0);
  PrepareDatabaseFile(temporary.Database());
  EXPECT_TRUE(log.Contains("Warning: The Data table holds [1] postal code and name pairs in more than one row"));
  EXPECT_EQ(Count("index", "DataByCodeAndName"), 0u);
  ASSERT_TRUE(SaveValue(temporary.Database(), "K1A", "temp", 7));
  const SqlRows rows = temporary.Rows("SELECT ModbusOffset, Value FROM Data ORDER BY ModbusOffset");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].at("Value"), "7");
  EXPECT_EQ(rows[1].at("Value"), "1");
}

}  // namespace
}  // namespace veld_test
