/*
 * ModbusStack.h - the public interface of the VELD Modbus protocol stack.
 *
 * This header is the library's manual. The stack is a transport-neutral
 * Modbus library with one module-level instance: no handles, no heap, no
 * logging, no locks. The host supplies three transport callbacks (send bytes,
 * receive bytes, read a clock) and two value callbacks (read values, write
 * values); the stack frames, checks and answers Modbus requests through them.
 *
 * Roles
 *   Server: ModbusStack_Loop() handles at most one request per call; the
 *           device identification it reports is set with
 *           ModbusStack_SetDeviceIdentification().
 *   Client: ModbusStack_ReadRegisters() / ModbusStack_WriteRegisters() send
 *           one request and wait (polling) for its reply.
 *
 * Framings, chosen once by ModbusStack_Init():
 *   MODBUSSTACK_PROTOCOL_RTU (1): Modbus RTU: address, PDU, CRC-16/MODBUS
 *       (low-order byte first).
 *   MODBUSSTACK_PROTOCOL_TCP (2): Modbus TCP: 7-byte MBAP header
 *       (transaction, protocol, length, unit), then the PDU.
 *   Multi-byte fields are big-endian on the wire.
 *
 * Supported function codes (server and client), named MODBUSSTACK_FC_*:
 *   1 Read Coils            2 Read Discrete Inputs
 *   3 Read Holding Registers 4 Read Input Registers
 *   5 Write Single Coil     6 Write Single Register
 *   15 Write Multiple Coils 16 Write Multiple Registers
 *   23 Read/Write Multiple Registers (server only)
 *   43 / MEI type 14 Read Device Identification
 * Quantity limits: 2000 bits (1, 2), 125 registers (3, 4), 1968 coils (15),
 * 123 registers (16), 125 registers read and 121 written (23). Larger
 * quantities are answered with exception 3.
 *
 * Names: every framing, result, function code and exception code has a
 * MODBUSSTACK_ name below. Its number is part of the interface and never
 * changes; the text quotes the numbers.
 *
 * Threading: not thread-safe. Every function, and every callback it calls,
 * runs on the caller's thread. Server and client use share one receive
 * buffer and one transaction identifier, so they must not be interleaved
 * across threads, and a callback must never call back into the stack.
 */
#ifndef VELD_MODBUS_STACK_H
#define VELD_MODBUS_STACK_H

#include <stdbool.h>
#include <stdint.h>

#if defined(VELD_MODBUS_BUILDING_LIBRARY)
#define VELD_MODBUS_API __attribute__((visibility("default")))
#else
#define VELD_MODBUS_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------
 * Function codes and exception codes
 * --------------------------------------------------------------------- */

/* The function codes the stack serves and sends. The value callbacks get
 * them as their function argument; the client functions take them. */
#define MODBUSSTACK_FC_READ_COILS 1                     /* up to 2000 bits */
#define MODBUSSTACK_FC_READ_DISCRETE_INPUTS 2           /* up to 2000 bits */
#define MODBUSSTACK_FC_READ_HOLDING_REGISTERS 3         /* up to 125 registers */
#define MODBUSSTACK_FC_READ_INPUT_REGISTERS 4           /* up to 125 registers */
#define MODBUSSTACK_FC_WRITE_SINGLE_COIL 5              /* one coil: 0xFF00 on, 0x0000 off */
#define MODBUSSTACK_FC_WRITE_SINGLE_REGISTER 6          /* one register */
#define MODBUSSTACK_FC_WRITE_MULTIPLE_COILS 15          /* up to 1968 coils, packed bits */
#define MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS 16      /* up to 123 registers */
#define MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS 23 /* server: write up to 121, read up to 125 */
#define MODBUSSTACK_FC_ENCAPSULATED_INTERFACE 43        /* MEI transport; see below */

/* The one MEI type of function 43 the stack serves and sends. */
#define MODBUSSTACK_MEI_READ_DEVICE_IDENTIFICATION 14

/* Read device id codes of a Read Device Identification request. */
#define MODBUSSTACK_DEVICE_ID_BASIC 1    /* stream of objects 0x00-0x02 */
#define MODBUSSTACK_DEVICE_ID_REGULAR 2  /* stream of objects 0x00-0x06 */
#define MODBUSSTACK_DEVICE_ID_EXTENDED 3 /* stream of objects 0x00-0x06, 0x80-0xFF */
#define MODBUSSTACK_DEVICE_ID_SPECIFIC 4 /* one object */

