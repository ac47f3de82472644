// Capture test helpers.
#include "tests/capture_test_support.h"

#include <arpa/inet.h>

#include <fstream>
#include <iterator>

#include "decode/message_text.h"
#include "gtest/gtest.h"

Endpoint endpoint(const std::string& address, uint16_t port) {
  Endpoint result;
  result.port = port;
  if (address.find(':') != std::string::npos) {
    result.family = 6;
    EXPECT_EQ(inet_pton(AF_INET6, address.c_str(), result.address), 1) << address;
  } else {
    EXPECT_EQ(inet_pton(AF_INET, address.c_str(), result.address), 1) << address;
  }
  return result;
}

std::string framed(const std::string& message, const std::string& frame) {
  const size_t length = message.size();
  if (frame == "ascii4") {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04zu", length);
    return digits + message;
  }
  const char high = static_cast<char>(length >> 8), low = static_cast<char>(length);
  return (frame == "len2le" ? std::string{low, high} : std::string{high, low}) + message;
}

std::string sample_bytes(const std::string& name) {
  std::ifstream file(std::string(SOURCE_DIR) + "/examples/" + name + ".hex");
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::string bytes;
  EXPECT_EQ(read_message_text(text, 0, &bytes).ending, TextEnding::kMessage) << name;
  return bytes;
}

TestConnection::TestConnection(CaptureWriter* writer, Endpoint client, Endpoint server)
    : writer_(writer), ends_{client, server} {}

void TestConnection::handshake(int64_t time) {
  send_at(true, next_[0] - 1, "", time, kTcpSyn);
  send_at(false, next_[1] - 1, "", time, kTcpSyn | kTcpAck);
  send_at(true, next_[0], "", time, kTcpAck);
}

uint32_t TestConnection::send(bool from_client, const std::string& payload, int64_t time,
                              bool push) {
  const uint32_t sequence = next_sequence(from_client);
  send_at(from_client, sequence, payload, time, push ? kTcpAck | kTcpPush : kTcpAck);
  skip(from_client, payload.size());
  return sequence;
}

void TestConnection::send_at(bool from_client, uint32_t sequence, const std::string& payload,
                             int64_t time, uint8_t flags) {
  OutgoingSegment segment;
  segment.time = time;
  segment.source = ends_[from_client ? 0 : 1];
  segment.destination = ends_[from_client ? 1 : 0];
  segment.sequence = sequence;
  segment.acknowledgement = next_[from_client ? 1 : 0];
  segment.flags = flags;
  segment.payload = payload;
  writer_->write(segment);
}

void TestConnection::close(int64_t time) {
  send_at(true, next_[0], "", time, kTcpFin | kTcpAck);
  send_at(false, next_[1], "", time, kTcpFin | kTcpAck);
  send_at(true, next_[0] + 1, "", time, kTcpAck);
}

CaptureRead read_capture(const CaptureOptions& options, size_t byte_limit) {
  CaptureRead read;
  auto source = open_capture_source(options, byte_limit, &read.error,
                                    [&read](const std::string& note) { read.notes.push_back(note); });
  if (source == nullptr) return read;
  SourceMessage message;
  while (source->next(&message)) read.messages.push_back(message);
  return read;
}

std::string capture_path(const std::string& name) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string path = std::string(test->test_suite_name()) + "_" + test->name() + "_" + name;
  for (char& ch : path) {
    if (ch == '/') ch = '_';
  }
  return ::testing::TempDir() + path;
}

std::string summary_line(const std::vector<std::string>& columns) {
  const size_t widths[] = {27, 24, 96, 4, 6, 12, 6, 2, 19};
  std::string line;
  for (size_t k = 0; k < columns.size(); ++k) {
    line += columns[k];
    if (k + 1 == columns.size()) break;
    if (k < 9 && columns[k].size() < widths[k]) line.append(widths[k] - columns[k].size(), ' ');
    line += ' ';
  }
  return line + "\n";
}

std::string summary_heading() {
  return summary_line(
      {"time", "where", "direction", "mti", "proc", "amount", "stan", "rc", "result", "ms"});
}
