// RegisterBridge.cpp - answering Modbus register reads and carrying out
// register writes against the Data table of the process database.
#include "RegisterBridge.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "Clock.h"
#include "ConsoleLog.h"
#include "DataTable.h"
#include "RegisterLookup.h"

namespace {

// The bridge the callbacks work on; set and cleared by RegisterBridge.
RegisterBridge* g_installed = nullptr;

constexpr uint32_t kLastRegister = 0xFFFF;
// The most registers one read asks for (the quantity limit of function codes
// 3 and 4, which the stack checks before it calls).
constexpr uint16_t kMaxReadRegisters = 125;

bool Refuse(uint8_t* exceptionCode, uint8_t code) {
  *exceptionCode = code;
  return false;
}

// How many of the registers first to last (inclusive) have a row; -1 when
// the count cannot be made.
int64_t CountRows(CSQLiteDatabase& database, uint32_t first, uint32_t last) {
  SqlRows rows;
  if (database.Query("SELECT count(*) AS rowCount FROM Data WHERE ModbusOffset BETWEEN ? AND ?",
                     {SqlParam::Integer(first), SqlParam::Integer(last)}, rows) != SQLITE_OK ||
      rows.empty()) {
    return -1;
  }
  return ParseLeadingInteger(rows.front()["rowCount"]);
}

// Writes the values as one transaction: every row or none.
bool WriteRows(CSQLiteDatabase& database, uint16_t first, uint16_t count, const uint16_t* values) {
  if (database.Exec("BEGIN IMMEDIATE;") != SQLITE_OK) {
    return false;
  }
  for (uint16_t i = 0; i < count; ++i) {
    if (!UpdateValueByOffset(database, static_cast<uint16_t>(first + i), values[i], nullptr)) {
      database.Exec("ROLLBACK;");
      return false;
    }
  }
  if (database.Exec("COMMIT;") != SQLITE_OK) {
    database.Exec("ROLLBACK;");
    return false;
  }
  return true;
}

// "FYI: Get Modbus Value. function=[F], startingAddress=[S], length=[L]": the
// one line every read writes, put together without printf's parsing of its
// format, which costs a register read as much as its row.
void LogGetValue(uint8_t function, uint16_t startingAddress, uint16_t length) {
  // Kept from read to read (the service loop's thread), so no read allocates.
  thread_local std::string line;
  const auto append = [](unsigned value) {
    char digits[8];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    line.append(digits, written.ptr);
  };
  line.assign("FYI: Get Modbus Value. function=[");
  append(function);
  line += "], startingAddress=[";
  append(startingAddress);
  line += "], length=[";
  append(length);
  line += "]\n";
  ConsoleWrite(line.data(), line.size());
}

// Reads length registers from start with one statement over the range;
// addresses past 65535 name no register and read as unreadable.
bool ReadRegisterRange(CSQLiteDatabase& database, uint16_t start, uint16_t length, uint16_t* values,
                       LookupRequest& request, uint8_t* exceptionCode) {
  const auto inRange = static_cast<uint16_t>(std::min<uint32_t>(length, kLastRegister + 1u - start));
  bool found[kMaxReadRegisters];
  if (length > kMaxReadRegisters || !GetValuesByRange(database, start, inRange, values, found, request)) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
  }
  for (uint16_t i = 0; i < length; ++i) {
    if (i >= inRange || !found[i]) {
      values[i] = kUnreadableRegisterValue;
    }
  }
  request.NoteReads(CurrentUnixTime());
  return true;
}

}  // namespace

RegisterBridge::RegisterBridge(CSQLiteDatabase& database, RefreshBook* book, bool readRanges)
    : m_database(database), m_book(book), m_readRanges(readRanges) {
  g_installed = this;
}

RegisterBridge::~RegisterBridge() {
  if (g_installed == this) {
    g_installed = nullptr;
  }
}

void RegisterBridge::OnQuiet() { m_database.EndHeldRead(); }

bool GetModbusValue(uint8_t /*slaveId*/, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                    uint16_t /*dataSize*/, uint8_t* exceptionCode) {
  LogGetValue(function, startingAddress, length);
  if (function != MODBUSSTACK_FC_READ_HOLDING_REGISTERS && function != MODBUSSTACK_FC_READ_INPUT_REGISTERS) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION);
  }
  if (g_installed == nullptr) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
  }
  CSQLiteDatabase& database = g_installed->Database();
  // The registers of one read share one read transaction, which the next
  // read may carry on with (see ReadSession).
  ReadSession session(database);
  LookupRequest request;
  request.session = &session;
  request.book = g_installed->Book();
  if (g_installed->ReadsRanges()) {
    return ReadRegisterRange(database, startingAddress, length, values, request, exceptionCode);
  }
  for (uint32_t i = 0; i < length; ++i) {
    const uint32_t address = startingAddress + i;
    uint16_t value = kUnreadableRegisterValue;
    // Addresses past 65535 name no register; they must not wrap to register 0.
    if (address > kLastRegister ||
        !GetValueByOffset(database, static_cast<uint16_t>(address), &value, true, &request)) {
      value = kUnreadableRegisterValue;
    }
    if (request.databaseFault) {
      // A register that cannot be read is a failure, not a value.
      return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
    }
    values[i] = value;
  }
  request.NoteReads(CurrentUnixTime());
  return true;
}

bool SetModbusValue(uint8_t /*slaveId*/, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                    uint16_t dataSize, uint8_t* exceptionCode) {
  ConsoleLog("FYI: Set Modbus Value. function=[%d], startingAddress=[%d], length=[%d], dataSize=[%d]\n", function,
             startingAddress, length, dataSize);
  if (startingAddress < kFirstWritableRegister) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  }
  if (g_installed == nullptr) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
  }
  CSQLiteDatabase& database = g_installed->Database();
  const auto lock = database.Lock();
  if (database.Open(SQLITE_OPEN_READWRITE) != SQLITE_OK) {
    ConsoleLog("Error: Could not open the database for write. Can not respond\n");
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
  }
  if (function != MODBUSSTACK_FC_WRITE_SINGLE_REGISTER && function != MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION);
  }
  const uint16_t count = function == MODBUSSTACK_FC_WRITE_SINGLE_REGISTER ? 1 : length;
  if (count == 0) {
    return true;
  }
  // A write that names a register without a row writes nothing at all.
  const uint32_t last = startingAddress + count - 1u;
  if (last > kLastRegister) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  }
  const int64_t rowsFound = CountRows(database, startingAddress, last);
  if (rowsFound < 0) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
  }
  if (rowsFound != count) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  }
  if (!WriteRows(database, startingAddress, count, values)) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
  }
  return true;
}
