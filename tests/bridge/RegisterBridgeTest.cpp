// RegisterBridgeTest.cpp - the Modbus value callbacks over the Data table:
// reads with their filler value and refresh rule, writes with the protected
// info registers, all-or-nothing requests and the exception codes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <vector>

#include "DataTable.h"
#include "RegisterBridge.h"
#include "TestDatabase.h"
#include "WeatherFetch.h"

namespace veld_test {
namespace {

constexpr int64_t kNow = 1'700'000'000;

class RegisterBridgeTest : public ::testing::Test {
 protected:
  TemporaryDatabase temporary;
  CapturedLog log;
  FixedClock clock{kNow};
  RegisterBridge bridge{temporary.Database()};

  void SetUp() override {
    // Nothing listens on port 9 of loopback: a refresh fails at once.
    SetWeatherServiceUrl("http://127.0.0.1:9");
  }
  void TearDown() override { SetWeatherServiceUrl(""); }

  // Reads length registers; returns the words, or nothing when refused.
  std::vector<uint16_t> Read(uint8_t function, uint16_t start, uint16_t length, uint8_t* code = nullptr) {
    std::vector<uint16_t> values(125, 0);
    uint8_t exceptionCode = 0;
    const bool ok = GetModbusValue(0, function, start, length, values.data(), 250, &exceptionCode);
    if (code != nullptr) {
      *code = exceptionCode;
    }
    if (!ok) {
      return {};
    }
    values.resize(length);
    return values;
  }

  // Writes values; returns 0 when carried out, else the exception code.
  uint8_t Write(uint8_t function, uint16_t start, std::vector<uint16_t> values) {
    uint8_t exceptionCode = 0;
    const auto length = static_cast<uint16_t>(values.size());
    const bool ok =
        SetModbusValue(0, function, start, length, values.data(), static_cast<uint16_t>(2 * length), &exceptionCode);
    EXPECT_EQ(ok, exceptionCode == 0);
    return exceptionCode;
  }

  std::string Value(int offset) {
    const SqlRows rows = temporary.Rows("SELECT Value FROM Data WHERE ModbusOffset = " + std::to_string(offset));
    return rows.empty() ? "(no row)" : rows.front().at("Value");
  }

  size_t Count(const std::string& text) {
    const std::string all = log.Text();
    size_t count = 0;
    for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) {
      ++count;
    }
    return count;
  }
};

TEST_F(RegisterBridgeTest, HoldingAndInputRegistersAreTheSameRows) {
  temporary.AddRow(0, "app.version.major", "0", 2, kNow);
  temporary.AddRow(1, "temp", "10001", 215, kNow);
  temporary.AddRow(2, "humidity", "10001", 70000, kNow);
  const std::vector<uint16_t> expected{2, 215, 4464, 0x0BAD};
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 0, 4), expected);
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_INPUT_REGISTERS, 0, 4), expected);
  EXPECT_TRUE(log.Contains("FYI: Get Modbus Value. function=[4], startingAddress=[0], length=[4]\n"));
}

TEST_F(RegisterBridgeTest, OtherReadFunctionsAreIllegal) {
  uint8_t code = 0;
  EXPECT_TRUE(Read(MODBUSSTACK_FC_READ_COILS, 0, 1, &code).empty());
  EXPECT_EQ(code, MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION);
  EXPECT_TRUE(Read(MODBUSSTACK_FC_READ_DISCRETE_INPUTS, 0, 1, &code).empty());
  EXPECT_EQ(code, MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION);
}

TEST_F(RegisterBridgeTest, ReadsDoNotWrapPastTheLastRegister) {
  temporary.AddRow(0, "first", "0", 7, kNow);
  temporary.AddRow(65535, "last", "0", 8, kNow);
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 65534, 3), (std::vector<uint16_t>{0x0BAD, 8, 0x0BAD}));
}

TEST_F(RegisterBridgeTest, AFailedFetchLeavesTheRequestsOtherStaleCodesAsTheyAre) {
  for (int offset = 20; offset < 23; ++offset) {
    temporary.AddRow(offset, "r" + std::to_string(offset), "10001", offset, kNow - 31);
  }
  temporary.AddRow(23, "r23", "90210", 23, kNow - 31);
  temporary.AddRow(24, "r24", "90210", 24, kNow - 30);  // exactly 30 s: fresh
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 20, 5), (std::vector<uint16_t>{20, 21, 22, 23, 24}))
      << "old values when the service is down";
  EXPECT_EQ(Count("FYI: The data is too old, we need to update it."), 1u);
  EXPECT_EQ(Count("Error: CURL Error."), 1u);
  EXPECT_TRUE(log.Contains("ModbusAddress=[20]"));
  EXPECT_FALSE(log.Contains("ModbusAddress=[23]")) << "no second wait after a failed fetch";

  log.Clear();
  Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 23, 1);
  EXPECT_EQ(Count("Error: CURL Error."), 1u) << "without a refresher, a later request tries again";
}