/* Device identification objects. 0x00-0x02 are the basic objects, which
 * every device reports; 0x03-0x06 the regular ones; 0x80-0xFF are free for
 * the device's own (extended) objects; 0x07-0x7F are reserved. */
#define MODBUSSTACK_OBJECT_VENDOR_NAME 0x00
#define MODBUSSTACK_OBJECT_PRODUCT_CODE 0x01
#define MODBUSSTACK_OBJECT_MAJOR_MINOR_REVISION 0x02
#define MODBUSSTACK_OBJECT_VENDOR_URL 0x03
#define MODBUSSTACK_OBJECT_PRODUCT_NAME 0x04
#define MODBUSSTACK_OBJECT_MODEL_NAME 0x05
#define MODBUSSTACK_OBJECT_USER_APPLICATION_NAME 0x06
#define MODBUSSTACK_OBJECT_FIRST_EXTENDED 0x80

/* Exception codes. The stack answers with 1, 3 and 4 on its own (see
 * ModbusStack_Loop), and with 2 to Read Device Identification; a value callback refuses with any code from 1 to 255,
 * and these are the ones a register map usually needs. A client receives
 * them through the exceptionCode argument of the client functions. */
/* 1: function code not served, or no value callback for it. */
#define MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION 1
/* 2: address range outside the register map (the stack leaves address
 * ranges to the value callbacks, so only they report this); for Read Device
 * Identification, an object that is not set. */
#define MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS 2
/* 3: quantity over its limit, or a byte count or data that do not match it. */
#define MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_VALUE 3
/* 4: the request could not be carried out: a callback refused without a
 * code, or the response could not be built. */
#define MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE 4
/* 6: the server is busy with something else (for example another writer
 * holds the data); the client may try again later. */
#define MODBUSSTACK_EXCEPTION_SERVER_DEVICE_BUSY 6

/* ------------------------------------------------------------------------
 * Transport callbacks (given to ModbusStack_Init)
 * --------------------------------------------------------------------- */

/*
 * Send one whole frame to a connection.
 *   connectionId  the identifier the receive callback reported for the
 *                 request being answered (0 if it wrote none); for client
 *                 requests, the connectionId given to the client function.
 *                 16 bits are significant.
 *   frame, length the frame bytes; length is 1 to 260.
 * Returns true when the whole frame was sent. ModbusStack_Loop turns false
 * into its result 0; the client functions do not look at the result.
 */
typedef bool (*SendMessageFunction)(uint16_t connectionId, const uint8_t* frame, uint16_t length);

/*
 * Hand the stack bytes that have arrived, without waiting.
 *   connectionId  slot the stack has set to 0; write the identifier of the
 *                 connection the bytes came from into it.
 *   buffer, room  where the bytes go and how many may be written (1 to 260).
 * Returns the number of bytes written (0 to room); 0 when nothing arrived.
 * Never return more than room: the stack adds the result to its buffer
 * length as it is. Under Modbus TCP the bytes of one call are taken as one
 * whole message, so deliver exactly one request (or reply) per call.
 */
typedef uint16_t (*RecvMessageFunction)(uint32_t* connectionId, uint8_t* buffer, uint16_t room);

/*
 * Read the current time in any unit (the client functions wait 3 units for a
 * reply). Only differences matter; wrap-around is not handled.
 */
typedef uint32_t (*CurrentTimeFunction)(void);

/* ------------------------------------------------------------------------
 * Value callbacks (registered after ModbusStack_Init)
 * --------------------------------------------------------------------- */

/*
 * Supply values for a read request (function codes 1 to 4), or for the read
 * part of a read/write request (23), which reads holding registers.
 *   slaveId          the stack's own slave id (not the request's unit id).
 *   function         1, 2, 3, 4 or 23.
 *   startingAddress  first address asked for; the stack does not check
 *                    startingAddress + length, address ranges are yours.
 *   length           number of bits (1, 2) or registers (3, 4, 23); may be
 *                    0 for 1 to 4, is 1 to 125 for 23.
 *   values           zero-filled area of dataSize (250) bytes. For 3, 4 and
 *                    23 store length host-order 16-bit values, one per
 *                    register.
 *                    For 1 and 2 store the packed bits, ceil(length / 8)
 *                    bytes, exactly as they are to appear on the wire.
 *   exceptionCode    0 on entry.
 * Returns true when the values were supplied. To refuse, return false and
 * store a Modbus exception code (1 to 255): the client gets that exception,
 * with the request's own unit identifier. A refusal that stores no code is
 * answered with exception 4 (Server Device Failure).
 */
