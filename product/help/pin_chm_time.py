#!/usr/bin/env python3
"""Makes a compiled help file reproducible: chmcmd records the time of day
of the compilation (milliseconds since midnight) in two places, the ITSF
header and the #SYSTEM file's time stamp record. Both are set to the time
of day of SOURCE_DATE_EPOCH, in the same encoding.

Usage: pin_chm_time.py FILE.chm SOURCE_DATE_EPOCH
"""

import struct
import sys

SYSTEM_TIMESTAMP = 10  # #SYSTEM record code of the time stamp


def encint(data, pos):
    """The directory's variable-length integers: 7 bits a byte, high bit
    set on every byte but the last."""
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def find_entry(data, wanted):
    """(section, offset, length) of a file in the ITSF directory."""
    directory_offset, = struct.unpack_from("<Q", data, 0x48)
    content_offset, = struct.unpack_from("<Q", data, 0x58)
    if data[directory_offset:directory_offset + 4] != b"ITSP":
        raise ValueError("no ITSP directory header")
    header_length, = struct.unpack_from("<I", data, directory_offset + 0x08)
    chunk_size, = struct.unpack_from("<I", data, directory_offset + 0x10)
    chunk_count, = struct.unpack_from("<I", data, directory_offset + 0x2C)
    for chunk in range(chunk_count):
        start = directory_offset + header_length + chunk * chunk_size
        if data[start:start + 4] != b"PMGL":
            continue
        free_space, = struct.unpack_from("<I", data, start + 4)
        pos, end = start + 20, start + chunk_size - free_space
        while pos < end:
            name_length, pos = encint(data, pos)
            name = data[pos:pos + name_length]
            pos += name_length
            section, pos = encint(data, pos)
            offset, pos = encint(data, pos)
            length, pos = encint(data, pos)
            if name == wanted:
                return section, content_offset + offset, length
    raise ValueError("%s not found" % wanted.decode())


def pin(data, epoch):
    stamp = (epoch % 86400) * 1000
    struct.pack_into(">I", data, 0x10, stamp)
    section, start, length = find_entry(data, b"/#SYSTEM")
    if section != 0:
        raise ValueError("#SYSTEM is compressed")
    pos, end = start + 4, start + length
    while pos + 4 <= end:
        code, size = struct.unpack_from("<HH", data, pos)
        if code == SYSTEM_TIMESTAMP and size >= 4:
            struct.pack_into("<I", data, pos + 4, stamp)
            return
        pos += 4 + size
    raise ValueError("#SYSTEM holds no time stamp")


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], "rb") as f:
        data = bytearray(f.read())
    if data[:4] != b"ITSF":
        sys.stderr.write("pin_chm_time.py: %s is not a compiled help file\n" % argv[1])
        return 1
    try:
        pin(data, int(argv[2]))
    except (ValueError, struct.error, IndexError) as error:
        sys.stderr.write("pin_chm_time.py: %s: %s\n" % (argv[1], error))
        return 1
    with open(argv[1], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
