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
// 3 and 4 and of the read of 23, which the stack checks before it calls).
constexpr uint16_t kMaxReadRegisters = 125;

bool Refuse(uint8_t* exceptionCode, uint8_t code) {
  *exceptionCode = code;
  return false;
}

// The exception for a register read or write that the database could not
// serve: busy while another connection held the file past the wait, else a
// device failure.
uint8_t DatabaseRefusal(const CSQLiteDatabase& database) {
  return database.LastFailureWasBusy() ? MODBUSSTACK_EXCEPTION_SERVER_DEVICE_BUSY
                                       : MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE;
}

// "FYI: Get Modbus Value. function=[F], startingAddress=[S], length=[L]": the
// one line every read writes, put together without printf's parsing of its
// format, which costs a register read as much as its row.
void LogGetValue(uint8_t function, uint16_t startingAddress, uint16_t length) {
  if (!ConsoleLogEnabled(LogLevel::kInfo)) {
    return;
  }
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
  ConsoleWrite(LogLevel::kInfo, line.data(), line.size());
}

// Reads length registers from start with one statement over the range;
// addresses past 65535 name no register and read as unreadable.
bool ReadRegisterRange(CSQLiteDatabase& database, uint16_t start, uint16_t length, uint16_t* values,
                       LookupRequest& request, uint8_t* exceptionCode) {
  const auto inRange = static_cast<uint16_t>(std::min<uint32_t>(length, kLastRegister + 1u - start));
  bool found[kMaxReadRegisters];
  if (length > kMaxReadRegisters) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
  }
  if (!GetValuesByRange(database, start, inRange, values, found, request)) {
    return Refuse(exceptionCode, DatabaseRefusal(database));
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

RegisterBridge::RegisterBridge(CSQLiteDatabase& database, RefreshSchedule* schedule, bool readRanges)
    : m_database(database), m_schedule(schedule), m_readRanges(readRanges) {
  g_installed = this;
}

RegisterBridge::~RegisterBridge() {
  if (g_installed == this) {
    g_installed = nullptr;
  }
}

void RegisterBridge::EndHeldRead() { m_database.EndHeldRead(); }

bool GetModbusValue(uint8_t /*slaveId*/, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                    uint16_t /*dataSize*/, uint8_t* exceptionCode) {
  LogGetValue(function, startingAddress, length);
  // 23 (read/write) reads here after its write; both tables are one.
  if (function != MODBUSSTACK_FC_READ_HOLDING_REGISTERS && function != MODBUSSTACK_FC_READ_INPUT_REGISTERS &&
      function != MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS) {
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
  request.schedule = g_installed->Schedule();
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
      return Refuse(exceptionCode, DatabaseRefusal(database));
    }
    values[i] = value;
  }
  request.NoteReads(CurrentUnixTime());
  return true;
}

bool SetModbusValue(uint8_t /*slaveId*/, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                    uint16_t dataSize, uint8_t* exceptionCode) {
  LogInfo("FYI: Set Modbus Value. function=[%d], startingAddress=[%d], length=[%d], dataSize=[%d]\n", function,
          startingAddress, length, dataSize);
  if (startingAddress < kFirstWritableRegister) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  }
  if (g_installed == nullptr) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
  }
  CSQLiteDatabase& database = g_installed->Database();
  if (database.Open(SQLITE_OPEN_READWRITE) != SQLITE_OK) {
    LogError("Error: Could not open the database for write. Can not respond\n");
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
  }
  // 23 (read/write) writes here before its read.
  if (function != MODBUSSTACK_FC_WRITE_SINGLE_REGISTER && function != MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS &&
      function != MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION);
  }
  const uint16_t count = function == MODBUSSTACK_FC_WRITE_SINGLE_REGISTER ? 1 : length;
  if (count == 0) {
    return true;
  }
  // A write that names a register without a row writes nothing at all.
  if (startingAddress + count - 1u > kLastRegister) {
    return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  }
  switch (WriteRegisters(database, startingAddress, values, count)) {
    case RegisterWrite::kWritten:
      return true;
    case RegisterWrite::kNoRow:
      return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
    case RegisterWrite::kBusy:
      LogWarning("Error: The database is busy with another writer. Can not respond\n");
      return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_BUSY);
    case RegisterWrite::kFailed:
    case RegisterWrite::kDuplicate:
      break;
  }
  return Refuse(exceptionCode, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
}
