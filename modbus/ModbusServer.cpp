// ModbusServer.cpp - one server pass: receive, recognise one request, check
// whom it is for, dispatch it by function code and send the answer to the
// connection the request came from.
#include "ModbusFrameBuilders.h"
#include "ModbusFraming.h"
#include "ModbusHandlers.h"
#include "ModbusProtocol.h"
#include "ModbusRtuFrameSearch.h"
#include "ModbusStack.h"
#include "ModbusState.h"

namespace modbus_stack {
namespace {

// Position of the function code relative to the unit identifier.
constexpr uint16_t kFunctionAfterUnit = 1;
// Unit identifiers a Modbus TCP server answers: 0, and 255 for "no
// sub-device" (Modbus Messaging on TCP/IP Implementation Guide, 4.4.1.2).
constexpr uint8_t kTcpUnitBroadcast = 0;
constexpr uint8_t kTcpUnitNotUsed = 255;

uint16_t Dispatch(const Request& request, uint8_t* frame) {
  switch (request.function) {
    case kReadCoils:
    case kReadDiscreteInputs:
    case kReadHoldingRegisters:
    case kReadInputRegisters:
      return HandleReadRequest(request, frame);
    case kWriteSingleCoil:
    case kWriteSingleRegister:
      return HandleSingleWriteRequest(request, frame);
    case kWriteMultipleCoils:
    case kWriteMultipleRegisters:
      return HandleMultipleWriteRequest(request, frame);
    case kReadWriteMultipleRegisters:
      return HandleReadWriteRequest(request, frame);
    case kEncapsulatedInterface:
      return HandleDeviceIdentificationRequest(request, frame);
    default:
      return BuildExceptionResponse(g_stack.protocol, g_stack.slaveId, request.function, kIllegalFunction, frame);
  }
}

}  // namespace
}  // namespace modbus_stack

using namespace modbus_stack;

extern "C" VELD_MODBUS_API uint32_t ModbusStack_Loop(void) {
  if (g_stack.receive == nullptr || g_stack.send == nullptr) {
    return MODBUSSTACK_LOOP_NO_TRANSPORT;
  }
  uint32_t connectionId = 0;
  ReceiveIntoBuffer(&connectionId);
  if (g_stack.receiveLength == 0) {
    return MODBUSSTACK_LOOP_OK;
  }

  // The request occupies the first requestLength bytes; its unit identifier
  // stands at unitPosition and its data end at dataEnd.
  uint16_t requestLength = 0;
  uint16_t unitPosition = 0;
  uint16_t dataEnd = 0;
  if (g_stack.protocol == kProtocolRtu) {
    requestLength = FindRequestFrame();
    if (requestLength == 0) {
      return MODBUSSTACK_LOOP_OK;
    }
    unitPosition = kRtuAddress;
    dataEnd = static_cast<uint16_t>(requestLength - kRtuCrcSize);
  } else {
    unitPosition = ParseMbapHeader(g_stack.receiveBuffer, g_stack.receiveLength);
    if (unitPosition == 0) {
      return MODBUSSTACK_LOOP_FAILED;
    }
    requestLength = g_stack.receiveLength;
    dataEnd = requestLength;
    if (requestLength < unitPosition + kFunctionAfterUnit + 1) {
      ConsumeBytes(requestLength);  // no unit identifier or function code
      return MODBUSSTACK_LOOP_OK;
    }
    const uint8_t unit = g_stack.receiveBuffer[unitPosition];
    if (unit != kTcpUnitBroadcast && unit != kTcpUnitNotUsed) {
      ConsumeBytes(requestLength);
      return MODBUSSTACK_LOOP_OK;
    }
  }

  const uint16_t dataPosition = static_cast<uint16_t>(unitPosition + kFunctionAfterUnit + 1);
  const Request request{g_stack.receiveBuffer[unitPosition], g_stack.receiveBuffer[unitPosition + kFunctionAfterUnit],
                        g_stack.receiveBuffer + dataPosition, static_cast<uint16_t>(dataEnd - dataPosition)};
  uint8_t frame[kMaxFrameSize];
  const uint16_t frameLength = Dispatch(request, frame);
  ConsumeBytes(requestLength);
  if (frameLength == 0) {
    return MODBUSSTACK_LOOP_OK;
  }
  return g_stack.send(static_cast<uint16_t>(connectionId), frame, frameLength) ? MODBUSSTACK_LOOP_OK
                                                                               : MODBUSSTACK_LOOP_FAILED;
}
