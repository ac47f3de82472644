// The one-line summary of each message, and requests lined up with their
// responses by connection and STAN.
#include "cli/summary_writer.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "cli/capture_time.h"

namespace {

// The columns, each padded to its width and followed by a blank.
enum Column { kTime, kWhere, kDirection, kMti, kProcessingCode, kAmount, kStan, kResponseCode,
              kResult, kMilliseconds };

// The input forms whose messages can fill a column.
constexpr unsigned form_bit(InputForm form) { return 1u << static_cast<unsigned>(form); }
constexpr unsigned kFromCapture = form_bit(InputForm::kCapture);
constexpr unsigned kFromLines =
    kFromCapture | form_bit(InputForm::kEachLine) | form_bit(InputForm::kHexdump);
constexpr unsigned kFromAll = ~0u;

struct ColumnFormat {
  const char* name;
  size_t width;
  unsigned filled_by;  // the input forms whose messages can give it a value
};

// Wide enough for every value: "where" for "line:" and any line number,
// "direction" for two IPv6 addresses with their ports,
// "[ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff]:65535", and "result" for
// "rejected_odd_digits". A field value longer than its column is cut. A
// column that the input form never fills holds only "-", and is as wide
// as its name.
const ColumnFormat kColumns[] = {
    {"time", 27, kFromCapture}, {"where", 24, kFromLines}, {"direction", 96, kFromCapture},
    {"mti", 4, kFromAll},       {"proc", 6, kFromAll},     {"amount", 12, kFromAll},
    {"stan", 6, kFromAll},      {"rc", 2, kFromAll},       {"result", 19, kFromAll},
    {"ms", 0, kFromAll},
};
static_assert(sizeof kColumns / sizeof kColumns[0] == SummaryWriter::kColumnCount,
              "a width for every column");

struct RejectionName {
  DecodeOutcome outcome;
  const char* name;
};

const RejectionName kRejectionNames[] = {
    {DecodeOutcome::kOddDigitCount, "rejected_odd_digits"},
    {DecodeOutcome::kTooShort, "rejected_too_short"},
    {DecodeOutcome::kNotHex, "rejected_not_hex"},
};

// The most bytes of a field's value read: more than any column holds.
constexpr size_t kLongestValue = 16;

// The last character of a value cut to its column.
constexpr char kCutMark = '~';

}  // namespace

SummaryWriter::SummaryWriter(InputForm form) {
  for (int column = kTime; column <= kMilliseconds; ++column) {
    const ColumnFormat& format = kColumns[column];
    widths_[column] = (format.filled_by & form_bit(form)) != 0 ? format.width : std::strlen(format.name);
  }
}

void SummaryWriter::end_column(int column, size_t start, std::string* text) const {
  const size_t written = text->size() - start;
  if (column == kMilliseconds) {
    *text += '\n';
    return;
  }
  if (written < widths_[column]) text->append(widths_[column] - written, ' ');
  *text += ' ';
}

void SummaryWriter::append_column(int column, std::string_view value, std::string* text) const {
  const size_t start = text->size();
  const size_t width = widths_[column];
  if (value.empty()) {
    *text += '-';
  } else if (width > 0 && value.size() > width) {
    text->append(value.data(), width - 1);
    *text += kCutMark;
  } else {
    text->append(value.data(), value.size());
  }
  end_column(column, start, text);
}

namespace {

// A field's value as one word, or its start when it is long: bytes that
// are no visible ASCII show as '.'.
void field_text(const DecodedField* field, std::string* value) {
  static std::string shown;
  value->clear();
  if (field == nullptr || field->number == 0) return;
  const std::string_view text = shown_value(*field, &shown);
  const size_t kept = text.size() < kLongestValue ? text.size() : kLongestValue;
  for (size_t k = 0; k < kept; ++k) {
    const unsigned char byte = static_cast<unsigned char>(text[k]);
    *value += byte > ' ' && byte < 0x7F ? static_cast<char>(byte) : '.';
  }
}

// Whether `mti` is a message type of 4 digits, as the matching needs.
bool is_digit_type(const std::string& mti) {
  if (mti.size() != 4) return false;
  for (char ch : mti) {
    if (ch < '0' || ch > '9') return false;
  }
  return true;
}

}  // namespace

