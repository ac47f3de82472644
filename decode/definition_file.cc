// The definition file reader. It reads the file's bytes itself, the same
// way on every platform: a CR LF pair counts as one line feed and a 0x1A
// byte ends the file, as text-mode reading does on Windows, and lines come
// in pieces of at most 255 characters, as a 256-byte line buffer gives.
#include "decode/definition_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "decode/error_report.h"
#include "decode/field_table.h"
#include "decode/strip_blanks.h"

namespace {

constexpr size_t kLinePieceLength = 255;
constexpr char kEndOfFile = 0x1A;

// Reads one line piece of `contents` from `*position`: up to and including
// a line feed, at most kLinePieceLength characters, a CR LF pair read as a
// single line feed. Returns false at the end of the contents.
bool read_line_piece(std::string_view contents, size_t* position, std::string* piece) {
  piece->clear();
  size_t at = *position;
  while (at < contents.size() && contents[at] != kEndOfFile && piece->size() < kLinePieceLength) {
    char ch = contents[at++];
    if (ch == '\r' && at < contents.size() && contents[at] == '\n') continue;
    piece->push_back(ch);
    if (ch == '\n') break;
  }
  *position = at;
  return !piece->empty();
}

// Reads a decimal integer as atoi does (leading white space, a sign, then
// digits up to the first non-digit; 0 without digits), saturating instead
// of overflowing.
int read_decimal(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  int64_t magnitude = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (magnitude <= INT32_MAX) magnitude = magnitude * 10 + (*text - '0');
  }
  if (magnitude > INT32_MAX) magnitude = INT32_MAX;
  return static_cast<int>(negative ? -magnitude : magnitude);
}

// Splits `line` in place at '|' as strtok does (runs of separators count as
// one, no empty column) and reads the first three columns; a missing column
// reads as 0.
void read_columns(char* line, int columns[3]) {
  char* cursor = line;
  for (int c = 0; c < 3; ++c) {
    cursor += std::strspn(cursor, "|");
    char* column_end = cursor + std::strcspn(cursor, "|");
    bool more = *column_end != '\0';
    *column_end = '\0';
    columns[c] = read_decimal(cursor);
    cursor = more ? column_end + 1 : column_end;
  }
}

bool is_valid_framing(int max_length, int length_digits) {
  return max_length >= 0 && max_length <= kMaxFieldLength && length_digits >= 0 &&
         length_digits <= kMaxLengthDigits;
}

// How reading goes on after one definition line.
enum class LineEffect { kContinue, kStop, kInvalid };

// Why a line is invalid.
constexpr char kNumberBelowOne[] = "field number below 1";
constexpr char kBadFraming[] = "maximum length not 0 to 9999 or length digits not 0 to 4";

// The comment after the first '#' of `piece`, without the blanks around it.
std::string comment_of(const std::string& piece) {
  const size_t hash = piece.find('#');
  if (hash == std::string::npos) return std::string();
  static const char kBlanks[] = " \t\r\n";
  const size_t first = piece.find_first_not_of(kBlanks, hash + 1);
  if (first == std::string::npos) return std::string();
  return piece.substr(first, piece.find_last_not_of(kBlanks) + 1 - first);
}

// Reads one line piece; `*reason` receives why it is invalid.
LineEffect read_definition_line(std::string* piece, const char** reason) {
  std::string name = comment_of(*piece);
  char* line = strip_blanks(piece->data());
  if (line[0] == '\0' || line[0] == '#') return LineEffect::kContinue;
  if (char* comment = std::strchr(line, '#')) *comment = '\0';
  int columns[3];
  read_columns(line, columns);
  const int number = columns[0];
  if (number < 1) {
    *reason = kNumberBelowOne;
    return LineEffect::kInvalid;
  }
  if (number >= kFieldRows) return LineEffect::kStop;
  if (!is_valid_framing(columns[1], columns[2])) {
    *reason = kBadFraming;
    return LineEffect::kInvalid;
  }
  field_defs[number] = FieldDef{number, columns[1], columns[2]};
  field_names[number] = std::move(name);
  return number == kFieldRows - 1 ? LineEffect::kStop : LineEffect::kContinue;
}

void clear_field_defs() {
  ++field_defs_generation;
  for (FieldDef& def : field_defs) def = FieldDef{0, 0, 0};
  for (std::string& name : field_names) name.clear();
}

// Reads the file at `path` into `contents`. Returns false, with errno
// telling why, when it cannot be opened or read (a directory opens on some
// systems but cannot be read).
bool read_whole_file(const char* path, std::string* contents) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  char buffer[4096];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents->append(buffer, count);
  const bool read_all = !std::ferror(file);
  const int reason = errno;
  std::fclose(file);
  errno = reason;
  return read_all;
}

}  // namespace

int parse_field_defs(std::string_view contents, DefinitionProblem* problem) {
  clear_field_defs();
  int result = 0;
  size_t position = 0;
  std::string piece;
  long next_line = 1;  // a long line comes in several pieces
  while (read_line_piece(contents, &position, &piece)) {
    const long line = next_line;
    if (piece.back() == '\n') ++next_line;
    const char* reason = "";
    LineEffect effect = read_definition_line(&piece, &reason);
    if (effect == LineEffect::kContinue) continue;
    if (effect == LineEffect::kInvalid) {
      result = -1;
      if (problem != nullptr) *problem = DefinitionProblem{line, reason};
    }
    break;
  }
  alloc_field_storage();
  return result;
}

int load_field_defs(const char* path, DefinitionProblem* problem) {
  std::string contents;
  if (!read_whole_file(path, &contents)) {
    const int reason = errno;
    clear_field_defs();
    alloc_field_storage();
    errno = reason;  // for a reporter that tells why
    report_error("fopen error");
    return -1;
  }
  return parse_field_defs(contents, problem);
}
