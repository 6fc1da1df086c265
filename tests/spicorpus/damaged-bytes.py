"""damaged-bytes.py OUT - byte-edited variants of pictures in OUT (made by
make-corpus.sh): JPEG damage that viewers tolerate, and GIF layouts."""
import struct
import sys

out = sys.argv[1]


def read(name):
    with open(f"{out}/{name}", "rb") as f:
        return f.read()


def write(name, data):
    with open(f"{out}/{name}", "wb") as f:
        f.write(data)


jpeg = read("made-420.jpg")
assert jpeg[:2] == b"\xff\xd8"
# Stray bytes between the start marker and the first segment.
write("made-stray-bytes.jpg", jpeg[:2] + b"\x00\x13\x37\x00" + jpeg[2:])
# An EXIF block whose content is garbage (its length is right).
exif = b"Exif\x00\x00II*\x00\xff\xff\xff\x7f" + bytes(range(200))
write("made-bad-exif.jpg", jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(exif) + 2) + exif + jpeg[2:])
# A comment whose length runs past its end into the next segment's marker.
comment = b"comment"
write("made-bad-length.jpg",
      jpeg[:2] + b"\xff\xfe" + struct.pack(">H", len(comment) + 2 + 6) + comment + b"\x00" * 4 + jpeg[2:])
# Bytes after the end marker.
write("made-trailing.jpg", jpeg + b"\x00garbage after the end" * 4)


def gif_parts(data):
    """Header + screen, global table, and the rest of a GIF."""
    flags = data[10]
    table = 3 << ((flags & 7) + 1) if flags & 0x80 else 0
    return data[:13], data[13:13 + table], data[13 + table:]


def move_table_to_frame(data):
    """The global colour table made the first frame's local one."""
    head, table, rest = gif_parts(data)
    assert table, "a global colour table"
    flags = head[10]
    head = head[:10] + bytes([flags & 0x70]) + head[11:]
    at = 0
    while rest[at] == 0x21:  # extensions: label, then sub-blocks
        at += 2
        while rest[at]:
            at += rest[at] + 1
        at += 1
    assert rest[at] == 0x2C
    desc = rest[at:at + 10]
    local = bytes([(desc[9] & 0x40) | 0x80 | (flags & 7)])
    return head + rest[:at] + desc[:9] + local + table + rest[at + 10:]


write("made-no-global-table.gif", move_table_to_frame(read("made-interlaced.gif")))
write("made-offset-no-global-table.gif", move_table_to_frame(read("made-offset.gif")))