TEST_F(RegisterBridgeTest, HeldReadsLastOnlyUntilSomethingElseNeedsTheDatabase) {
  constexpr const char* kOutsideWrite = "UPDATE Data SET Name = Name WHERE ModbusOffset = 21";
  temporary.AddRow(20, "a", "0", 5, kNow);
  temporary.AddRow(21, "b", "0", 6, kNow);
  CSQLiteDatabase& database = temporary.Database();

  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 20, 2), (std::vector<uint16_t>{5, 6}));
  EXPECT_EQ(temporary.TryRun(kOutsideWrite), SQLITE_OK) << "without holding the read ends with its request";

  database.SetReadHoldingEnabled(true);
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 20, 1), (std::vector<uint16_t>{5}));
  EXPECT_EQ(temporary.TryRun(kOutsideWrite), SQLITE_BUSY) << "the read's transaction is held";
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_INPUT_REGISTERS, 21, 1), (std::vector<uint16_t>{6}))
      << "the next read carries on with it";
  database.EndHeldRead();
  EXPECT_EQ(temporary.TryRun(kOutsideWrite), SQLITE_OK);

  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 21, 1), (std::vector<uint16_t>{6}));
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, 20, {7}), 0)
      << "a write ends the held read before its own transaction";
  EXPECT_EQ(Value(20), "7");
  EXPECT_EQ(temporary.TryRun(kOutsideWrite), SQLITE_OK);

  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 20, 1), (std::vector<uint16_t>{7}));
  uint16_t next = 0;
  EXPECT_TRUE(GetNextModbusOffset(database, &next)) << "other reads run inside it";
  EXPECT_EQ(next, 22);
  EXPECT_EQ(temporary.TryRun(kOutsideWrite), SQLITE_BUSY);
  EXPECT_TRUE(SaveValue(database, "0", "b", 9)) << "any write ends it";
  EXPECT_EQ(Value(21), "9");
  EXPECT_EQ(temporary.TryRun(kOutsideWrite), SQLITE_OK);
  EXPECT_FALSE(log.Contains("SQL Error")) << log.Text();
}

TEST_F(RegisterBridgeTest, InfoRegistersCannotBeWritten) {
  temporary.AddRow(19, "app.spare.14", "0", 0, kNow);
  temporary.AddRow(20, "temp", "10001", 0, kNow);
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, 19, {5}), MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  EXPECT_EQ(Value(19), "0");
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, 20, {5}), 0);
  EXPECT_EQ(Value(20), "5");
  EXPECT_TRUE(log.Contains("FYI: Set Modbus Value. function=[6], startingAddress=[20], length=[1], dataSize=[2]\n"));
}

TEST_F(RegisterBridgeTest, MultipleWriteIsAllOrNothing) {
  for (int offset = 18; offset < 23; ++offset) {
    temporary.AddRow(offset, "r", "1", 0, 0);
  }
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, 18, {1, 2, 3, 4, 5}),
            MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS)
      << "reaches into the info registers";
  EXPECT_EQ(Value(20), "0");

  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, 20, {7, 8, 0xFFFF}), 0);
  EXPECT_EQ(Value(20), "7");
  EXPECT_EQ(Value(21), "8");
  EXPECT_EQ(Value(22), "65535");

  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, 21, {1, 1, 1}), MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS)
      << "register 23 has no row";
  EXPECT_EQ(Value(21), "8");
  EXPECT_EQ(Value(22), "65535");

  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, 20, {}), 0) << "a write of nothing succeeds";
}

TEST_F(RegisterBridgeTest, WritesToRegistersWithoutRowsAreRefused) {
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, 500, {1}), MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  EXPECT_TRUE(temporary.Rows("SELECT * FROM Data").empty());
  temporary.AddRow(65535, "last", "0", 0, 0);
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, 65535, {1, 2}), MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS)
      << "past the last register";
  EXPECT_EQ(Value(65535), "0");
}

TEST_F(RegisterBridgeTest, AFailedUpdateRollsTheRequestBack) {
  temporary.AddRow(20, "a", "1", 0, 0);
  temporary.AddRow(21, "b", "1", 0, 0);
  temporary.Run(
      "CREATE TRIGGER refuse BEFORE UPDATE ON Data WHEN NEW.ModbusOffset = 21 BEGIN SELECT RAISE(ABORT, 'refused'); "
      "END;");
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, 20, {5, 6}), MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
  EXPECT_EQ(Value(20), "0") << "the first register's update was rolled back";
  EXPECT_TRUE(log.Contains("refused"));
}

TEST_F(RegisterBridgeTest, OtherWriteFunctionsAreIllegalAboveTheInfoRegisters) {
  temporary.AddRow(30, "r", "1", 0, 0);
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_COIL, 5, {0xFF00}), MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_COIL, 30, {0xFF00}), MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION);
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_COILS, 30, {1}), MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION);
  EXPECT_EQ(Value(30), "0");
}

TEST_F(RegisterBridgeTest, ALockedDatabaseIsBusyAndAMissingRowIsNot) {
  temporary.AddRow(20, "r", "1", 5, kNow);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(temporary.Path().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  uint8_t code = 0;
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 20, 1, &code), std::vector<uint16_t>{});
  EXPECT_EQ(code, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_BUSY);
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, 20, {7}), MODBUSSTACK_EXCEPTION_SERVER_DEVICE_BUSY);
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 20, 2), (std::vector<uint16_t>{5, 0x0BAD}));
}

TEST_F(RegisterBridgeTest, AnUnopenableDatabaseIsAServerDeviceFailure) {
  temporary.Database().SetFileName(temporary.Path() + ".missing");
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, 20, {1}), MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
  EXPECT_TRUE(log.Contains("Error: Could not open the database for write. Can not respond\n"));
  uint8_t code = 0;
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 20, 2, &code), std::vector<uint16_t>{});
  EXPECT_EQ(code, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE) << "a failure, not 0x0BAD";
  EXPECT_TRUE(log.Contains("Error: Could not open the database for read\n"));
}

}  // namespace
}  // namespace veld_test
