#!/usr/bin/python3
# pymodbus_server.py - the benchmark's pymodbus peer: pymodbus 3.0's asyncio
# Modbus TCP server on 127.0.0.1 with 65536 holding registers in memory,
# answering every unit identifier. Run with /usr/bin/python3; option --port P.
import argparse
import asyncio

from pymodbus.datastore import ModbusSequentialDataBlock, ModbusServerContext, ModbusSlaveContext
from pymodbus.server import StartAsyncTcpServer

REGISTERS = 65536


def main():
    parser = argparse.ArgumentParser(description="pymodbus asyncio Modbus TCP server for the benchmark")
    parser.add_argument("--port", type=int, default=5020)
    port = parser.parse_args().port
    # zero_mode: register N is the block's N-th value, as on the wire.
    device = ModbusSlaveContext(hr=ModbusSequentialDataBlock(0, [0] * REGISTERS), zero_mode=True)
    context = ModbusServerContext(slaves=device, single=True)
    print(f"pymodbus_server: listening on 127.0.0.1:{port}", flush=True)
    asyncio.run(StartAsyncTcpServer(context=context, address=("127.0.0.1", port), allow_reuse_address=True))


if __name__ == "__main__":
    main()
