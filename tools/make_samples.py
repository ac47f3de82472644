#!/usr/bin/env python3
"""Writes the sample messages under examples/ as hexadecimal text, framed
as the repository's bitmap.ini describes (ASCII length indicators, a
16-byte bitmap). Run from the repository root."""


def tlv(tag, value):
    value = bytes.fromhex(value)
    assert len(value) < 0x80
    return bytes.fromhex(tag) + bytes([len(value)]) + value


def message(mti, elements, variable):
    """elements: field number -> bytes; variable: field number -> digits."""
    bitmap = bytearray(16)
    if any(n > 64 for n in elements):
        bitmap[0] |= 0x80
    body = b""
    for n in sorted(elements):
        bitmap[(n - 1) // 8] |= 0x80 >> ((n - 1) % 8)
        data = elements[n]
        if n in variable:
            body += b"%0*d" % (variable[n], len(data))
        body += data
    return mti + bytes(bitmap) + body


PURCHASE_ICC = b"".join([
    tlv("9F26", "7A3C1E5B9D20F486"),
    tlv("9F27", "80"),
    tlv("9F10", "07010103A0A802010A010000000000A1B2C3D4"),
    tlv("9F37", "5E2D8C11"),
    tlv("9F36", "01A7"),
    tlv("95", "0000048000"),
    tlv("9A", "261207"),
    tlv("9C", "00"),
    tlv("9F02", "000000012850"),
    tlv("5F2A", "0156"),
    tlv("82", "7C00"),
    tlv("9F1A", "0156"),
    tlv("9F03", "000000000000"),
    tlv("9F33", "E0E1C8"),
    tlv("9F34", "420300"),
    tlv("9F35", "22"),
    tlv("9F1E", "3132333435363738"),
    tlv("84", "A000000333010101"),
    tlv("9F09", "0030"),
    tlv("9F41", "00000371"),
    tlv("9F63", "30313130303030300000000000000000"),
])

PURCHASE = {
    2: b"6222021234567890123",
    3: b"000000",
    4: b"000000012850",
    7: b"1207093015",
    11: b"000371",
    12: b"093015",
    13: b"1207",
    14: b"2912",
    18: b"5411",
    22: b"051",
    23: b"001",
    25: b"00",
    32: b"48020000",
    35: b"6222021234567890123=2912220123456780",
    37: b"634109000371",
    41: b"TERM0001",
    42: b"898310054110001",
    43: b"SHANGHAI DAILY FRESH MARKET  SHANGHAI CN",
    49: b"156",
    55: PURCHASE_ICC,
}
VARIABLE = {2: 2, 32: 2, 35: 2, 55: 3}

RESPONSE = {n: PURCHASE[n] for n in (2, 3, 4, 7, 11, 12, 13, 25, 32, 37, 41, 42, 49)}
RESPONSE[38] = b"A1B2C3"
RESPONSE[39] = b"00"
RESPONSE[55] = b"".join([
    tlv("91", "3A1F77C2E0045E2B3030"),
    tlv("9F36", "01A7"),
])

REVERSAL = {n: PURCHASE[n] for n in (2, 3, 4, 7, 11, 12, 13, 22, 23, 25, 32, 37, 41, 42, 49, 55)}
REVERSAL[7] = b"1207093115"
REVERSAL[11] = b"000372"
REVERSAL[39] = b"98"
REVERSAL[90] = b"0200000371120709301500000048020000000000000"[:42]

SAMPLES = {
    "purchase": message(b"0200", PURCHASE, VARIABLE),
    "response": message(b"0210", RESPONSE, VARIABLE),
    "reversal": message(b"0400", REVERSAL, VARIABLE),
}

for name, data in SAMPLES.items():
    with open("examples/%s.hex" % name, "w") as out:
        out.write(data.hex().upper() + "\n")
