// Writing the table of a guess.
#include "guess/guess_table.h"

#include <array>

#include "guess/framing.h"

namespace {

// The columns, and whether each is aligned to the right (numbers).
constexpr int kColumns = 7;
struct Column {
  const char* heading;
  bool right_aligned;
};
constexpr Column kTableColumns[kColumns] = {
    {"dialect", false}, {"framing", false}, {"result", false},        {"fields", true},
    {"passed", true},   {"failed", true},   {"failed checks", false},
};

using Row = std::array<std::string, kColumns>;

// The result of `reading` over `messages` messages, in words.
std::string result_text(const Reading& reading, long messages) {
  if (messages > 1) {
    return std::to_string(reading.complete) + " of " + std::to_string(messages) + " complete";
  }
  if (!reading.has_incomplete) return "complete";
  const UnpackVerdict& verdict = reading.first_incomplete;
  if (verdict.result != UnpackResult::kUnpacked) return unpack_result_name(verdict.result);
  const size_t left = reading.first_byte_count - static_cast<size_t>(verdict.end_offset);
  return std::to_string(left) + (left == 1 ? " byte left" : " bytes left");
}

// The checks that failed, by name, with their count when above 1:
// "mti digits:3 luhn".
std::string failed_checks_text(const CheckTally& checks) {
  std::string text;
  for (int kind = 0; kind < kCheckCount; ++kind) {
    const long failed = checks.failed[kind];
    if (failed == 0) continue;
    if (!text.empty()) text += ' ';
    text += kCheckNames[kind];
    if (failed > 1) text += ':' + std::to_string(failed);
  }
  return text;
}

Row row_of(const DialectGuess& guess, const Reading& reading) {
  return Row{guess.candidates()[static_cast<size_t>(reading.candidate)].name,
             kFramings[reading.framing].name,
             result_text(reading, guess.messages()),
             std::to_string(reading.fields),
             std::to_string(reading.checks.total_passed()),
             std::to_string(reading.checks.total_failed()),
             failed_checks_text(reading.checks)};
}

void append_row(const Row& row, const std::array<size_t, kColumns>& widths, std::string* text) {
  std::string line;
  for (int column = 0; column < kColumns; ++column) {
    const std::string& cell = row[column];
    const std::string padding(widths[column] - cell.size(), ' ');
    if (column > 0) line += "  ";
    line += kTableColumns[column].right_aligned ? padding + cell : cell + padding;
  }
  line.erase(line.find_last_not_of(' ') + 1);
  *text += line;
  *text += '\n';
}

}  // namespace

void write_guess_table(const DialectGuess& guess, const std::vector<Reading>& ranking,
                       size_t max_rows, std::string* text) {
  std::vector<Row> rows;
  Row heading;
  for (int column = 0; column < kColumns; ++column) heading[column] = kTableColumns[column].heading;
  rows.push_back(heading);
  for (size_t k = 0; k < ranking.size() && k < max_rows; ++k) {
    rows.push_back(row_of(guess, ranking[k]));
  }
  std::array<size_t, kColumns> widths{};
  for (const Row& row : rows) {
    for (int column = 0; column < kColumns; ++column) {
      if (row[column].size() > widths[column]) widths[column] = row[column].size();
    }
  }
  for (const Row& row : rows) append_row(row, widths, text);
  if (ranking.size() > max_rows) {
    const size_t more = ranking.size() - max_rows;
    *text += "and " + std::to_string(more) + (more == 1 ? " reading" : " readings") + " more\n";
  }
}
