// DataTableTest.cpp - the Data table operations: the next-offset rule, save
// as update or insert, insert defaults, update by offset, hostile names, and
// many threads writing at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "DataTable.h"
#include "DatabaseFile.h"
#include "InfoRows.h"
#include "TestDatabase.h"

namespace veld_test {
namespace {

class DataTableTest : public ::testing::Test {
 protected:
  TemporaryDatabase temporary;
  CapturedLog log;
  FixedClock clock{1'700'000'000};

  CSQLiteDatabase& Database() { return temporary.Database(); }
  SqlRow Row(int offset) {
    const SqlRows rows = temporary.Rows("SELECT * FROM Data WHERE ModbusOffset = " + std::to_string(offset));
    return rows.empty() ? SqlRow{} : rows.front();
  }
};

TEST_F(DataTableTest, NextOffsetIsOneAboveTheHighestInUse) {
  uint16_t next = 99;
  ASSERT_TRUE(GetNextModbusOffset(Database(), &next));
  EXPECT_EQ(next, 0) << "empty table";
  for (int offset = 0; offset < 10; ++offset) {
    temporary.AddRow(offset, "r", "0", 0, 0);
  }
  temporary.Run("DELETE FROM Data WHERE ModbusOffset = 4;");
  ASSERT_TRUE(GetNextModbusOffset(Database(), &next));
  EXPECT_EQ(next, 10) << "gaps below the highest are not reused";
  EXPECT_FALSE(GetNextModbusOffset(Database(), nullptr));
}

TEST_F(DataTableTest, NextOffsetWrapsAfter65535) {
  temporary.AddRow(65535, "last", "0", 0, 0);
  uint16_t next = 99;
  ASSERT_TRUE(GetNextModbusOffset(Database(), &next));
  EXPECT_EQ(next, 0);

  temporary.AddRow(0, "first", "0", 0, 0);
  log.Clear();
  EXPECT_FALSE(InsertValue(Database(), "1", "x", 1, nullptr));
  EXPECT_TRUE(log.Contains("Error: Can not insert new values into the database. SQL=[INSERT INTO Data"));
  EXPECT_EQ(temporary.Rows("SELECT * FROM Data").size(), 2u);
}

TEST_F(DataTableTest, InsertUsesTheNextOffsetAndDefaults) {
  temporary.AddRow(41, "r", "0", 0, 0);
  uint32_t offset = 0;
  ASSERT_TRUE(InsertValue(Database(), nullptr, nullptr, 65531, &offset));
  EXPECT_EQ(offset, 42u);
  EXPECT_EQ(Row(42), (SqlRow{{"Code", "0"},
                             {"LastUpdated", "1700000000"},
                             {"ModbusOffset", "42"},
                             {"Name", "no name"},
                             {"Value", "65531"}}));
}

TEST_F(DataTableTest, SaveUpdatesAnExistingPairInPlace) {
  temporary.AddRow(30, "temp", "10001", 100, 5);
  temporary.AddRow(31, "temp", "90210", 200, 5);
  ASSERT_TRUE(SaveValue(Database(), "10001", "temp", 215));
  EXPECT_EQ(Row(30), (SqlRow{{"Code", "10001"},
                             {"LastUpdated", "1700000000"},
                             {"ModbusOffset", "30"},
                             {"Name", "temp"},
                             {"Value", "215"}}));
  EXPECT_EQ(Row(31)["Value"], "200") << "the other code's row is untouched";
  EXPECT_EQ(temporary.Rows("SELECT * FROM Data").size(), 2u);
}

TEST_F(DataTableTest, SaveInsertsANewPairAtTheNextOffset) {
  temporary.AddRow(30, "temp", "10001", 100, 5);
  ASSERT_TRUE(SaveValue(Database(), "10001", "Temp", 7));
  EXPECT_EQ(Row(31)["Name"], "Temp") << "names differing in case are different rows";
  EXPECT_EQ(Row(31)["LastUpdated"], "1700000000");
  EXPECT_EQ(Row(30)["Value"], "100");
}

TEST_F(DataTableTest, NamesAndCodesWithQuotesAreStoredExactly) {
  const std::string name = "O'Brien";
  const std::string code = "1' OR '1'='1";
  temporary.AddRow(20, "victim", "1", 1, 0);
  ASSERT_TRUE(SaveValue(Database(), code, name, 5));
  ASSERT_TRUE(SaveValue(Database(), code, name, 6));
  const SqlRows rows = temporary.Rows("SELECT * FROM Data ORDER BY ModbusOffset");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].at("Value"), "1") << "nothing a name holds may reach other rows";
  EXPECT_EQ(rows[1].at("Name"), name);
  EXPECT_EQ(rows[1].at("Code"), code);
  EXPECT_EQ(rows[1].at("Value"), "6");
  EXPECT_FALSE(log.Contains("Error"));
}

TEST_F(DataTableTest, UpdateByOffsetSetsValueAndOptionallyName) {
  temporary.AddRow(25, "wind.deg", "10001", 90, 5);
  ASSERT_EQ(Database().Open(SQLITE_OPEN_READWRITE), SQLITE_OK);
  ASSERT_TRUE(UpdateValueByOffset(Database(), 25, 180, nullptr));
  EXPECT_EQ(Row(25), (SqlRow{{"Code", "10001"},
                             {"LastUpdated", "1700000000"},
                             {"ModbusOffset", "25"},
                             {"Name", "wind.deg"},
                             {"Value", "180"}}));
  ASSERT_TRUE(UpdateValueByOffset(Database(), 25, 0xFFFF, "renamed"));
  EXPECT_EQ(Row(25)["Name"], "renamed");
  EXPECT_EQ(Row(25)["Value"], "65535");
}

TEST_F(DataTableTest, UpdateByOffsetOfAMissingRowChangesNothing) {
  ASSERT_EQ(Database().Open(SQLITE_OPEN_READWRITE), SQLITE_OK);
  EXPECT_FALSE(UpdateValueByOffset(Database(), 500, 1, nullptr));
  EXPECT_TRUE(
      log.Contains("Error: Can not update row. Not found by ModbusOffset=[500], SQL=[SELECT * FROM Data WHERE "
                   "ModbusOffset = 500 LIMIT 1] SQL Error=[not an error]\n"));
  EXPECT_TRUE(temporary.Rows("SELECT * FROM Data").empty());
}

TEST_F(DataTableTest, UpdateByOffsetOnAReadOnlyConnectionFails) {
  temporary.AddRow(25, "x", "1", 1, 5);
  ASSERT_EQ(Database().Open(SQLITE_OPEN_READONLY), SQLITE_OK);
  EXPECT_FALSE(UpdateValueByOffset(Database(), 25, 2, nullptr));
  EXPECT_TRUE(log.Contains("Error: Can not update the database. SQL=[UPDATE Data SET Value = 2"));
  EXPECT_TRUE(log.Contains("SQL Error=[attempt to write a readonly database]"));
  EXPECT_EQ(Row(25)["Value"], "1");
}

TEST_F(DataTableTest, InfoRowsFillOffsets0To19) {
  SeedInfoRows(Database());
  const SqlRows rows = temporary.Rows("SELECT * FROM Data ORDER BY ModbusOffset");
  ASSERT_EQ(rows.size(), 20u);
  const char* const names[] = {"app.version.major", "app.version.minor", "app.version.patch", "app.message.recv.count",
                               "app.message.sent.count"};
  for (int offset = 0; offset < 20; ++offset) {
    const SqlRow& row = rows[static_cast<size_t>(offset)];
    EXPECT_EQ(row.at("ModbusOffset"), std::to_string(offset));
    EXPECT_EQ(row.at("Code"), "0");
    EXPECT_EQ(row.at("Name"), offset < 5 ? std::string(names[offset]) : "app.spare." + std::to_string(offset - 5));
    EXPECT_EQ(row.at("Value"), offset == 2 ? "5" : "0");
  }
}

// Four writer threads and a reader, sharing the one handle or each on a
// connection of its own to the file in WAL mode (as the server's threads
// are), for a bounded time: every insert must get an offset of its own,
// every save of an existing pair must update it in place, and nothing may
// fail for a locked database.
void WriteConcurrently(TemporaryDatabase& temporary, CapturedLog& log, bool connectionEach) {
  if (connectionEach) {
    PrepareDatabaseFile(temporary.Database());
  }
  std::vector<std::unique_ptr<CSQLiteDatabase>> own;
  const auto connection = [&](int thread) -> CSQLiteDatabase& {
    return connectionEach ? *own[static_cast<size_t>(thread)] : temporary.Database();
  };
  constexpr int kWriters = 4;
  for (int thread = 0; thread <= kWriters; ++thread) {
    own.push_back(std::make_unique<CSQLiteDatabase>());
    own.back()->SetFileName(temporary.Path());
    own.back()->SetBusyTimeout(kWriteLockWaitMs);
  }
  constexpr auto kDuration = std::chrono::milliseconds(1500);
  std::atomic<bool> failed{false};
  std::vector<std::vector<uint32_t>> inserted(kWriters);
  std::vector<std::thread> threads;
  const auto deadline = std::chrono::steady_clock::now() + kDuration;
  for (int writer = 0; writer < kWriters; ++writer) {
    threads.emplace_back([&, writer] {
      const std::string code = "code" + std::to_string(writer);
      for (int round = 0; std::chrono::steady_clock::now() < deadline && round < 400; ++round) {
        uint32_t offset = 0;
        const uint16_t two = 2;
        if (!InsertValue(connection(writer), code.c_str(), ("n" + std::to_string(round)).c_str(), 1, &offset) ||
            !SaveValue(connection(writer), code, "shared", static_cast<uint16_t>(round)) ||
            WriteRegisters(connection(writer), static_cast<uint16_t>(offset), &two, 1) != RegisterWrite::kWritten) {
          failed = true;
          return;
        }
        inserted[writer].push_back(offset);
      }
    });
  }
  threads.emplace_back([&] {
    while (std::chrono::steady_clock::now() < deadline) {
      uint16_t next = 0;
      if (!GetNextModbusOffset(connection(kWriters), &next)) {
        failed = true;
        return;
      }
    }
  });
  for (std::thread& thread : threads) {
    thread.join();
  }
  own.clear();
  ASSERT_FALSE(failed);
  EXPECT_FALSE(log.Contains("locked"));
  EXPECT_FALSE(log.Contains("Error"));

  std::set<uint32_t> offsets;
  size_t insertCount = 0;
  for (const auto& list : inserted) {
    insertCount += list.size();
    offsets.insert(list.begin(), list.end());
  }
  EXPECT_GT(insertCount, 0u);
  EXPECT_EQ(offsets.size(), insertCount) << "two inserts got the same offset";
  EXPECT_EQ(temporary.Rows("SELECT * FROM Data WHERE Name = 'shared'").size(), static_cast<size_t>(kWriters));
  EXPECT_EQ(temporary.Rows("SELECT * FROM Data").size(), insertCount + kWriters);
  EXPECT_TRUE(temporary.Rows("SELECT * FROM Data WHERE Name LIKE 'n%' AND Value != 2").empty()) << "an update was lost";
}

TEST_F(DataTableTest, ConcurrentWritersNeitherLoseNorShareRows) { WriteConcurrently(temporary, log, false); }

TEST_F(DataTableTest, ConcurrentWritersOnConnectionsOfTheirOwnNeitherLoseNorShareRows) {
  WriteConcurrently(temporary, log, true);
}

}  // namespace
}  // namespace veld_test
