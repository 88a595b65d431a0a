"""flip_byte.py SOURCE COPY OFFSET: COPY is SOURCE with the byte at OFFSET
inverted. Refuses an offset inside the PE header's CheckSum field, whose
bytes the checksum does not cover."""
import shutil
import struct
import sys


def checksum_field(data):
    pe = struct.unpack_from("<I", data, 60)[0]
    return pe + 24 + 64


def main():
    source, copy, offset = sys.argv[1], sys.argv[2], int(sys.argv[3], 0)
    data = bytearray(open(source, "rb").read())
    field = checksum_field(data)
    if field <= offset < field + 4 or offset >= len(data):
        sys.exit("flip_byte.py: offset %d is in the CheckSum field or past the end" % offset)
    data[offset] ^= 0xFF
    open(copy, "wb").write(data)
    shutil.copymode(source, copy)


main()
