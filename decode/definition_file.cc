// The definition file reader. It reads the file's bytes itself, the same
// way on every platform: a CR LF pair counts as one line feed and a 0x1A
// byte ends the file, as text-mode reading does on Windows, and lines come
// in pieces of at most 255 characters, as a 256-byte line buffer gives.
#include "decode/definition_file.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "decode/dialect_properties.h"
#include "decode/field_codec.h"
#include "decode/strip_blanks.h"

namespace {

constexpr size_t kLinePieceLength = 255;
constexpr char kEndOfFile = 0x1A;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The fields that hold card data in every dialect, unless their line says
// otherwise.
struct CardDataField {
  int field;
  CardData card_data;
};
constexpr CardDataField kCardDataFields[] = {
    {2, CardData::kPan},      // primary account number
    {34, CardData::kPan},     // extended primary account number
    {35, CardData::kPan},     // track 2 data
    {36, CardData::kPan},     // track 3 data
    {45, CardData::kPan},     // track 1 data
    {52, CardData::kSecret},  // PIN data
};

constexpr int kUnset = -1;

// The settings of one line, each kUnset until a property sets it.
struct Settings {
  int of[static_cast<int>(Setting::kCount)];
  Settings() {
    for (int& value : of) value = kUnset;
  }
  int& operator[](Setting setting) { return of[static_cast<int>(setting)]; }
  int operator[](Setting setting) const { return of[static_cast<int>(setting)]; }
};

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

bool is_blank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

// Whether a line holds nothing to read: only blanks (tabs too), or a
// comment after them.
bool is_empty_or_comment(const std::string& piece) {
  for (char ch : piece) {
    if (!is_blank(ch)) return ch == '#';
  }
  return true;
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

// The comment after the first '#' of `piece`, without the blanks around it.
std::string comment_of(const std::string& piece) {
  const size_t hash = piece.find('#');
  if (hash == std::string::npos) return std::string();
  static const char kBlanks[] = " \t\r\n";
  const size_t first = piece.find_first_not_of(kBlanks, hash + 1);
  if (first == std::string::npos) return std::string();
  return piece.substr(first, piece.find_last_not_of(kBlanks) + 1 - first);
}

// Where the words after a definition's numbers begin in `line` (cut at its
// comment): after the leading number of the last of its first three
// columns. Columns are separated as read_columns separates them once the
// blanks are gone, so a run of blanks between separators is no column.
size_t words_start(std::string_view line) {
  size_t at = 0;
  size_t after_number = 0;
  for (int column = 0; column < 3;) {
    while (at < line.size() && (line[at] == '|' || is_blank(line[at]))) ++at;
    if (at == line.size()) break;
    if (line[at] == '-' || line[at] == '+') ++at;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9') ++at;
    after_number = at;
    if (++column == 3) break;
    while (at < line.size() && line[at] != '|') ++at;
  }
  return after_number;
}

// Splits `text` into its words: runs of characters between blanks and '|'.
std::vector<std::string_view> words_of(std::string_view text) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && (text[at] == '|' || is_blank(text[at]))) ++at;
    const size_t start = at;
    while (at < text.size() && text[at] != '|' && !is_blank(text[at])) ++at;
    if (at > start) words.push_back(text.substr(start, at - start));
  }
  return words;
}