void PendingRequests::add(long connection, const char* mti, const std::string& stan,
                          int64_t time) {
  auto ring = rings_.find(connection);
  if (ring == rings_.end()) {
    if (rings_.size() >= kConnections) {
      if (connection < rings_.begin()->first) return;
      rings_.erase(rings_.begin());
    }
    ring = rings_.emplace(connection, Ring()).first;
  }
  Request& request = ring->second.requests[ring->second.next];
  ring->second.next = (ring->second.next + 1) % kPerConnection;
  request.waiting = true;
  std::memcpy(request.answer_mti, mti, 4);
  ++request.answer_mti[2];
  request.stan_length = stan.size() < kStanBytes ? stan.size() : kStanBytes;
  std::memcpy(request.stan, stan.data(), request.stan_length);
  request.time = time;
}

bool PendingRequests::take_request(long connection, const char* mti, const std::string& stan,
                                   int64_t* time) {
  auto ring = rings_.find(connection);
  if (ring == rings_.end() || stan.size() > kStanBytes) return false;
  for (size_t k = 0; k < kPerConnection; ++k) {
    Request& request = ring->second.requests[(ring->second.next + k) % kPerConnection];
    if (request.waiting && std::memcmp(request.answer_mti, mti, 4) == 0 &&
        request.stan_length == stan.size() &&
        std::memcmp(request.stan, stan.data(), stan.size()) == 0) {
      request.waiting = false;
      *time = request.time;
      return true;
    }
  }
  return false;
}

void SummaryWriter::start_line(const MessageOrigin& origin, std::string* text) {
  if (!heading_written_) {
    heading_written_ = true;
    for (int column = kTime; column <= kMilliseconds; ++column) {
      append_column(column, kColumns[column].name, text);
    }
  }
  append_column(kTime, origin.time, text);
  size_t start = text->size();
  if (!origin.time.empty()) {
    *text += std::to_string(origin.connection);
    *text += '#';
    *text += std::to_string(origin.sequence);
  } else if (origin.line > 0) {
    *text += "line:";
    *text += std::to_string(origin.line);
  } else {
    *text += '-';
  }
  end_column(kWhere, start, text);
  start = text->size();
  if (!origin.time.empty()) {
    *text += origin.source;
    *text += "->";
    *text += origin.destination;
  } else {
    *text += '-';
  }
  end_column(kDirection, start, text);
}

void SummaryWriter::write_decoded(const MessageOrigin& origin, size_t, DecodeOutcome,
                                  const DecodedMessage& message, Output* output) {
  std::string* text = output->pending();
  start_line(origin, text);
  field_text(&message.type_indicator, &mti_);
  append_column(kMti, mti_, text);
  const Column columns[] = {kProcessingCode, kAmount, kStan, kResponseCode};
  const int numbers[] = {3, 4, 11, 39};
  for (int k = 0; k < 4; ++k) {
    field_text(message.find(numbers[k]), &value_);
    append_column(columns[k], value_, text);
    if (numbers[k] == 11) stan_ = value_;
  }
  append_column(kResult, unpack_result_name(message.verdict.result), text);

  char milliseconds[32] = "";
  int64_t time = -1;
  if (is_digit_type(mti_) && !stan_.empty()) {
    parse_capture_time(origin.time, &time);
    int64_t request_time;
    if ((mti_[2] - '0') % 2 == 0) {
      pending_.add(origin.connection, mti_.data(), stan_, time);
    } else if (pending_.take_request(origin.connection, mti_.data(), stan_, &request_time) &&
               time >= 0 && request_time >= 0) {
      std::snprintf(milliseconds, sizeof milliseconds, "%.3f",
                    static_cast<double>(time - request_time) / 1000);
    }
  }
  append_column(kMilliseconds, milliseconds, text);
  output->maybe_flush();
}

void SummaryWriter::write_rejected(const MessageOrigin& origin, const Refusal& refusal,
                                   Output* output) {
  std::string* text = output->pending();
  start_line(origin, text);
  for (int column = kMti; column <= kResponseCode; ++column) append_column(column, "", text);
  for (const RejectionName& rejection : kRejectionNames) {
    if (rejection.outcome == refusal.outcome) append_column(kResult, rejection.name, text);
  }
  append_column(kMilliseconds, "", text);
  output->maybe_flush();
}

std::unique_ptr<MessageWriter> make_summary_writer(InputForm form) {
  return std::make_unique<SummaryWriter>(form);
}
