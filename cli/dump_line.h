// One line of a hex dump as tools and logs print it, told apart from any
// other line: its offset and its bytes, a repeat mark, the dump's closing
// length, or a line of bare digits. The character column is never read as
// bytes.
//
// A line counts as a dump line when, after optional leading blanks and with
// trailing blanks and CR removed, it is one of:
//   - bytes, colon form (xxd, xxd -g1, tcpdump -X and -xx, logs): an offset
//     of 2 to 8 hex digits, optionally after "0x", ':', then groups of an
//     even number of hex digits (bytes in order: "3032 3030" or
//     "30 32 30 30") separated by single spaces; two spaces or a tab end
//     the bytes, and the character column after them is ignored;
//   - bytes, spaced form (hexdump -C, od -A x -t x1z, Wireshark's "copy as
//     hex dump"): an offset of 2 to 8 hex digits, then single bytes of two
//     hex digits separated by runs of one or two blanks, then optionally
//     the character column: "|...|", ">...<", or anything after three or
//     more blanks. Groups of four digits are refused here: hexdump and od
//     print those as little-endian words, not bytes in order;
//   - repeat: "*" alone, hexdump's and od's mark for "the line before
//     repeats up to the next offset";
//   - end: an odd number (2 to 7) of hex digits alone, the total length that
//     hexdump and od print last;
//   - bare digits (xxd -p): an even number of hex digits alone; 2 to 8 of
//     them may also be a closing length.
// A bytes line may stand behind a log prefix such as a timestamp and a
// level ("2026-12-07 09:30:15 DEBUG 0000: 30 32 ..."): then its offset has
// at least 4 digits and starts one of the line's first few words.
// Hex digits may be upper or lower case.
#ifndef CLI_DUMP_LINE_H_
#define CLI_DUMP_LINE_H_

#include <cstdint>
#include <string>
#include <string_view>

// What a line is.
enum class DumpLineKind {
  kNone,    // not a dump line
  kBytes,   // an offset and at least one byte
  kRepeat,  // "*"
  kEnd,     // an offset alone
  kDigits,  // bare hexadecimal digits: bytes without an offset
};

// A parsed line; `bytes` keeps its capacity from line to line.
struct DumpLine {
  DumpLineKind kind = DumpLineKind::kNone;
  uint32_t offset = 0;  // kBytes: of the first byte; kEnd and a short kDigits: the dump's length
  std::string bytes;    // kBytes and kDigits: the line's bytes
  bool may_be_length = false;  // kDigits: 2 to 8 digits, which may be a closing length
};

// Parses `text`, one line without its line feed, into `line`; returns
// line->kind.
DumpLineKind parse_dump_line(std::string_view text, DumpLine* line);

#endif  // CLI_DUMP_LINE_H_