// Whether `word` has the form of a property: a name, '=' and a value.
bool is_property(std::string_view word) {
  const size_t equals = word.find('=');
  if (equals == std::string_view::npos || equals == 0) return false;
  const char first = word[0];
  if (!((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z'))) return false;
  for (char ch : word.substr(0, equals)) {
    const bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
    if (!letter && ch != '-' && ch != '_' && !(ch >= '0' && ch <= '9')) return false;
  }
  return true;
}

std::string lower_case(std::string_view text) {
  std::string lower(text);
  for (char& ch : lower) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return lower;
}

// Reads the property `word` of a line of `scope` into `settings`. Returns
// false after writing into `reason` what is wrong.
bool read_property(std::string_view word, Scope scope, Settings* settings, std::string* reason) {
  const size_t equals = word.find('=');
  const std::string name = lower_case(word.substr(0, equals));
  const std::string value = lower_case(word.substr(equals + 1));
  const std::string quoted = "'" + std::string(word) + "'";
  for (int row = 0; row < kPropertyNameCount; ++row) {
    const PropertyName& property = kPropertyNames[row];
    if (name != property.name) continue;
    if ((property.scopes & scope) == 0) {
      *reason = quoted + (scope == kFieldLine ? ": describes the whole message; give it a line of its own"
                                              : ": describes one field; give it on that field's line");
      return false;
    }
    if (property.setting == Setting::kHeader) {
      const bool digits = !value.empty() && value.size() <= 4 &&
                          value.find_first_not_of("0123456789") == std::string::npos;
      if (digits && read_decimal(value.c_str()) <= kMaxHeaderLength) {
        (*settings)[property.setting] = read_decimal(value.c_str());
        return true;
      }
    } else {
      for (int value_row = 0; value_row < kPropertyValueCount; ++value_row) {
        const PropertyValue& known = kPropertyValues[value_row];
        if (known.setting == property.setting && value == known.value) {
          (*settings)[property.setting] = known.code;
          return true;
        }
      }
    }
    *reason = quoted + ": " + property.name + " is " + property.values;
    return false;
  }
  *reason = "unknown property " + quoted;
  return false;
}

// The built-in card data of field `number`.
CardData builtin_card_data(int number) {
  for (const CardDataField& field : kCardDataFields) {
    if (field.field == number) return field.card_data;
  }
  return CardData::kNone;
}

int setting_or(const Settings& settings, Setting setting, int fallback) {
  return settings[setting] != kUnset ? settings[setting] : fallback;
}

// The format of field `number` from the settings of its line and the
// defaults of the message lines before it. Returns false after writing
// into `reason` why the settings do not fit together or with the length
// digits.
bool resolve_format(int number, int length_digits, const Settings& line, const Settings& defaults,
                    FieldFormat* format, std::string* reason) {
  format->data = static_cast<DataEncoding>(
      setting_or(line, Setting::kData, setting_or(defaults, Setting::kData, 0)));
  format->length = static_cast<LengthEncoding>(
      setting_or(line, Setting::kLength, setting_or(defaults, Setting::kLength, 0)));
  const bool packed = is_packed(format->data);
  const bool track = format->data == DataEncoding::kTrack;
  format->unit = static_cast<LengthUnit>(setting_or(
      line, Setting::kUnit, static_cast<int>(packed ? LengthUnit::kDigits : LengthUnit::kBytes)));
  format->left_aligned = setting_or(line, Setting::kAlign, track ? 1 : 0) == 1;
  format->pad = static_cast<unsigned char>(setting_or(line, Setting::kPad, track ? 0xF : 0));
  format->card_data = static_cast<CardData>(
      setting_or(line, Setting::kMask, static_cast<int>(builtin_card_data(number))));
  if (format->unit == LengthUnit::kDigits && !packed) {
    *reason = "'unit=digits' needs packed data: data=bcd, track or amount-bcd";
    return false;
  }
  if (format->length == LengthEncoding::kBcd && length_digits > 4) {
    *reason = "len=bcd holds at most 4 digits, not " + std::to_string(length_digits);
    return false;
  }
  if (format->length == LengthEncoding::kBinary && length_digits > 2) {
    *reason = "len=binary is 1 or 2 bytes, not " + std::to_string(length_digits);
    return false;
  }
  return true;
}

unsigned next_dialect_id() {
  static std::atomic<unsigned> last_id{0};
  return ++last_id;
}

// Reading one file into one dialect.
class DefinitionReader {
 public:
  DefinitionReader(Dialect* dialect, DefinitionProblems* problems)
      : dialect_(dialect), problems_(problems) {}

  // Reads the whole contents; returns 0 or -1 as parse_definitions does.
  int read(std::string_view contents) {
    if (contents.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
      contents.remove_prefix(kByteOrderMark.size());
    }
    size_t position = 0;
    std::string piece;
    int line = 1;
    int stop_line = 0;  // the line that ended the reading
    while (read_line_piece(contents, &position, &piece)) {
      const int piece_line = line;
      if (piece.back() == '\n') ++line;
      if (is_empty_or_comment(piece)) continue;
      if (stop_line != 0) {
        note(piece_line, "ignored: the reading ended at line " + std::to_string(stop_line), false);
        continue;
      }
      const LineEffect effect = read_line(piece_line, &piece);
      if (effect == LineEffect::kContinue) continue;
      if (effect == LineEffect::kInvalid) return -1;
      stop_line = piece_line;
    }
    return 0;
  }

 private:
  enum class LineEffect { kContinue, kStop, kInvalid };

  void note(int line, std::string reason, bool is_error) {
    problems_->push_back({line, std::move(reason), is_error});
  }

  LineEffect stop_invalid(int line, std::string reason, bool is_error) {
    note(line, std::move(reason) + (is_error ? "" : ": the reading stops here"), is_error);
    return LineEffect::kInvalid;
  }

  LineEffect read_line(int line_number, std::string* piece) {
    std::string name = comment_of(*piece);
    // The line as written, before its blanks go: properties are words.
    const std::string raw = piece->substr(0, piece->find('#'));
    const std::vector<std::string_view> words = words_of(raw);
    if (!words.empty() && is_property(words.front())) return read_message_line(line_number, words);

    char* line = strip_blanks(piece->data());
    if (char* comment = std::strchr(line, '#')) *comment = '\0';
    int columns[3];
    read_columns(line, columns);
    const int number = columns[0];
    if (number < 1) {
      return stop_invalid(line_number, "not a definition (a field number from 1 to 128, or name=value properties)", false);
    }
    if (number >= kFieldRows) {
      note(line_number, "field " + std::to_string(number) + " is above 128: the reading stops here", false);
      return LineEffect::kStop;
    }
    if (columns[1] < 0 || columns[1] > kMaxFieldLength) {
      return stop_invalid(line_number, "maximum length " + std::to_string(columns[1]) + " is not 0 to 9999", false);
    }
    if (columns[2] < 0 || columns[2] > kMaxLengthDigits) {
      return stop_invalid(line_number, std::to_string(columns[2]) + " length digits: at most 6", false);
    }
    Settings settings;
    std::string reason;
    for (std::string_view word : words_of(std::string_view(raw).substr(words_start(raw)))) {
      if (is_property(word) && !read_property(word, kFieldLine, &settings, &reason)) {
        return stop_invalid(line_number, reason, true);
      }
    }
    FieldFormat format;
    if (!resolve_format(number, columns[2], settings, defaults_, &format, &reason)) {
      return stop_invalid(line_number, reason, true);
    }
    dialect_->defs[number] = FieldDef{number, columns[1], columns[2], format};
    dialect_->names[number] = std::move(name);
    return number == kFieldRows - 1 ? LineEffect::kStop : LineEffect::kContinue;
  }

  LineEffect read_message_line(int line_number, const std::vector<std::string_view>& words) {
    Settings settings;
    std::string reason;
    for (std::string_view word : words) {
      if (!is_property(word)) {
        return stop_invalid(line_number, "'" + std::string(word) + "' on a line of properties is not a property", true);
      }
      if (!read_property(word, kMessageLine, &settings, &reason)) {
        return stop_invalid(line_number, reason, true);
      }
    }
    MessageFormat& message = dialect_->message;
    message.header_length = setting_or(settings, Setting::kHeader, message.header_length);
    message.bitmap = static_cast<BitmapEncoding>(
        setting_or(settings, Setting::kBitmap, static_cast<int>(message.bitmap)));
    message.secondary_when_flagged =
        setting_or(settings, Setting::kSecondary, message.secondary_when_flagged ? 1 : 0) == 1;
    message.code_page = static_cast<EbcdicCodePage>(
        setting_or(settings, Setting::kEbcdic, static_cast<int>(message.code_page)));
    for (Setting setting : {Setting::kLength, Setting::kData}) {
      if (settings[setting] != kUnset) defaults_[setting] = settings[setting];
    }
    return LineEffect::kContinue;
  }

  Dialect* dialect_;
  DefinitionProblems* problems_;
  Settings defaults_;  // len= and data= of the message lines so far
};

}  // namespace

Definitions parse_definitions(std::string_view contents) {
  Definitions definitions;
  definitions.dialect.id = next_dialect_id();
  definitions.complete =
      DefinitionReader(&definitions.dialect, &definitions.problems).read(contents) == 0;
  return definitions;
}

bool Definitions::trusted() const {
  for (const DefinitionProblem& problem : problems) {
    if (problem.is_error) return false;
  }
  return true;
}

std::string problem_text(std::string_view path, const DefinitionProblem& problem) {
  return std::string(path) + ":" + std::to_string(problem.line) + ": " + problem.reason;
}

bool read_definition_file(const char* path, std::string* contents) {
  contents->clear();
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
