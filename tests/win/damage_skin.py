"""Copies the program with its stored skin package damaged: the package's unpacked-size field says
8 bytes, less than the package header, so the skin cannot load.

usage: damage_skin.py PROGRAM SKINSTREAM OUTPUT
"""

import struct
import sys


def main(program_path: str, stream_path: str, output_path: str) -> None:
    program = bytearray(open(program_path, "rb").read())
    stream = open(stream_path, "rb").read()
    at = program.find(stream)
    if at < 0 or program.find(stream, at + 1) >= 0:
        sys.exit(f"damage_skin: the skin package is not stored exactly once in {program_path}")
    # The value: a 32-bit count, then the package, whose first 32 bits are its unpacked size.
    struct.pack_into("<i", program, at + 4, 8)
    open(output_path, "wb").write(program)


if __name__ == "__main__":
    main(*sys.argv[1:4])
