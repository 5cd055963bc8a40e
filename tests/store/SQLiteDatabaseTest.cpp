// SQLiteDatabaseTest.cpp - CSQLiteDatabase: the open-mode state machine,
// Exec and Query on open and closed handles, rows and NULL columns, bound
// values, the log lines, and what writes report to the health.
#include <gtest/gtest.h>

#include <filesystem>

#include "SQLiteDatabase.h"
#include "TestDatabase.h"
#include "WriteTransaction.h"

namespace veld_test {
namespace {

constexpr int kReadOnly = SQLITE_OPEN_READONLY;
constexpr int kReadWrite = SQLITE_OPEN_READWRITE;
constexpr int kCreate = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;

class SQLiteDatabaseTest : public ::testing::Test {
 protected:
  TemporaryDatabase temporary;
  CSQLiteDatabase database;  // a handle of its own, not the process one
  CapturedLog log;

  void SetUp() override { database.SetFileName(temporary.Path()); }
};

TEST_F(SQLiteDatabaseTest, MissingFileOpensOnlyWithCreate) {
  const std::string missing = temporary.Path() + ".new";
  database.SetFileName(missing);
  EXPECT_EQ(database.Open(kReadOnly), SQLITE_CANTOPEN);
  EXPECT_FALSE(database.IsOpen());
  EXPECT_EQ(database.OpenMode(), 0);
  EXPECT_EQ(database.Open(kCreate), SQLITE_OK);
  EXPECT_EQ(database.OpenMode(), kCreate);
  EXPECT_TRUE(std::filesystem::exists(missing));
  EXPECT_EQ(log.Text(), "") << "Open logs nothing";
}

TEST_F(SQLiteDatabaseTest, AFailedWriteMarksTheHealthUntilAWriteLandsAndContentionDoesNot) {
  DatabaseHealth health;
  database.SetHealth(&health);
  const std::string update = "UPDATE Data SET Value = ? WHERE ModbusOffset = 0";
  ASSERT_EQ(database.Open(kReadOnly), SQLITE_OK);
  EXPECT_NE(database.Exec(update, {SqlParam::Integer(1)}), SQLITE_OK);
  EXPECT_TRUE(health.lastWriteFailed);

  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(temporary.Path().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  {
    const WriteTransaction transaction(database);
    EXPECT_FALSE(transaction.Started());
    EXPECT_TRUE(transaction.Busy());
  }
  EXPECT_EQ(health.busyWrites, 1u);
  EXPECT_TRUE(health.lastWriteFailed) << "contention is no fault, and no landed write either";
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  EXPECT_EQ(database.Exec(update, {SqlParam::Integer(1)}), SQLITE_OK);
  EXPECT_FALSE(health.lastWriteFailed);
  EXPECT_EQ(health.commits, 1u);
  database.SetHealth(nullptr);
}

TEST_F(SQLiteDatabaseTest, ReadWriteConnectionServesReads) {
  ASSERT_EQ(database.Open(kReadWrite), SQLITE_OK);
  ASSERT_EQ(database.Open(kReadOnly), SQLITE_OK);
  EXPECT_EQ(database.OpenMode(), kReadWrite) << "kept, not reopened read-only";
  EXPECT_EQ(database.Exec("INSERT INTO Data (ModbusOffset) VALUES (1);"), SQLITE_OK);
}

TEST_F(SQLiteDatabaseTest, ReadOnlyConnectionIsReopenedForWrites) {
  ASSERT_EQ(database.Open(kReadOnly), SQLITE_OK);
  EXPECT_NE(database.Exec("INSERT INTO Data (ModbusOffset) VALUES (1);"), SQLITE_OK);
  EXPECT_TRUE(log.Contains("attempt to write a readonly database"));
  ASSERT_EQ(database.Open(kReadWrite), SQLITE_OK);
  EXPECT_EQ(database.OpenMode(), kReadWrite);
  EXPECT_EQ(database.Exec("INSERT INTO Data (ModbusOffset) VALUES (1);"), SQLITE_OK);
}

TEST_F(SQLiteDatabaseTest, CreateModeIsLeftForReads) {
  ASSERT_EQ(database.Open(kCreate), SQLITE_OK);
  ASSERT_EQ(database.Open(kReadOnly), SQLITE_OK);
  EXPECT_EQ(database.OpenMode(), kReadOnly);
}

TEST_F(SQLiteDatabaseTest, ClosedHandleDoesNothingAndReportsSuccess) {
  SqlRows rows{SqlRow{{"kept", "1"}}};
  EXPECT_EQ(database.Exec("this is not SQL"), SQLITE_OK);
  EXPECT_EQ(database.Query("SELECT * FROM Data", rows), SQLITE_OK);
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_EQ(log.Text(), "");
}

TEST_F(SQLiteDatabaseTest, SettingTheSameFileNameKeepsTheConnection) {
  ASSERT_EQ(database.Open(kReadOnly), SQLITE_OK);
  database.SetFileName(temporary.Path());
  EXPECT_TRUE(database.IsOpen());
  database.SetFileName(temporary.Path() + ".other");
  EXPECT_FALSE(database.IsOpen());
  EXPECT_EQ(database.OpenMode(), 0);
}

TEST_F(SQLiteDatabaseTest, QueryLogsAndReturnsRowsByColumnName) {
  temporary.AddRow(3, "temp", "10001", 215, 1000);
  ASSERT_EQ(database.Open(kReadOnly), SQLITE_OK);
  SqlRows rows;
  ASSERT_EQ(database.Query("SELECT * FROM Data", rows), SQLITE_OK);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(
      rows[0],
      (SqlRow{{"Code", "10001"}, {"LastUpdated", "1000"}, {"ModbusOffset", "3"}, {"Name", "temp"}, {"Value", "215"}}));
  EXPECT_EQ(log.Text(), "FYI: SQL Query=[SELECT * FROM Data]\n");

  rows.clear();
  ASSERT_EQ(database.Query("SELECT count(*) totalRows FROM Data ", rows), SQLITE_OK);
  EXPECT_EQ(rows, (SqlRows{SqlRow{{"totalRows", "1"}}}));
}

TEST_F(SQLiteDatabaseTest, NullColumnsAreAbsentAndNoMatchAddsNothing) {
  temporary.Run("INSERT INTO Data (ModbusOffset) VALUES (7);");
  ASSERT_EQ(database.Open(kReadOnly), SQLITE_OK);
  SqlRows rows;
  ASSERT_EQ(database.Query("SELECT Name, Code FROM Data", rows), SQLITE_OK);
  EXPECT_EQ(rows, (SqlRows{SqlRow{}})) << "an all-NULL row is still a row";
  rows.clear();
  EXPECT_EQ(database.Query("SELECT * FROM Data WHERE ModbusOffset = 8", rows), SQLITE_OK);
  EXPECT_TRUE(rows.empty());
}

TEST_F(SQLiteDatabaseTest, BoundValuesAreStoredExactlyAndLoggedExpanded) {
  ASSERT_EQ(database.Open(kReadWrite), SQLITE_OK);
  const std::string name = "O'Brien'); DROP TABLE Data; --";
  ASSERT_EQ(database.Exec("INSERT INTO Data (ModbusOffset, Name) VALUES (?, ?)",
                          {SqlParam::Integer(5), SqlParam::Text(name)}),
            SQLITE_OK);
  SqlRows rows;
  std::string expanded;
  ASSERT_EQ(database.Query("SELECT Name FROM Data WHERE Name = ?", {SqlParam::Text(name)}, rows, &expanded), SQLITE_OK);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["Name"], name);
  EXPECT_EQ(expanded, "SELECT Name FROM Data WHERE Name = 'O''Brien''); DROP TABLE Data; --'");
  EXPECT_TRUE(log.Contains("FYI: SQL Query=[" + expanded + "]\n"));
}

TEST_F(SQLiteDatabaseTest, ScanHandsOverTheRowsItVisitsAndNothingElseCanVisit) {
  temporary.AddRow(3, "temp", "10001", 215, 1000);
  temporary.Run("INSERT INTO Data (ModbusOffset, Value) VALUES (4, '21.5'), (9, 1);");
  temporary.Run("CREATE VIEW Visiting AS SELECT visit_row(ModbusOffset) FROM Data;");
  ASSERT_EQ(database.Open(kReadOnly), SQLITE_OK);
  std::vector<std::string> seen;
  const SqlValuesVisitor note = [&seen](const SqlValuesView& row) {
    const auto text = [&row](int index) {
      size_t length = 0;
      const char* bytes = row.Bytes(index, &length);
      return bytes != nullptr ? "'" + std::string(bytes, length) + "'" : std::string("NULL");
    };
    const std::string value = row.IsInteger(2) ? std::to_string(row.Integer(2)) : text(2);
    seen.push_back(std::to_string(row.Integer(0)) + " " + text(1) + " " + value + " " + text(3));
  };
  EXPECT_EQ(database.Scan("SELECT NULL FROM Data WHERE ModbusOffset BETWEEN ? AND ? AND visit_row(ModbusOffset, "
                          "Code, Value)",
                          {SqlParam::Integer(3), SqlParam::Integer(8)}, note),
            SQLITE_OK);
  EXPECT_EQ(seen, (std::vector<std::string>{"3 '10001' 215 NULL", "4 NULL '21.5' NULL"}));
  // Outside Scan, and from a view stored in the file, visit_row is an error.
  SqlRows rows;
  EXPECT_EQ(database.Query("SELECT visit_row(1)", rows), SQLITE_ERROR);
  EXPECT_EQ(database.Scan("SELECT NULL FROM Visiting", {}, note), SQLITE_ERROR);
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(SQLiteDatabaseTest, ExecFailureLineHasNoLineEnd) {
  ASSERT_EQ(database.Open(kReadWrite), SQLITE_OK);
  EXPECT_EQ(database.Exec("INSERT INTO Nowhere VALUES (1);"), SQLITE_ERROR);
  EXPECT_EQ(log.Text(),
            "SQL Error: ErrorMessage=[no such table: Nowhere], SQL Query=[INSERT INTO Nowhere VALUES (1);]");
}

TEST_F(SQLiteDatabaseTest, QueryOfBadSqlReturnsTheErrorCode) {
  ASSERT_EQ(database.Open(kReadOnly), SQLITE_OK);
  SqlRows rows;
  EXPECT_EQ(database.Query("SELECT * FROM Nowhere", rows), SQLITE_ERROR);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(database.ErrorMessage(), "no such table: Nowhere");
}

}  // namespace
}  // namespace veld_test