typedef bool (*GetModbusValueFunction)(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length,
                                       uint16_t* values, uint16_t dataSize, uint8_t* exceptionCode);

/*
 * Accept values of a write request (function codes 5, 6, 15 and 16), or the
 * write part of a read/write request (23), which writes holding registers.
 * A read/write request calls this callback first and the read callback only
 * after it has accepted; a refusal here answers the request, and nothing is
 * read.
 *   slaveId          the stack's own slave id.
 *   function         5, 6, 15, 16 or 23.
 *   startingAddress  the address written (5, 6) or the first one (15, 16,
 *                    23).
 *   length           1 for 5 and 6; number of coils (15) or registers (16,
 *                    23).
 *   values           valid only during the call. 5, 6: one host-order value
 *                    as received (the stack does not check that a coil value
 *                    is 0xFF00 or 0x0000); the echo in the response carries
 *                    the value as it stands after the call. 16, 23: length
 *                    host-order values. 15: the request's packed coil bytes,
 *                    unchanged, to be read byte by byte.
 *   dataSize         size of the values in bytes: 2 (5, 6), 2 x length (16,
 *                    23), the request's byte count (15).
 *   exceptionCode    0 on entry.
 * Returns true when the values were accepted. A refusal is reported as for
 * the read callback, but the exception response carries the stack's slave
 * id. A refusal without a code is answered with exception 4.
 */
typedef bool (*SetModbusValueFunction)(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length,
                                       uint16_t* values, uint16_t dataSize, uint8_t* exceptionCode);

/* ------------------------------------------------------------------------
 * Version of the stack: 2.3.6.0
 * --------------------------------------------------------------------- */

VELD_MODBUS_API uint32_t ModbusStack_GetAPIMajorVersion(void); /* 2 */
VELD_MODBUS_API uint32_t ModbusStack_GetAPIMinorVersion(void); /* 3 */
VELD_MODBUS_API uint32_t ModbusStack_GetAPIPatchVersion(void); /* 6 */
VELD_MODBUS_API uint32_t ModbusStack_GetAPIBuildVersion(void); /* 0 */

/* ------------------------------------------------------------------------
 * Configuration
 * --------------------------------------------------------------------- */

/* The protocol argument of ModbusStack_Init: the framing. */
#define MODBUSSTACK_PROTOCOL_RTU 1u /* Modbus RTU */
#define MODBUSSTACK_PROTOCOL_TCP 2u /* Modbus TCP */

/* Results of ModbusStack_Init. */
#define MODBUSSTACK_INIT_READY 1u        /* the stack is ready */
#define MODBUSSTACK_INIT_BAD_PROTOCOL 2u /* protocol is neither RTU nor TCP */

/*
 * Reset the stack and choose its framing.
 *   protocol     MODBUSSTACK_PROTOCOL_RTU (1) or MODBUSSTACK_PROTOCOL_TCP (2).
 *   send, recv, currentTime  the transport callbacks, stored as given.
 * First, whatever the arguments: the client time-out becomes 3, the
 * transaction identifier 0, the receive buffer empty, and every callback
 * (the value callbacks too) is dropped. Register the value callbacks after
 * this call. The slave id is left as it is.
 * Returns MODBUSSTACK_INIT_READY (1) when ready; MODBUSSTACK_INIT_BAD_PROTOCOL
 * (2) when protocol is neither 1 nor 2, in which case the stack stays
 * uninitialised (ModbusStack_Loop returns MODBUSSTACK_LOOP_NO_TRANSPORT).
 */
VELD_MODBUS_API uint32_t ModbusStack_Init(uint32_t protocol, SendMessageFunction send, RecvMessageFunction recv,
                                          CurrentTimeFunction currentTime);

/*
 * Set the stack's own Modbus address (default 0). Accepted ids:
 *   before ModbusStack_Init: 1 to 255;  RTU: 1 to 127;  TCP: 1 to 254.
 * Returns true when stored; false leaves the slave id unchanged.
 * Under RTU the server answers frames addressed to 0 or to this id. Under TCP
 * the server answers unit identifiers 0 and 255 whatever the slave id is.
 * Every response carries the slave id as its unit identifier or address,
 * except the exception reporting a read callback's refusal (see above).
 */
VELD_MODBUS_API bool ModbusStack_SetSlaveId(uint8_t slaveId);

/* Store the value-read callback (NULL unregisters). Returns 1. While none is
 * registered, requests for function codes 1 to 4 and 23 get exception 1. */
VELD_MODBUS_API uint32_t ModbusStack_RegisterGetValue(GetModbusValueFunction callback);

