// The definition file reader. It reads the file's bytes itself, the same
// way on every platform: a CR LF pair counts as one line feed and a 0x1A
// byte ends the file, as text-mode reading does on Windows, and lines come
// in pieces of at most 255 characters, as a 256-byte line buffer gives.
#include "decode/definition_file.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "decode/dialect_properties.h"
#include "decode/field_codec.h"
#include "decode/layout_reader.h"
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

// The built-in card data of field `number`.
CardData builtin_card_data(int number) {
  for (const CardDataField& field : kCardDataFields) {
    if (field.field == number) return field.card_data;
  }
  return CardData::kNone;
}

// The format of field `number` from the settings of its line and the
// defaults of the message lines before it. Returns false after writing
// into `reason` why the settings do not fit together or with the length
// digits.
bool resolve_format(int number, int length_digits, const LineSettings& line,
                    const LineSettings& defaults, FieldFormat* format, std::string* reason) {
  format->data = static_cast<DataEncoding>(
      line.get_or(Setting::kData, defaults.get_or(Setting::kData, 0)));
  format->length = static_cast<LengthEncoding>(
      line.get_or(Setting::kLength, defaults.get_or(Setting::kLength, 0)));
  const bool packed = is_packed(format->data);
  const bool track = format->data == DataEncoding::kTrack;
  format->unit = static_cast<LengthUnit>(line.get_or(
      Setting::kUnit, static_cast<int>(packed ? LengthUnit::kDigits : LengthUnit::kBytes)));
  format->left_aligned = line.get_or(Setting::kAlign, track ? 1 : 0) == 1;
  format->pad = static_cast<unsigned char>(line.get_or(Setting::kPad, track ? 0xF : 0));
  format->card_data = static_cast<CardData>(
      line.get_or(Setting::kMask, static_cast<int>(builtin_card_data(number))));
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

// The id of a part's line, "60.1" or "127.25.3", after the blanks of the
// line are gone: a field number and keys after dots; empty when column 1
// is none such.
std::string part_id_of(const char* line) {
  while (*line == '\t' || (*line >= '\v' && *line <= '\r')) ++line;
  const char* end = line + std::strcspn(line, "|");
  const std::string column(line, static_cast<size_t>(end - line));
  const size_t dot = column.find('.');
  if (dot == std::string::npos || dot == 0) return std::string();
  for (size_t k = 0; k < dot; ++k) {
    if (column[k] < '0' || column[k] > '9') return std::string();
  }
  return column;
}

// The columns of a part's line after its id: its length (a number, or '*'
// for the rest of the data) and its length digits.
struct PartColumns {
  int length = 0;
  int length_digits = 0;
};
PartColumns part_columns_of(char* line) {
  int columns[3];
  char* first_bar = std::strchr(line, '|');
  PartColumns part;
  if (first_bar == nullptr) return part;
  const char* length = first_bar + std::strspn(first_bar, "|");
  const bool rest = *length == '*';
  read_columns(first_bar, columns);  // the id is not read as a number
  part.length = rest ? kRestOfData : columns[0];
  part.length_digits = columns[1];
  return part;
}

// Reading one file into one dialect.
class DefinitionReader {
 public:
  DefinitionReader(Dialect* dialect, DefinitionProblems* problems)
      : dialect_(dialect), problems_(problems) {}

  // Whether the first line that is neither blank nor a comment ended the
  // reading.
  bool stopped_at_first_line() const { return stopped_at_first_line_; }

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
        // The rest of the line that ended the reading goes unsaid.
        if (piece_line != stop_line) {
          note(piece_line, "ignored: the reading ended at line " + std::to_string(stop_line), false);
        }
        continue;
      }
      const LineEffect effect = read_line(piece_line, &piece);
      if (!read_any_line_) {
        read_any_line_ = true;
        stopped_at_first_line_ = effect != LineEffect::kContinue;
      }
      if (effect == LineEffect::kContinue) continue;
      if (effect == LineEffect::kInvalid) {
        dialect_->layouts.clear();
        for (FieldDef& def : dialect_->defs) def.layout = -1;
        return -1;
      }
      stop_line = piece_line;
    }
    int layout_line = 0;
    std::string reason;
    if (!check_layouts(dialect_, &layout_line, &reason)) {
      stop_invalid(layout_line, reason, true);
      dialect_->layouts.clear();
      for (FieldDef& def : dialect_->defs) def.layout = -1;
      return -1;
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

  // Reads the properties among `words` into `settings` for a line of
  // `scope`. Returns false after writing into `reason` what is wrong.
  static bool read_properties(const std::vector<std::string_view>& words, Scope scope,
                              LineSettings* settings, std::string* reason) {
    for (std::string_view word : words) {
      if (is_property(word) && !read_property(word, scope, settings, reason)) return false;
    }
    return true;
  }

  // Declares the layout that `settings` describe for what `id` names,
  // whose data has `format` and, when fixed, `fixed_length` units; `depth`
  // is 1 for a field's layout. Returns its index in dialect_->layouts, -1
  // when `settings` declare none, or -2 after writing into `reason` why it
  // cannot be.
  int declare_layout(const std::string& id, int line, int depth, const FieldFormat& format,
                     int fixed_length, const LineSettings& settings, std::string* reason) {
    if (!has_layout_settings(settings)) return -1;
    if (depth > kMaxLayoutDepth) {
      *reason = settings.quoted(Setting::kLayout) + " on '" + id + "': parts nest at most " +
                std::to_string(kMaxLayoutDepth) + " levels deep";
      return -2;
    }
    Layout layout;
    if (!read_layout(settings, &layout, reason)) return -2;
    if (is_packed(format.data) && layout.kind != LayoutKind::kPositional) {
      *reason = settings.quoted(Setting::kLayout) + " cuts bytes, but " + id +
                " holds packed digits: they are cut by layout=positional";
      return -2;
    }
    layout.id = id;
    layout.parts_format = format;
    layout.parts_format.card_data = CardData::kNone;
    layout.line = line;
    layout.depth = depth;
    layout.in_digits = is_packed(format.data);
    layout.fixed_length = fixed_length;
    dialect_->layouts.push_back(std::move(layout));
    const int index = static_cast<int>(dialect_->layouts.size()) - 1;
    layout_of_id_[id] = index;
    return index;
  }

  LineEffect read_line(int line_number, std::string* piece) {
    std::string name = comment_of(*piece);
    // The line as written, before its blanks go: properties are words.
    const std::string raw = piece->substr(0, piece->find('#'));
    const std::vector<std::string_view> words = words_of(raw);
    if (!words.empty() && is_property(words.front())) return read_message_line(line_number, words);

    char* line = strip_blanks(piece->data());
    if (char* comment = std::strchr(line, '#')) *comment = '\0';
    const std::string part_id = part_id_of(line);
    if (!part_id.empty()) return read_part_line(line_number, part_id, line, raw, std::move(name));
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
    LineSettings settings;
    std::string reason;
    FieldFormat format;
    note_near_misses(line_number, raw, words_of(std::string_view(raw).substr(words_start(raw))));
    if (!read_properties(words_of(std::string_view(raw).substr(words_start(raw))), kFieldLine,
                         &settings, &reason) ||
        !resolve_format(number, columns[2], settings, defaults_, &format, &reason)) {
      return stop_invalid(line_number, reason, true);
    }
    const std::string id = std::to_string(number);
    layout_of_id_.erase(id);
    const int layout = declare_layout(id, line_number, 1, format,
                                      columns[2] == 0 ? columns[1] : -1, settings, &reason);
    if (layout == -2) return stop_invalid(line_number, reason, true);
    dialect_->defs[number] = FieldDef{number, columns[1], columns[2], format, layout};
    dialect_->names[number] = std::move(name);
    return number == kFieldRows - 1 ? LineEffect::kStop : LineEffect::kContinue;
  }

  // A part's line: "60.2|6|0 data=bcd # batch number", under the layout of
  // what the id before its last key names.
  LineEffect read_part_line(int line_number, const std::string& id, char* line,
                            const std::string& raw, std::string name) {
    const size_t last_dot = id.rfind('.');
    const std::string parent = id.substr(0, last_dot);
    const int depth = static_cast<int>(std::count(id.begin(), id.end(), '.'));
    if (depth > kMaxLayoutDepth) {
      return stop_invalid(line_number, "'" + id + "': parts nest at most " +
                                           std::to_string(kMaxLayoutDepth) + " levels deep", true);
    }
    const auto found = layout_of_id_.find(parent);
    if (found == layout_of_id_.end()) {
      return stop_invalid(line_number, "'" + id + "': no line before it gives " + parent +
                                           " a layout= to cut it into parts", true);
    }
    const int layout_index = found->second;
    PartDef part;
    part.key = id.substr(last_dot + 1);
    std::string reason;
    if (!read_part_key(dialect_->layouts[layout_index], &part.key, &part.number, &reason)) {
      return stop_invalid(line_number, reason, true);
    }
    const PartColumns columns = part_columns_of(line);
    const Layout& layout = dialect_->layouts[layout_index];
    if ((columns.length < 0 && columns.length != kRestOfData) || columns.length > kMaxFieldLength) {
      return stop_invalid(line_number, "'" + id + "': its length is not 0 to 9999 or *", true);
    }
    const bool variable_allowed = layout.kind == LayoutKind::kBitmap;
    if (columns.length_digits < 0 || columns.length_digits > kMaxLengthDigits ||
        (columns.length_digits > 0 && !variable_allowed)) {
      return stop_invalid(line_number, "'" + id + "': only the parts of layout=bitmap have length digits", true);
    }
    if (columns.length == kRestOfData && layout.kind != LayoutKind::kPositional &&
        layout.kind != LayoutKind::kDelimited) {
      return stop_invalid(line_number, "'" + id + "': only positional and delimited parts take the rest (*)", true);
    }
    LineSettings settings;
    const std::vector<std::string_view> words = words_of(std::string_view(raw).substr(raw.find('|') == std::string::npos ? raw.size() : words_start(raw)));
    if (!read_properties(words, kPartLine, &settings, &reason)) {
      return stop_invalid(line_number, reason, true);
    }
    const std::string canonical = parent + "." + part.key;
    if (!resolve_part_format(layout, settings, columns.length_digits, &part.format, &reason)) {
      return stop_invalid(line_number, "'" + canonical + "': " + reason, true);
    }
    part.length = columns.length;
    part.length_digits = columns.length_digits;
    part.name = std::move(name);
    part.line = line_number;
    const int fixed = columns.length_digits == 0 && layout.kind != LayoutKind::kTagged &&
                              layout.kind != LayoutKind::kTlv && columns.length != kRestOfData
                          ? columns.length
                          : -1;
    layout_of_id_.erase(canonical);
    part.layout = declare_layout(canonical, line_number, depth + 1, part.format, fixed, settings,
                                 &reason);
    if (part.layout == -2) return stop_invalid(line_number, reason, true);
    std::vector<PartDef>& parts = dialect_->layouts[layout_index].parts;
    const auto same = std::find_if(parts.begin(), parts.end(),
                                   [&part](const PartDef& other) { return other.key == part.key; });
    if (same != parts.end()) {
      *same = std::move(part);
    } else {
      parts.push_back(std::move(part));
    }
    return LineEffect::kContinue;
  }

  // The format of a part of `layout` from the settings of its line: by
  // default its parent's encoding; in packed digits, always digits.
  bool resolve_part_format(const Layout& layout, const LineSettings& settings, int length_digits,
                           FieldFormat* format, std::string* reason) const {
    const FieldFormat parent = parent_format(layout);
    if (layout.in_digits) {
      for (Setting setting : {Setting::kData, Setting::kLength, Setting::kUnit, Setting::kAlign,
                              Setting::kPad}) {
        if (settings.has(setting)) {
          *reason = settings.quoted(setting) + ": the parts of packed digits are digits";
          return false;
        }
      }
      *format = FieldFormat{};
      format->data = DataEncoding::kBcd;
      format->unit = LengthUnit::kDigits;
      format->card_data = static_cast<CardData>(settings.get_or(Setting::kMask, 0));
      return true;
    }
    LineSettings inherited;
    inherited.value[static_cast<int>(Setting::kData)] = static_cast<int>(parent.data);
    inherited.value[static_cast<int>(Setting::kLength)] = static_cast<int>(parent.length);
    if (!resolve_format(0, length_digits, settings, inherited, format, reason)) return false;
    format->card_data = static_cast<CardData>(settings.get_or(Setting::kMask, 0));
    return true;
  }

  // The format of what `layout` cuts: its field's, or its part's.
  FieldFormat parent_format(const Layout& layout) const {
    for (const FieldDef& def : dialect_->defs) {
      if (def.number > 0 && def.layout >= 0 && &dialect_->layouts[def.layout] == &layout) {
        return def.format;
      }
    }
    for (const Layout& other : dialect_->layouts) {
      for (const PartDef& part : other.parts) {
        if (part.layout >= 0 && &dialect_->layouts[part.layout] == &layout) return part.format;
      }
    }
    return FieldFormat{};
  }

  LineEffect read_message_line(int line_number, const std::vector<std::string_view>& words) {
    LineSettings settings;
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
    message.header_length = settings.get_or(Setting::kHeader, message.header_length);
    message.bitmap = static_cast<BitmapEncoding>(
        settings.get_or(Setting::kBitmap, static_cast<int>(message.bitmap)));
    message.secondary_when_flagged =
        settings.get_or(Setting::kSecondary, message.secondary_when_flagged ? 1 : 0) == 1;
    message.code_page = static_cast<EbcdicCodePage>(
        settings.get_or(Setting::kEbcdic, static_cast<int>(message.code_page)));
    for (Setting setting : {Setting::kLength, Setting::kData}) {
      if (settings.has(setting)) defaults_.value[static_cast<int>(setting)] = settings[setting];
    }
    return LineEffect::kContinue;
  }

  // Notes the words of a line's notes that were surely meant as properties
  // (`data = bcd`, `data:bcd`, `data= bcd`), and columns separated by tabs
  // (`1<TAB>4<TAB>0`, which reads as 1|0|0), with the line as written.
  void note_near_misses(int line_number, const std::string& raw, const std::vector<std::string_view>& words) {
    for (size_t k = 0; k < words.size(); ++k) {
      const std::string_view word = words[k];
      if (is_property(word) && word.back() != '=') continue;
      const size_t mark = word.find_first_of("=:");
      const std::string_view name = word.substr(0, mark);
      if (!is_property_name(name)) continue;
      std::string value;
      std::string shown(word);
      if (mark != std::string_view::npos && mark + 1 < word.size()) {
        value = std::string(word.substr(mark + 1));  // data:bcd
      } else if (k + 1 < words.size() && (mark != std::string_view::npos || words[k + 1].front() == '=')) {
        // data= bcd, data = bcd, data =bcd
        std::string_view next = words[k + 1];
        shown += " " + std::string(next);
        if (next == "=" && k + 2 < words.size()) {
          shown += " " + std::string(words[k + 2]);
          next = words[k + 2];
          ++k;
        }
        value = std::string(next.front() == '=' ? next.substr(1) : next);
        ++k;
      } else {
        continue;
      }
      note(line_number, "'" + shown + "' is a note: write " + std::string(name) + "=" + value +
                            " for the property", false);
    }
    const size_t start = raw.find_first_not_of(" \t");
    if (start != std::string::npos && raw[start] >= '0' && raw[start] <= '9') {
      const size_t tab = raw.find('\t', start);
      const size_t bar = raw.find('|', start);
      if (tab != std::string::npos && (bar == std::string::npos || tab < bar)) {
        std::string columns = raw.substr(start, raw.find_last_not_of(" \t\r\n") + 1 - start);
        for (char& ch : columns) ch = ch == '\t' ? '|' : ch;
        note(line_number, "columns are separated by '|', not tabs: this line reads as " +
                              std::to_string(std::atoi(raw.c_str() + start)) +
                              " alone; write " + columns, false);
      }
    }
  }

  Dialect* dialect_;
  DefinitionProblems* problems_;
  LineSettings defaults_;  // len= and data= of the message lines so far
  bool read_any_line_ = false;
  bool stopped_at_first_line_ = false;
  // The layout of each id that has one: "60", "127.25".
  std::map<std::string, int> layout_of_id_;
};

}  // namespace

Definitions parse_definitions(std::string_view contents) {
  Definitions definitions;
  definitions.dialect.id = next_dialect_id();
  DefinitionReader reader(&definitions.dialect, &definitions.problems);
  definitions.complete = reader.read(contents) == 0;
  definitions.stopped_at_first_line = reader.stopped_at_first_line();
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
