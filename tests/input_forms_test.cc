// Messages as the input holds them: raw bytes, a header to skip in front of
// each message, and messages longer than a decode reads.
#include <string>

#include "gtest/gtest.h"
#include "tests/process_support.h"
#include "tests/test_support.h"

namespace {

std::string sample_bytes(const char* name) {
  return bytes_of(slurp(std::string(SOURCE_DIR) + "/examples/" + name + ".hex"));
}

TEST(InputForms, BinaryMessagesWithAHeaderToSkipGiveTheSampleReport) {
  const std::string purchase = sample_bytes("purchase");
  ASSERT_EQ(purchase.size(), 394u);
  const std::string framed = std::string("\x01\x8A", 2) + purchase;  // its length in front
  const ProcessRun binary = run_program(ISO8583DUMP_PATH, "--binary --skip 2", framed);
  EXPECT_EQ(binary.status, 0) << binary.err;
  EXPECT_EQ(binary.out, run_program(ISO8583DUMP_PATH, "examples/purchase.hex").out);
  // The same header as text, on a line of its own message.
  const ProcessRun text = run_program(ISO8583DUMP_PATH, "--each-line --skip 2 --json",
                                      "018A" + hex_of(purchase) + "\n");
  EXPECT_EQ(text.out, run_program(ISO8583DUMP_PATH, "--each-line --json",
                                  hex_of(purchase) + "\n").out);
}

TEST(InputForms, AMessageLongerThanADecodeReadsIsCutWithANote) {
  // 65,535 bytes and 1,701 more.
  const std::string message = sample_bytes("purchase") + std::string(65535 - 394 + 1701, '\0');
  const ProcessRun run = run_program(ISO8583DUMP_PATH, "--binary --json", message);
  EXPECT_EQ(run.err,
            "message cut to its first 65535 bytes\n"
            "iso8583dump: 1 message: 1 decoded, 0 failed, 0 refused; 1 cut; 66842 bytes dropped\n");
  EXPECT_NE(run.out.find("\"result\":\"unpacked\""), std::string::npos) << run.out;
  const ProcessRun skipped =
      run_program(ISO8583DUMP_PATH, "--binary --json --skip 99", message.substr(0, 99 + 65535));
  // Skipped, the message reaches no further than a decode reads, and its
  // zeros after the last field are dropped.
  EXPECT_EQ(skipped.err, "iso8583dump: 1 message: 1 decoded, 0 failed, 0 refused; 65196 bytes dropped\n");
  const ProcessRun short_one = run_program(ISO8583DUMP_PATH, "--binary --skip 390", message.substr(0, 400));
  EXPECT_EQ(short_one.status, 2);
  EXPECT_EQ(short_one.err, "message too short\niso8583dump: 1 message: 0 decoded, 0 failed, 1 refused\n");
  const ProcessRun all_skipped = run_program(ISO8583DUMP_PATH, "--binary --skip 400", message.substr(0, 400));
  EXPECT_EQ(all_skipped.status, 2);
  EXPECT_EQ(all_skipped.err, "message too short: its 400 bytes are all skipped by --skip 400\n"
                             "iso8583dump: 1 message: 0 decoded, 0 failed, 1 refused\n");
}

}  // namespace
