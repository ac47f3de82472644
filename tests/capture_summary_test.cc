// The --summary output: one line a message, a response lined up with its
// request by connection and STAN.
#include <cstdio>
#include <string>

#include "cli/summary_writer.h"
#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "gtest/gtest.h"
#include "tests/capture_test_support.h"
#include "tests/process_support.h"

namespace {

MessageOrigin captured(const std::string& time, long connection, long sequence, bool request) {
  MessageOrigin origin;
  origin.time = time;
  origin.source = request ? "10.0.0.1:40000" : "10.0.0.2:8583";
  origin.destination = request ? "10.0.0.2:8583" : "10.0.0.1:40000";
  origin.connection = connection;
  origin.sequence = sequence;
  return origin;
}

class SummaryTest : public ::testing::Test {
 protected:
  // Decodes `bytes` and writes its line.
  void write(const MessageOrigin& origin, const std::string& bytes) {
    const DecodeOutcome outcome = decoder_.decode(
        reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &message_);
    writer_.write_decoded(origin, bytes.size(), outcome, message_, &output_);
  }

  // The lines written, without the heading.
  std::string lines() {
    const std::string& text = *output_.pending();
    return text.substr(text.find('\n') + 1);
  }

  // A decoder of `contents`, a definition file.
  static Decoder decoder_of(const std::string& contents) {
    return Decoder(parse_definitions(contents).dialect);
  }

  Decoder decoder_ = decoder_of(slurp(std::string(SOURCE_DIR) + "/bitmap.ini"));
  std::FILE* sink_ = std::tmpfile();
  Output output_{sink_, OutputEncoding::kUtf8};
  SummaryWriter writer_{InputForm::kCapture};
  DecodedMessage message_;
  const std::string purchase_ = sample_bytes("purchase");
  const std::string response_ = sample_bytes("response");
};

TEST_F(SummaryTest, ResponseLinesUpWithItsRequest) {
  write(captured("2026-12-07T09:30:15.010000Z", 1, 1, true), purchase_);
  write(captured("2026-12-07T09:30:15.035500Z", 1, 2, false), response_);
  EXPECT_EQ(*output_.pending(),
            summary_heading() +
                summary_line({"2026-12-07T09:30:15.010000Z", "1#1", "10.0.0.1:40000->10.0.0.2:8583",
                              "0200", "000000", "000000012850", "000371", "-", "unpacked", "-"}) +
                summary_line({"2026-12-07T09:30:15.035500Z", "1#2", "10.0.0.2:8583->10.0.0.1:40000",
                              "0210", "000000", "000000012850", "000371", "00", "unpacked",
                              "25.500"}));
}

TEST_F(SummaryTest, ResponseOfAnotherConnectionOrTypeOrForgottenRequestHasNoTime) {
  write(captured("2026-12-07T09:30:15.000000Z", 1, 1, true), purchase_);
  write(captured("2026-12-07T09:30:15.001000Z", 2, 1, false), response_);
  // 65 requests with the same STAN: the first is no longer waiting.
  for (size_t k = 0; k <= PendingRequests::kPerConnection; ++k) {
    write(captured("2026-12-07T09:30:16.000000Z", 3, 1, true), purchase_);
  }
  std::string text = lines();
  write(captured("2026-12-07T09:30:17.000000Z", 3, 2, false), response_);
  EXPECT_EQ(lines().substr(text.size()),
            summary_line({"2026-12-07T09:30:17.000000Z", "3#2", "10.0.0.2:8583->10.0.0.1:40000",
                          "0210", "000000", "000000012850", "000371", "00", "unpacked",
                          "1000.000"}));
  EXPECT_NE(text.find(summary_line({"2026-12-07T09:30:15.001000Z", "2#1",
                                    "10.0.0.2:8583->10.0.0.1:40000", "0210", "000000",
                                    "000000012850", "000371", "00", "unpacked", "-"})),
            std::string::npos);
}

TEST_F(SummaryTest, OtherSourcesFailuresAndRejectionsShowTheirResult) {
  MessageOrigin line;
  line.line = 7;
  std::string damaged = purchase_;
  damaged[20] = '9';  // the card number's length: 99 of at most 19
  write(line, damaged);
  write(MessageOrigin(), purchase_.substr(0, 40));
  Refusal odd;
  odd.outcome = DecodeOutcome::kOddDigitCount;
  writer_.write_rejected(line, odd, &output_);
  writer_.write_rejected(MessageOrigin(), Refusal(), &output_);
  EXPECT_EQ(lines(),
            summary_line({"-", "line:7", "-", "0200", "-", "-", "-", "-", "length_too_long", "-"}) +
                // Fields past the end of the message read as zero bytes.
                summary_line({"-", "-", "-", "0200", "......", "............", "......", "-",
                              "too_short", "-"}) +
                summary_line({"-", "line:7", "-", "-", "-", "-", "-", "-", "rejected_odd_digits",
                              "-"}) +
                summary_line({"-", "-", "-", "-", "-", "-", "-", "-", "rejected_too_short", "-"}));
}

TEST_F(SummaryTest, ColumnsKeepTheirWidthsForLongValues) {
  MessageOrigin far;
  far.line = 9223372036854775807;
  write(far, purchase_);
  MessageOrigin ipv6 = captured("2026-12-07T09:30:15.000000Z", 1, 1, true);
  ipv6.source = "[ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff]:65535";
  ipv6.destination = ipv6.source;
  write(ipv6, purchase_);
  const std::string text = lines();
  const std::string first = text.substr(0, text.find('\n') + 1);
  EXPECT_EQ(first, summary_line({"-", "line:9223372036854775807", "-", "0200", "000000",
                                 "000000012850", "000371", "-", "unpacked", "-"}));
  EXPECT_EQ(text.substr(first.size()).find(" 0200 "), first.find(" 0200 "));
  // A processing code of 9 bytes is cut to its column of 6.
  decoder_ = decoder_of("1|4|0\n3|9|0\n");
  write(MessageOrigin(), "0200" + std::string("\x20", 1) + std::string(15, '\0') + "123456789");
  EXPECT_EQ(lines().substr(text.size()),
            summary_line({"-", "-", "-", "0200", "12345~", "-", "-", "-", "unpacked", "-"}));
}

// Without a capture, time and direction hold only "-", and so does the
// place of a whole input: those columns are as wide as their names. The
// capture's fixed widths are those of the tests above.
TEST(SummaryWidths, ColumnsAreAsWideAsTheInputFormCanNeed) {
  const std::string purchase = std::string(SOURCE_DIR) + "/examples/purchase.hex";
  const std::string heading = "time where direction mti  proc   amount       stan   rc result              ms\n";
  const std::string line = "-    -     -         0200 000000 000000012850 000371 -  unpacked            -\n";
  EXPECT_EQ(run_program(ISO8583DUMP_PATH, "--summary " + purchase).out, heading + line);
  EXPECT_EQ(run_program(ISO8583DUMP_PATH, "--summary --binary", sample_bytes("purchase")).out,
            heading + line);
  const ProcessRun lines =
      run_program(ISO8583DUMP_PATH, "--summary --each-line", slurp(purchase) + "303\n");
  EXPECT_EQ(lines.out,
            "time where                    direction mti  proc   amount       stan   rc result              ms\n"
            "-    line:1                   -         0200 000000 000000012850 000371 -  unpacked            -\n"
            "-    line:2                   -         -    -      -            -      -  rejected_odd_digits -\n");
}

}  // namespace
