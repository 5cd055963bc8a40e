// TransportCallbacks.cpp - the stack's transport callbacks over TheTransport.
#include "TransportCallbacks.h"

#include <ctime>

#include "RtuSerialLine.h"
#include "TcpTransport.h"

namespace {

RtuSerialLine* g_serialLine = nullptr;

}  // namespace

void SetTransportSerialLine(RtuSerialLine* line) { g_serialLine = line; }

bool SendMessageCallback(uint16_t connectionId, const uint8_t* frame, uint16_t length) {
  if (g_serialLine != nullptr && connectionId == RtuSerialLine::kConnectionId) {
    return g_serialLine->SendMessage(frame, length);
  }
  return TheTransport().SendMessage(connectionId, frame, length);
}

uint16_t GetMessageCallback(uint32_t* connectionId, uint8_t* buffer, uint16_t room) {
  if (g_serialLine != nullptr && g_serialLine->HasFrame()) {
    *connectionId = RtuSerialLine::kConnectionId;
    return g_serialLine->GetMessage(buffer, room);
  }
  return TheTransport().GetMessage(connectionId, buffer, room);
}

uint32_t CurrentTimeCallback() {
  const std::time_t now = std::time(nullptr);
  return static_cast<uint32_t>(now == static_cast<std::time_t>(-1) ? -1 : now);
}
