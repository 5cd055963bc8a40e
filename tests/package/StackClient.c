/*
 * StackClient.c - a C program built against an installed libveldmodbus (with
 * pkg-config or the CMake package). It runs the stack's client role over an
 * in-memory transport and checks the request bytes it sends and the values
 * it decodes from canned replies. Exits 0 when everything holds, 1 otherwise.
 */
#include <ModbusStack.h>
#include <stdio.h>
#include <string.h>

static uint8_t g_sent[260];
static uint16_t g_sentLength;
static const uint8_t* g_reply;
static uint16_t g_replyLength;
static uint32_t g_clock;
static int g_failures;

static bool Send(uint16_t connectionId, const uint8_t* frame, uint16_t length) {
  (void)connectionId;
  memcpy(g_sent, frame, length);
  g_sentLength = length;
  return true;
}

/* Hands over the canned reply once, then nothing. */
static uint16_t Recv(uint32_t* connectionId, uint8_t* buffer, uint16_t room) {
  uint16_t length = g_replyLength <= room ? g_replyLength : 0;
  *connectionId = 7;
  if (g_reply != NULL && length > 0) memcpy(buffer, g_reply, length);
  g_reply = NULL;
  g_replyLength = 0;
  return length;
}

static uint32_t Now(void) { return g_clock++; }

static void Check(int condition, const char* what) {
  printf("%s: %s\n", condition ? "ok" : "FAILED", what);
  if (!condition) g_failures++;
}

static int SentEquals(const uint8_t* expected, uint16_t length) {
  return g_sentLength == length && memcmp(g_sent, expected, length) == 0;
}

static uint32_t Read(uint8_t unit, uint16_t start, uint16_t quantity, uint16_t* values, uint8_t* exception,
                     const uint8_t* reply, uint16_t replyLength) {
  g_reply = reply;
  g_replyLength = replyLength;
  return ModbusStack_ReadRegisters(7, unit, MODBUSSTACK_FC_READ_HOLDING_REGISTERS, start, quantity, (uint8_t*)values,
                                   (uint16_t)(quantity * 2), exception);
}

int main(void) {
  uint16_t values[3] = {0, 0, 0};
  uint8_t exception = 0;

  Check(ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, Send, Recv, Now) == MODBUSSTACK_INIT_READY, "TCP init");
  /* Holding registers 20 to 22 of unit 255: 215, 300 and 0xFFFE. */
  static const uint8_t request[] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0xFF, 0x03, 0x00, 0x14, 0x00, 0x03};
  static const uint8_t reply[] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0xFF, 0x03,
                                  0x06, 0x00, 0xD7, 0x01, 0x2C, 0xFF, 0xFE};
  Check(Read(255, 20, 3, values, &exception, reply, sizeof reply) == MODBUSSTACK_CLIENT_ACCEPTED, "read accepted");
  Check(SentEquals(request, sizeof request), "FC3 request bytes (MBAP, unit 255, address 20, quantity 3)");
  Check(values[0] == 215 && values[1] == 300 && values[2] == 0xFFFE, "register values 215, 300, 65534 decoded");

  /* An exception reply is reported with its code. */
  static const uint8_t refused[] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0xFF, 0x83, 0x02};
  static const uint8_t secondRequest[] = {0x00, 0x00, 0x00, 0x06, 0xFF, 0x03, 0x23, 0x28, 0x00, 0x01};
  Check(Read(255, 9000, 1, values, &exception, refused, sizeof refused) == MODBUSSTACK_CLIENT_EXCEPTION,
        "exception reply reported");
  Check(exception == MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS, "exception code 2 stored");
  /* After its transaction identifier, which the client does not check. */
  Check(g_sentLength == 12 && memcmp(g_sent + 2, secondRequest, sizeof secondRequest) == 0,
        "second request bytes (address 9000, quantity 1)");

  /* Modbus RTU: the request ends in its CRC; no reply times out. */
  Check(ModbusStack_Init(MODBUSSTACK_PROTOCOL_RTU, Send, Recv, Now) == MODBUSSTACK_INIT_READY, "RTU init");
  static const uint8_t rtuRequest[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x02, 0xC4, 0x0B};
  Check(Read(1, 0, 2, values, &exception, NULL, 0) == MODBUSSTACK_CLIENT_TIMED_OUT, "no reply times out");
  Check(SentEquals(rtuRequest, sizeof rtuRequest), "RTU FC3 request bytes with CRC C4 0B");
  return g_failures == 0 ? 0 : 1;
}
