// ModbusDeviceIdentification.cpp - answering Read Device Identification
// (function 43, MEI type 14): stream access that goes on where the last
// response stopped, and individual access to one object.
#include <cstring>

#include "ModbusDeviceObjects.h"
#include "ModbusFrameBuilders.h"
#include "ModbusFraming.h"
#include "ModbusHandlers.h"
#include "ModbusProtocol.h"
#include "ModbusState.h"

namespace modbus_stack {
namespace {

// Builds a response in frame: header first, objects appended one by one
// while they fit in one PDU.
class DeviceIdResponse {
 public:
  DeviceIdResponse(uint8_t code, uint8_t* frame) : m_frame(frame) {
    uint16_t position = FrameStart(g_stack.protocol);
    m_frame[position++] = g_stack.slaveId;
    m_pduStart = position;
    m_frame[position++] = kEncapsulatedInterface;
    m_header = position;
    m_frame[m_header + kMeiTypeOffset] = kMeiReadDeviceIdentification;
    m_frame[m_header + kReadDeviceIdCodeOffset] = code;
    m_frame[m_header + kDeviceIdConformityOffset] = HasExtendedObjects() ? kConformityExtended : kConformityRegular;
    m_frame[m_header + kDeviceIdMoreFollowsOffset] = 0;
    m_frame[m_header + kDeviceIdNextObjectOffset] = 0;
    m_frame[m_header + kDeviceIdObjectCountOffset] = 0;
    m_end = static_cast<uint16_t>(m_header + kDeviceIdResponseHeaderSize);
  }

  // Appends the object, or, when it does not fit, marks the response as
  // one that more follow, from this object on. Returns false in that case.
  bool Append(const DeviceObject& object) {
    if (m_end - m_pduStart + kDeviceObjectHeaderSize + object.length > kMaxPduSize) {
      m_frame[m_header + kDeviceIdMoreFollowsOffset] = kMoreFollows;
      m_frame[m_header + kDeviceIdNextObjectOffset] = object.id;
      return false;
    }
    m_frame[m_end++] = object.id;
    m_frame[m_end++] = object.length;
    if (object.length != 0) {
      std::memcpy(m_frame + m_end, object.value, object.length);
    }
    m_end = static_cast<uint16_t>(m_end + object.length);
    ++m_frame[m_header + kDeviceIdObjectCountOffset];
    return true;
  }

  uint16_t Finish() { return FinishFrame(g_stack.protocol, m_frame, m_end); }

 private:
  uint8_t* m_frame;
  uint16_t m_pduStart = 0;
  uint16_t m_header = 0;
  uint16_t m_end = 0;
};

// The last object id of a stream access code.
uint8_t LastObjectOfStream(uint8_t code) {
  switch (code) {
    case kDeviceIdBasic:
      return kLastBasicObject;
    case kDeviceIdRegular:
      return kLastRegularObject;
    default:
      return kLastObject;
  }
}

// Objects are stored only under the ids of the three streams (the reserved
// 0x07 to 0x7F are refused when set), so a stream is every stored object up
// to its last id.
uint16_t AnswerStream(uint8_t code, uint8_t objectId, uint8_t* frame) {
  DeviceObject object{};
  const uint8_t last = LastObjectOfStream(code);
  // An object this stream does not report restarts the stream at object 0.
  const uint8_t start = objectId <= last && FindDeviceObject(objectId, &object) ? objectId : 0;
  DeviceIdResponse response(code, frame);
  for (uint32_t id = start; id <= last; ++id) {
    if (FindDeviceObject(static_cast<uint8_t>(id), &object) && !response.Append(object)) {
      break;
    }
  }
  return response.Finish();
}

}  // namespace

uint16_t HandleDeviceIdentificationRequest(const Request& request, uint8_t* frame) {
  if (request.dataLength <= kMeiTypeOffset) {
    return 0;
  }
  if (request.data[kMeiTypeOffset] != kMeiReadDeviceIdentification) {
    return BuildExceptionResponse(g_stack.protocol, g_stack.slaveId, request.function, kIllegalFunction, frame);
  }
  if (request.dataLength < kDeviceIdRequestSize) {
    return 0;
  }
  const uint8_t code = request.data[kReadDeviceIdCodeOffset];
  const uint8_t objectId = request.data[kObjectIdOffset];
  if (code < kDeviceIdBasic || code > kDeviceIdSpecific) {
    return BuildExceptionResponse(g_stack.protocol, g_stack.slaveId, request.function, kIllegalDataValue, frame);
  }
  if (code != kDeviceIdSpecific) {
    return AnswerStream(code, objectId, frame);
  }
  DeviceObject object{};
  if (!FindDeviceObject(objectId, &object)) {
    return BuildExceptionResponse(g_stack.protocol, g_stack.slaveId, request.function, kIllegalDataAddress, frame);
  }
  DeviceIdResponse response(code, frame);
  response.Append(object);  // any one object fits (kMaxDeviceObjectLength)
  return response.Finish();
}

}  // namespace modbus_stack