/* Store the value-write callback (NULL unregisters). Returns 1. While none is
 * registered, requests for function codes 5, 6, 15, 16 and 23 get
 * exception 1. */
VELD_MODBUS_API uint32_t ModbusStack_RegisterSetValue(SetModbusValueFunction callback);

/* The most bytes one object's value may have: with the response's fixed
 * fields and the object's id and length, it fills one 253-byte PDU. */
#define MODBUSSTACK_DEVICE_OBJECT_MAX_LENGTH 244u
/* The room for all objects together: each takes its value's length plus 2. */
#define MODBUSSTACK_DEVICE_OBJECTS_ROOM 512u

/*
 * Set, replace or remove one device identification object, which the server
 * reports through function 43, MEI type 14 (Read Device Identification).
 *   objectId  0x00-0x06 (named MODBUSSTACK_OBJECT_*) or 0x80-0xFF.
 *   value     length bytes, copied (they need not end in a NUL byte);
 *             the protocol calls for ASCII text. May be NULL when length is 0.
 *   length    0 to MODBUSSTACK_DEVICE_OBJECT_MAX_LENGTH (244); 0 removes the
 *             object.
 * Returns true when stored or removed. Returns false, leaving every object as
 * it was, for an objectId from 0x07 to 0x7F, a length over 244, a NULL value
 * with a nonzero length, or when the objects would no longer fit in
 * MODBUSSTACK_DEVICE_OBJECTS_ROOM (512) bytes, counting 2 bytes per object
 * besides its value.
 * The objects belong to the device, not to the transport: like the slave id
 * they are kept by ModbusStack_Init, and may be set before it. No object is
 * set at first.
 * What the server answers:
 *   Objects 0x00-0x02 are mandatory: one not set is reported with an empty
 *   value. Other objects are reported only when set.
 *   Conformity level 0x83 (extended, stream and individual access) when an
 *   object from 0x80 is set, else 0x82 (regular, stream and individual).
 *   Stream access (read device id codes 1, 2, 3) starts at the request's
 *   object id, or at object 0 when that object is not set or not part of the
 *   stream asked for; objects that do not fit in one response are announced
 *   by "more follows" 0xFF and the object id to ask for next.
 *   Individual access (code 4) answers the one object asked for, or
 *   exception 2 when it is not set (0x00-0x02 always are).
 *   Any other read device id code gets exception 3; any MEI type other than
 *   14 gets exception 1.
 */
VELD_MODBUS_API bool ModbusStack_SetDeviceIdentification(uint8_t objectId, const char* value, uint8_t length);

/* ------------------------------------------------------------------------
 * Server role
 * --------------------------------------------------------------------- */

/*
 * One server pass, never waiting: call the receive callback once, recognise
 * at most one request, call at most one value callback (read/write: the
 * write callback, then the read callback) and send at most one
 * response or exception response, to the connection the request came from.
 *
 * Modbus TCP: every receive starts a new message; the bytes one receive
 * delivers are the request (the MBAP length field is not consulted, and a
 * second request in the same delivery is not answered). Unit identifiers
 * other than 0 and 255 are ignored.
 * Modbus RTU: bytes accumulate across passes; stray bytes in front of a
 * request are dropped, at most 100 start positions are examined per pass, and
 * only frames for address 0 or the slave id with a correct CRC are answered.
 *
 * Answers: exception 1 for an unsupported function code or a missing value
 * callback; exception 3 for a quantity over its limit, a write whose byte
 * count does not cover its quantity, or one whose data is not all there;
 * the callback's exception code for a refusal; exception 4 when a response
 * cannot be built. Read/write (23) takes a read quantity of 1 to 125, a
 * write quantity of 1 to 121 and a byte count of exactly twice the write
 * quantity, else exception 3. Requests too short for their fixed fields
 * (read: 4 bytes, single write: 4, multiple write: 5, read/write: 9, device
 * identification: 3 after the function code; TCP messages of 6 or 7 bytes)
 * get no answer. Read Device Identification is answered as described at
 * ModbusStack_SetDeviceIdentification.
 *
 * Returns one of the MODBUSSTACK_LOOP_* results below.
 */
VELD_MODBUS_API uint32_t ModbusStack_Loop(void);

/* Results of ModbusStack_Loop. */
/* 0: a TCP message shorter than 6 bytes or with a nonzero protocol
 * identifier was not answered, or the send callback returned false. */
#define MODBUSSTACK_LOOP_FAILED 0u
/* 1: nothing received, frame not complete, not addressed to this server,
 * or answered. */
