#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets under fuzz/corpus/: real
messages and definition files, and a few framed to reach the decoder's
limits (long fields, four-digit indicators, minus signs, field 55 long-form
lengths). Run from the repository root after tools/make_samples.py."""

import os

CORPUS = "fuzz/corpus"


def read(path):
    with open(path, "rb") as f:
        return f.read()


def message(fields, body, mti=b"0200"):
    """The message bytes: `mti`, a 16-byte bitmap flagging `fields`, `body`."""
    bitmap = bytearray(16)
    for n in fields:
        bitmap[(n - 1) // 8] |= 0x80 >> ((n - 1) % 8)
    return mti + bytes(bitmap) + body


def field55(elements):
    return b"%03d" % len(elements) + elements


def write(target, name, data):
    os.makedirs(os.path.join(CORPUS, target), exist_ok=True)
    with open(os.path.join(CORPUS, target, name), "wb") as f:
        f.write(data)


SAMPLES = {name: read("examples/%s.hex" % name) for name in ("purchase", "response", "reversal")}
BITMAP_INI = read("bitmap.ini")

# Messages framed as bitmap.ini describes.
WORKED_EXAMPLE = message([3, 11], b"000000" + b"000001")
FIELD55_LONG_FORMS = message([55], field55(
    bytes.fromhex("9F26 08 7A3C1E5B9D20F486") +
    bytes.fromhex("9F10 81 A0") + bytes(range(160)) +
    bytes.fromhex("9F72 82 012C") + b"\xAB" * 300 +
    bytes.fromhex("95 80")))
NEGATIVE_INDICATOR = message([2, 3], b"-5" + b"000000")
INDICATOR_TOO_LONG = message([2], b"20" + b"1" * 20)
ENDS_INSIDE_A_FIELD = message([3, 65], b"000000" + b"1")

# Definition files.
WORKED_EXAMPLE_INI = b"1|4|0\n3|6|0\n11|6|0\n"
LONG_FIELDS_INI = b"1|4|0\n2|9999|4\n3|6|0\n55|9999|4\n127|9999|4\n128|9999|0\n"
FOUR_DIGIT_MESSAGE = message([2, 3, 55], b"0019" + b"6" * 19 + b"000000" + b"0005" +
                             bytes.fromhex("9F27 01 80") + b"\x95")
SPACING_INI = b" 2 | 19 | 2 # PAN\r\n#2|19|2\n2|19|2#3|6|0\n||3|||6|0\n1|4|0\n55|999|3\n"
TYPOS_INI = b"1|4|0\n2|19\n3|600000000|0\n4|-12|0\n"
TRUNCATED_COLUMNS_INI = b"1|4\n2\n3|6|0\n55|999|3|extra\n"

write("decode_request", "purchase.hex", SAMPLES["purchase"])
write("decode_request", "response.hex", SAMPLES["response"])
write("decode_request", "reversal.hex", SAMPLES["reversal"])
spaced = bytes.fromhex(SAMPLES["purchase"].decode()).hex(" ").upper().encode()
write("decode_request", "purchase_spaced.txt", b"\r\n".join(
    spaced[k:k + 96] for k in range(0, len(spaced), 96)))
write("decode_request", "worked_example.hex", WORKED_EXAMPLE.hex().upper().encode())
write("decode_request", "field55_long_forms.hex", FIELD55_LONG_FORMS.hex().upper().encode())
write("decode_request", "negative_indicator.hex", NEGATIVE_INDICATOR.hex().upper().encode())
write("decode_request", "indicator_too_long.hex", INDICATOR_TOO_LONG.hex().upper().encode())
write("decode_request", "ends_inside_a_field.hex", ENDS_INSIDE_A_FIELD.hex().lower().encode())
write("decode_request", "tabs.txt", b"3032\t3030" + b"00" * 16 + b"\t")

write("definition_file", "bitmap.ini", BITMAP_INI)
write("definition_file", "worked_example.ini", WORKED_EXAMPLE_INI)
write("definition_file", "long_fields.ini", LONG_FIELDS_INI)
write("definition_file", "spacing.ini", SPACING_INI)
write("definition_file", "typos.ini", TYPOS_INI)
write("definition_file", "truncated_columns.ini", TRUNCATED_COLUMNS_INI)

purchase_bytes = bytes.fromhex(SAMPLES["purchase"].decode())
write("split_input", "bitmap_purchase", BITMAP_INI + b"\0" + purchase_bytes)
write("split_input", "worked_example", WORKED_EXAMPLE_INI + b"\0" + WORKED_EXAMPLE)
write("split_input", "four_digit_indicators", LONG_FIELDS_INI + b"\0" + FOUR_DIGIT_MESSAGE)
write("split_input", "field55_long_forms", b"1|4|0\n55|999|3\n" + b"\0" + FIELD55_LONG_FORMS)
write("split_input", "spacing_negative", SPACING_INI + b"\0" + NEGATIVE_INDICATOR)

# Every shipped dialect, alone and with its sample message.
for dialect in sorted(name[:-4] for name in os.listdir("dialects") if name.endswith(".ini")):
    definitions = read("dialects/%s.ini" % dialect)
    sample = bytes.fromhex(read("examples/%s.hex" % dialect).decode())
    write("definition_file", dialect + ".ini", definitions)
    write("split_input", dialect, definitions + b"\0" + sample)
    write("round_trip", dialect, definitions + b"\0" + sample)

# The guess and the comparison: every shipped dialect's sample as it
# stands, behind a 2-byte length and behind a 4-digit length and a TPDU.
TPDU = bytes.fromhex("6000030000")
for dialect in ("unionpay-pos", "iso87-ascii", "iso87-binary", "iso93-ascii", "ebcdic"):
    definitions = read("dialects/%s.ini" % dialect)
    sample = bytes.fromhex(read("examples/%s.hex" % dialect).decode())
    write("guess_diff", dialect, definitions + b"\0" + sample)
    write("guess_diff", dialect + "_len2", definitions + b"\0" + len(sample).to_bytes(2, "big") + sample)
    framed = TPDU + sample
    write("guess_diff", dialect + "_ascii4_tpdu", definitions + b"\0" + b"%04d" % len(framed) + framed)
write("guess_diff", "bitmap_purchase", BITMAP_INI + b"\0" + purchase_bytes)
write("guess_diff", "field55_long_forms", b"1|4|0\n55|999|3\n" + b"\0" + FIELD55_LONG_FORMS)

# Composite fields: tagged parts in field 48, parts in fixed positions in
# field 60.
COMPOSITE_INI = (b"secondary=flagged\n1|4|0\n3|6|0\n"
                 b"48|999|3 layout=tagged tag=ascii2 tag-len=ascii2\n48.26|4|0\n48.30|10|0\n"
                 b"60|17|3 layout=positional\n60.1|2|0\n60.2|6|0\n60.3|3|0\n")
COMPOSITE = (b"0200" + bytes.fromhex("2000000000010010") + b"000000" +
             b"028" + b"26045411" + b"3010TERM000001" + b"9902XY" + b"011" + b"22000001003")
write("guess_diff", "composite", COMPOSITE_INI + b"\0" + COMPOSITE)
