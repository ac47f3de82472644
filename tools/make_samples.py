#!/usr/bin/env python3
"""Writes the sample messages under examples/ as hexadecimal text: four
framed as the repository's bitmap.ini describes (ASCII length indicators,
a 16-byte bitmap), the last of them the largest message a paste holds, and
one for each shipped dialect in dialects/, packed here by its rules,
independently of the programs (the composite fields of the example of
every layout part by part). Run from the repository root."""
import codecs


def ber_length(count):
    """A BER-TLV length: one byte below 0x80, else 0x81 or 0x82 and the count."""
    if count < 0x80:
        return bytes([count])
    if count <= 0xFF:
        return bytes([0x81, count])
    return bytes([0x82, count >> 8, count & 0xFF])


def tlv(tag, value):
    if isinstance(value, str):
        value = bytes.fromhex(value)
    return bytes.fromhex(tag) + ber_length(len(value)) + value


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



def bcd(digits, left=False, pad="0"):
    """Packed digits; an odd count gets a pad nibble first (or last)."""
    if len(digits) % 2:
        digits = digits + pad if left else pad + digits
    return bytes.fromhex(digits.replace("=", "D"))


def ebcdic(text):
    return codecs.encode(text, "cp037")


def bitmap_of(fields, secondary_when_flagged=True):
    bits = bytearray(16)
    for n in fields:
        bits[(n - 1) // 8] |= 0x80 >> ((n - 1) % 8)
    if any(n > 64 for n in fields):
        bits[0] |= 0x80
    if secondary_when_flagged and not bits[0] & 0x80:
        return bytes(bits[:8])
    return bytes(bits)


def dialect_message(head, bitmap, fields):
    """fields: number -> bytes, each with its length indicator already."""
    return head + bitmap + b"".join(fields[n] for n in sorted(fields))


def bcd_length(count, digits):
    return bcd("%0*d" % (digits, count))


SHORT_ICC = b"".join([
    tlv("9F26", "7A3C1E5B9D20F486"),
    tlv("9F27", "80"),
    tlv("95", "0000048000"),
    tlv("9A", "261207"),
    tlv("9F02", "000000012850"),
    tlv("5F2A", "0156"),
    tlv("82", "7C00"),
    tlv("9F36", "01A7"),
])
PIN_BLOCK = bytes.fromhex("1A2B3C4D5E6F7081")
MAC = bytes.fromhex("9C8D7E6F5A4B3C2D")

# UnionPay POS: TPDU and header, BCD type, 8-byte bitmap, BCD lengths.
UNIONPAY_FIELDS = {
    2: bcd_length(19, 2) + bcd("6222021234567890123", left=True),
    3: bcd("000000"),
    4: bcd("000000012850"),
    11: bcd("000371"),
    14: bcd("2912"),
    22: bcd("051", left=True),
    23: bcd("001"),
    25: bcd("00"),
    26: bcd("12"),
    35: bcd_length(36, 2) + bcd("6222021234567890123=2912220123456780", left=True, pad="F"),
    41: b"TERM0001",
    42: b"898310054110001",
    49: b"156",
    52: PIN_BLOCK,
    53: bcd("2600000000000000"),
    55: bcd_length(len(SHORT_ICC), 4) + SHORT_ICC,
    60: bcd_length(13, 4) + bcd("2200000100060", left=True),
    64: MAC,
}
UNIONPAY_POS = dialect_message(bytes.fromhex("6000030000" "603100310000") + bcd("0200"),
                               bitmap_of(UNIONPAY_FIELDS), UNIONPAY_FIELDS)

# ISO 8583:1987 with a BCD type and lengths, a binary bitmap, packed numbers.
BINARY_FIELDS = {
    2: bcd_length(19, 2) + bcd("6222021234567890123"),
    3: bcd("000000"),
    4: bcd("000000012850"),
    7: bcd("1207093015"),
    11: bcd("000371"),
    22: bcd("051"),
    28: b"C" + bcd("00000150"),
    35: bcd_length(35, 2) + bcd("6222021234567890123=291222012345678", left=True, pad="F"),
    37: b"634109000371",
    41: b"TERM0001",
    49: b"156",
    52: PIN_BLOCK,
}
ISO87_BINARY = dialect_message(bcd("0200"), bitmap_of(BINARY_FIELDS), BINARY_FIELDS)

# ISO 8583:1987 in ASCII, with a hexadecimal bitmap and a secondary one.
ASCII_FIELDS = {
    2: b"19" + b"6222021234567890123",
    3: b"000000",
    4: b"000000012850",
    7: b"1207093015",
    11: b"000371",
    28: b"C00000150",
    37: b"634109000371",
    41: b"TERM0001",
    49: b"156",
    52: PIN_BLOCK,
    102: b"12" + b"622202123456",
}
ISO87_ASCII = dialect_message(b"0200", bitmap_of(ASCII_FIELDS).hex().upper().encode(), ASCII_FIELDS)

# ISO 8583:1993 in ASCII, with a hexadecimal bitmap.
ISO93_FIELDS = {
    2: b"19" + b"6222021234567890123",
    3: b"000000",
    4: b"000000012850",
    11: b"000371",
    12: b"261207093015",
    22: b"510101511001",
    24: b"200",
    26: b"5411",
    37: b"634109000371",
    41: b"TERM0001",
    43: b"29" + b"DAILY FRESH MARKET>SHANGHAI>C",
    49: b"156",
    55: b"%03d" % len(SHORT_ICC) + SHORT_ICC,
}
ISO93_ASCII = dialect_message(b"1200", bitmap_of(ISO93_FIELDS).hex().upper().encode(), ISO93_FIELDS)

# ISO 8583:1987 in EBCDIC, with a binary bitmap.
EBCDIC_FIELDS = {
    2: ebcdic("16" + "4761739001010010"),
    3: ebcdic("000000"),
    4: ebcdic("000000020000"),
    7: ebcdic("1207093015"),
    11: ebcdic("000372"),
    14: ebcdic("2812"),
    18: ebcdic("5812"),
    22: ebcdic("051"),
    28: ebcdic("D00000200"),
    32: ebcdic("06" + "400020"),
    35: ebcdic("34" + "4761739001010010=28122011143878089"),
    37: ebcdic("634109000372"),
    41: ebcdic("TERM0002"),
    42: ebcdic("CAFE0000000002 "),
    43: ebcdic("CORNER CAFE            NEW YORK     NYUS"),
    49: ebcdic("840"),
    52: PIN_BLOCK,
}
EBCDIC = dialect_message(ebcdic("0100"), bitmap_of(EBCDIC_FIELDS), EBCDIC_FIELDS)


# The example of every kind of layout (dialects/layouts-example.ini):
# ISO 8583:1987 in ASCII with a hexadecimal bitmap, whose composite fields
# are packed here part by part, as the dialect's comments describe them.
def length_prefixed(data, digits):
    """Data after its length in ASCII digits."""
    return b"%0*d" % (digits, len(data)) + data


def tagged(elements):
    """Elements of a 2-digit tag and a 2-digit length, then the value."""
    return b"".join(tag + b"%02d" % len(value) + value for tag, value in elements)


def own_bitmap(parts):
    """An 8-byte binary bitmap of the parts' numbers, then the parts in
    ascending order, each already with its length indicator if it has one."""
    bits = bytearray(8)
    for n in parts:
        bits[(n - 1) // 8] |= 0x80 >> ((n - 1) % 8)
    return bytes(bits) + b"".join(parts[n] for n in sorted(parts))


EXAMPLE_PAN = "5123450000000008"
EXAMPLE_CHIP = b"".join([
    tlv("5A", EXAMPLE_PAN),
    tlv("9F02", "000000004500"),
    tlv("9F26", "1F2E3D4C5B6A7988"),
    tlv("9F27", "80"),
    tlv("9F36", "0012"),
])
EXAMPLE_FIELDS = {
    2: length_prefixed(EXAMPLE_PAN.encode(), 2),
    3: b"000000",
    4: b"000000004500",
    7: b"1207101530",
    11: b"000412",
    22: b"051",
    41: b"TERM0003",
    42: b"BOOKSHOP0000003",
    # Name, street and city each end with a backslash; then the postal
    # code (10), the region (3) and the country (3).
    43: length_prefixed(b"CITY BOOKS\\100 MAIN STREET\\SPRINGFIELD\\" + b"62701".ljust(10) + b"IL " + b"USA", 2),
    # The transaction category code, then tags 42 (holding tag 01) and 92.
    48: length_prefixed(b"R" + tagged([(b"42", tagged([(b"01", b"210")])), (b"92", b"123")]), 3),
    49: b"840",
    # Two groups: account type, amount type, currency, sign and amount.
    54: length_prefixed(b"0001840C000000150000" + b"0002840C000000120000", 3),
    # Parts 1 to 3: a character, 15 digits packed into 8 bytes, 4 characters.
    62: length_prefixed(own_bitmap({1: b"Y", 2: bcd("381234567890123"), 3: b"A1B2"}), 3),
    127: length_prefixed(own_bitmap({
        2: length_prefixed(b"SW0000000412", 2),
        20: b"20261207",
        25: length_prefixed(EXAMPLE_CHIP, 4),
    }), 6),
}
LAYOUTS_EXAMPLE = dialect_message(b"0100", bitmap_of(EXAMPLE_FIELDS).hex().upper().encode(),
                                  EXAMPLE_FIELDS)


def field_rows(path):
    """The field lines of a definition file without properties:
    number -> (largest length, length digits)."""
    rows = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            columns = line.split("#")[0].replace(" ", "").split("|")
            if len(columns) == 3 and columns[0].isdigit():
                rows[int(columns[0])] = (int(columns[1]), int(columns[2]))
    return rows


# The largest message a paste of 3,999 characters holds: 1,999 bytes. Every
# field of bitmap.ini up to 120 bytes long is filled to its largest length
# with one digit, and field 55 takes the bytes left: the common elements of
# a purchase, an issuer script of 300 bytes and discretionary data.
MAXIMAL_BYTES = 1999
MAXIMAL_CHIP_FIELD = 55
LONGEST_FILLED_FIELD = 120


def maximal_chip_data(length):
    data = b"".join([
        tlv("9F26", "7A3C1E5B9D20F486"),
        tlv("9F27", "80"),
        tlv("9F10", "0A" * 19),
        tlv("9F37", "5E2D8C11"),
        tlv("9F36", "01A7"),
        tlv("95", "0000048000"),
        tlv("9A", "261207"),
        tlv("9C", "00"),
        tlv("9F02", "000000012850"),
        tlv("5F2A", "0156"),
        tlv("82", "7C00"),
        tlv("9F1A", "0156"),
        tlv("9F33", "E0E1C8"),
        tlv("9F34", "4203"),
        tlv("9F1E", b"12345678"),
        tlv("84", "A000000333010101"),
        tlv("9F71", "86" * 300),
    ])
    rest = length - len(data)
    header = 4 if rest - 3 > 0x7F else 3
    return data + tlv("DF31", "5A" * (rest - header))


def maximal_message(rows):
    filled = {n: bytes([0x30 + n % 10]) * size for n, (size, _) in rows.items()
              if 2 <= n <= 128 and n != MAXIMAL_CHIP_FIELD and size <= LONGEST_FILLED_FIELD}
    framed_bytes = sum(rows[n][1] + len(data) for n, data in filled.items())
    chip_digits = rows[MAXIMAL_CHIP_FIELD][1]
    filled[MAXIMAL_CHIP_FIELD] = maximal_chip_data(MAXIMAL_BYTES - 4 - 16 - framed_bytes - chip_digits)
    variable = {n: digits for n, (_, digits) in rows.items() if digits > 0}
    packed = message(b"0200", filled, variable)
    assert len(packed) == MAXIMAL_BYTES
    return packed


SAMPLES.update({
    "maximal": maximal_message(field_rows("bitmap.ini")),
    "unionpay-pos": UNIONPAY_POS,
    "iso87-binary": ISO87_BINARY,
    "iso87-ascii": ISO87_ASCII,
    "iso93-ascii": ISO93_ASCII,
    "ebcdic": EBCDIC,
    "layouts-example": LAYOUTS_EXAMPLE,
})

for name, data in SAMPLES.items():
    with open("examples/%s.hex" % name, "w") as out:
        out.write(data.hex().upper() + "\n")