#define MODBUSSTACK_LOOP_OK 1u
/* 3: the send or receive callback is missing (not given to, or dropped by,
 * ModbusStack_Init); nothing was received. */
#define MODBUSSTACK_LOOP_NO_TRANSPORT 3u

/* Discard every byte held in the receive buffer. */
VELD_MODBUS_API void ModbusStack_Flush(void);

/* ------------------------------------------------------------------------
 * Client role
 *
 * Both functions build one request, pass it to the send callback with the
 * given connectionId, then poll the receive and time callbacks (without
 * sleeping) until a reply is in or 3 time units have passed. Anything held
 * in the receive buffer is dropped first. A reply is taken from whichever
 * connection delivers it; its transaction identifier is not compared.
 *
 * Both return one of the MODBUSSTACK_CLIENT_* results below.
 * --------------------------------------------------------------------- */

/* 0: (write only) function code is not 5, 6, 15 or 16. */
#define MODBUSSTACK_CLIENT_UNKNOWN_FUNCTION 0u
/* 1: the reply arrived and was accepted. */
#define MODBUSSTACK_CLIENT_ACCEPTED 1u
/* 2: invalid arguments: no data area; read function not 1 to 4 or 43;
 * quantity over its limit or not fitting the data area; single write with a
 * quantity other than 1; (43) a read device id code not 1 to 4 or an object
 * id over 255. Nothing was sent. */
#define MODBUSSTACK_CLIENT_INVALID_ARGUMENTS 2u
/* 3: send, receive or time callback not registered. Nothing was sent. */
#define MODBUSSTACK_CLIENT_NO_TRANSPORT 3u
/* 4: no reply before the deadline. */
#define MODBUSSTACK_CLIENT_TIMED_OUT 4u
/* 5: unusable reply: TCP reply shorter than 6 bytes or with a nonzero
 * protocol identifier; a reply too short for its fields or whose byte count
 * runs past the received bytes or the data area; (write only) a reply whose
 * unit identifier or function code differs from the request; (43) a reply
 * that is not Read Device Identification, or whose objects run past the
 * received bytes or the data area. */
#define MODBUSSTACK_CLIENT_UNUSABLE_REPLY 5u
/* 6: exception response; its code was stored through exceptionCode. */
#define MODBUSSTACK_CLIENT_EXCEPTION 6u

/*
 * Read bits (function 1, 2) or registers (3, 4).
 *   unit       unit identifier (TCP) or slave address (RTU) of the request.
 *   data       receives the reply's data: for 3 and 4 one host-order 16-bit
 *              value per register (the area is written byte-wise, so it
 *              need not be aligned); for 1 and 2 the packed bits as sent.
 *   dataSize   size of data in bytes; never written beyond.
 * The reply's unit identifier and function code are not compared with the
 * request, nor its count with the quantity asked for.
 *
 * Read Device Identification: function 43 (MEI type 14) with
 *   startingAddress  the object id to start at (0 to 255).
 *   quantity         the read device id code, MODBUSSTACK_DEVICE_ID_* (1-4).
 *   data             receives the reply's PDU after its function code, as
 *                    sent: MEI type (14), read device id code, conformity
 *                    level, more follows (0x00 or 0xFF), next object id,
 *                    number of objects, then per object its id, its length
 *                    and its value. The objects are checked to lie within
 *                    the bytes received. Bytes past them are left as they
 *                    were. When more follows, ask again from the next
 *                    object id.
 */
VELD_MODBUS_API uint32_t ModbusStack_ReadRegisters(uint16_t connectionId, uint8_t unit, uint8_t function,
                                                   uint16_t startingAddress, uint16_t quantity, uint8_t* data,
                                                   uint16_t dataSize, uint8_t* exceptionCode);

/*
 * Write one coil (5) or register (6), several coils (15) or registers (16).
 *   values     5, 6: one host-order value, sent as given; 16: quantity
 *              host-order values; 15: the packed coil bits, ceil(quantity/8)
 *              bytes from the start of the area.
 *   quantity   1 for 5 and 6; number of coils (15, at most 1968) or
 *              registers (16, at most 123).
 * The echoed address, value or quantity of the reply is not compared.
 */
VELD_MODBUS_API uint32_t ModbusStack_WriteRegisters(uint16_t connectionId, uint8_t unit, uint8_t function,
                                                    uint16_t startingAddress, const uint16_t* values, uint16_t quantity,
                                                    uint8_t* exceptionCode);

#ifdef __cplusplus
}
#endif

#endif /* VELD_MODBUS_STACK_H */
