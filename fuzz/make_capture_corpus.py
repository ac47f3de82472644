#!/usr/bin/env python3
"""Writes the seed corpus of the capture_stream fuzz target under
fuzz/corpus/capture_stream/: segment sequences in the target's input form
(a framing byte, then records of flags, 2-byte sequence offset, size and
bytes). Run from the repository root."""

import os

SYN, FIN, PSH, CLOSE = 0x02, 0x01, 0x08, 0x80
LEN2, LEN2LE, ASCII4, NONE = 0, 1, 2, 3


def framing(kind, skip=0):
    return bytes([kind | skip << 2])


def segment(offset, data, flags=PSH):
    return bytes([flags, offset >> 8, offset & 0xFF, len(data)]) + data


def message(kind, body):
    if kind == ASCII4:
        return b"%04d" % len(body) + body
    length = len(body).to_bytes(2, "big" if kind == LEN2 else "little")
    return length + body


BODY = b"0200" + bytes(range(16)) + b"000371"
REQUEST = message(LEN2, BODY)

SEEDS = {
    "in_order": framing(LEN2) + segment(0, b"", SYN) + segment(1, REQUEST)
    + segment(1 + len(REQUEST), REQUEST + REQUEST) + segment(1 + 3 * len(REQUEST), b"", FIN),
    "out_of_order_overlap": framing(LEN2) + segment(0, b"", SYN)
    + segment(11, REQUEST[10:]) + segment(1, REQUEST[:15]) + segment(1, REQUEST[:10]),
    "hole_mid_stream": framing(LEN2) + segment(7, REQUEST[7:]) + segment(7 + len(REQUEST), REQUEST)
    + segment(200, REQUEST) + segment(200 + len(REQUEST), REQUEST) + segment(0, b"", CLOSE),
    "ascii4_skip": framing(ASCII4, 5) + segment(0, b"", SYN)
    + segment(1, message(ASCII4, b"\x60\x00\x03\x00\x00" + BODY)),
    "little_endian": framing(LEN2LE) + segment(0, b"", SYN) + segment(1, message(LEN2LE, BODY)),
    "pushed_runs": framing(NONE) + segment(0, b"", SYN) + segment(1, BODY[:10], 0)
    + segment(11, BODY[10:]) + segment(1 + len(BODY), BODY, FIN | PSH),
    "bad_length": framing(LEN2) + segment(0, b"", SYN) + segment(1, b"\x00\x00\x07\xd0")
    + segment(5, REQUEST),
}

directory = "fuzz/corpus/capture_stream"
os.makedirs(directory, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(directory, name), "wb") as out:
        out.write(data)
