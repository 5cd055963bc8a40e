#!/usr/bin/env python3
"""Writes the seed corpora of the two fuzz targets.

Each seed is a well-formed input in the target's own layout (see the comment
at the top of fuzz_server_pass.cpp and fuzz_client_reply.cpp) carrying valid
Modbus TCP or RTU traffic, so the fuzzers start from frames the stack
accepts. Run from anywhere; it rewrites corpus/<target>/ next to itself.
"""
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent


def crc16(data):
    crc = 0xFFFF
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def rtu(pdu_with_address):
    return pdu_with_address + struct.pack("<H", crc16(pdu_with_address))


def tcp(transaction, unit, pdu):
    return struct.pack(">HHHB", transaction, 0, len(pdu) + 1, unit) + pdu


def chunks(*frames):
    out = b""
    for frame in frames:
        assert len(frame) <= 255
        out += bytes([len(frame)]) + frame
    return out


# Server flags: bit 0 TCP, bit 1 read callback, bit 2 write callback,
# bit 3 flush, bits 4-5 answer (1 refuse with code, 2 refuse without).
TCP, READ, WRITE, FLUSH, REFUSE = 0x01, 0x02, 0x04, 0x08, 0x10


def server(flags, slave, code, fill, *frames):
    return bytes([flags, slave, code, fill]) + chunks(*frames)


FC16_RTU = rtu(bytes.fromhex("11100001000204000a0102"))
FC15_REPLY_RTU = rtu(bytes.fromhex("110f0013000a"))

SERVER = {
    "tcp_fc3_read_1": server(TCP | READ | WRITE, 1, 2, 0x11, tcp(1, 0xFF, bytes.fromhex("0300000001"))),
    "tcp_fc6_write": server(TCP | READ | WRITE, 1, 2, 0, tcp(2, 0, bytes.fromhex("0600101234"))),
    "tcp_fc16_write_3": server(TCP | WRITE, 7, 2, 0,
                               tcp(3, 0xFF, bytes.fromhex("1000200003060001000200030000"))),
    "tcp_refused_reads": server(TCP | READ | REFUSE, 1, 2, 0,
                                tcp(4, 0xFF, bytes.fromhex("010000000a")),
                                tcp(5, 0, bytes.fromhex("040010007d"))),
    "rtu_fc3_read_3": server(READ | WRITE, 0x11, 2, 0x22, rtu(bytes.fromhex("1103006b0003"))),
    "rtu_fc6_write": server(READ | WRITE, 0x11, 2, 0, rtu(bytes.fromhex("110600010003"))),
    # A register write split over two receives, behind two stray bytes.
    "rtu_fc16_split": server(READ | WRITE, 0x11, 2, 0, b"\x00\x42" + FC16_RTU[:8], FC16_RTU[8:]),
    "rtu_fc15_broadcast": server(WRITE | FLUSH, 5, 2, 0, rtu(bytes.fromhex("000f0013000a02cd01"))),
    "tcp_fc23_read_write": server(TCP | READ | WRITE, 1, 2, 0x33,
                                  tcp(6, 0xFF, bytes.fromhex("1700030006000e00030600ff00ff00ff"))),
    # Read Device Identification: a basic stream, then object 0x80 alone.
    "rtu_fc43_device_id": server(0, 0x11, 2, 0, rtu(bytes.fromhex("112b0e0100")), rtu(bytes.fromhex("112b0e0480"))),
    # A TCP request with function code 0x83, once answered with a frame that lost its exception bit.
    "tcp_fc83_regression": bytes.fromhex("0100000008000100000002ff83"),
}

# Client flags: bit 0 TCP, bits 1-3 call (0-3 read 1-4, 4-7 write 5, 6, 15, 16).
def client(flags, unit, address, quantity, size_or_fill, *frames):
    return bytes([flags, 0, unit]) + struct.pack(">HHH", address, quantity, size_or_fill) + chunks(*frames)


def call(index):
    return index << 1


CLIENT = {
    "tcp_fc3_reply": client(TCP | call(2), 1, 0, 2, 4, tcp(0, 1, bytes.fromhex("0304000a000b"))),
    "tcp_fc1_reply": client(TCP | call(0), 1, 0x13, 10, 2, tcp(0, 1, bytes.fromhex("0102cd01"))),
    "tcp_fc3_exception": client(TCP | call(2), 1, 0, 2, 4, tcp(0, 1, bytes.fromhex("8302"))),
    "tcp_fc6_reply": client(TCP | call(5), 1, 1, 1, 0x0300, tcp(0, 1, bytes.fromhex("0600010003"))),
    "rtu_fc3_reply": client(call(2), 0x11, 0x6B, 3, 6, rtu(bytes.fromhex("1103060ae1000b0064"))),
    "rtu_fc16_reply": client(call(7), 0x11, 1, 2, 0x0A00, rtu(bytes.fromhex("111000010002"))),
    "rtu_fc15_reply_split": client(call(6), 0x11, 0x13, 10, 0xCD00, FC15_REPLY_RTU[:3], FC15_REPLY_RTU[3:]),
    "rtu_fc4_exception": client(call(3), 0x11, 8, 1, 2, rtu(bytes.fromhex("118402"))),
}


def main():
    for target, seeds in (("fuzz_server_pass", SERVER), ("fuzz_client_reply", CLIENT)):
        directory = HERE / "corpus" / target
        directory.mkdir(parents=True, exist_ok=True)
        for old in directory.iterdir():
            old.unlink()
        for name, data in seeds.items():
            (directory / name).write_bytes(data)
        print(f"{target}: {len(seeds)} seeds, {sum(map(len, seeds.values()))} bytes")


if __name__ == "__main__":
    main()
