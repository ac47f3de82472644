// iso8583dump --pcap run as a user runs it: each captured message under
// its heading with the same report as the message given as text, the
// one-line summary, and the notes on standard error.
#include <pcap/dlt.h>

#include <filesystem>
#include <string>

#include "gtest/gtest.h"
#include "tests/capture_test_support.h"
#include "tests/process_support.h"

namespace {

ProcessRun dump(const std::string& arguments) {
  return run_program(ISO8583DUMP_PATH, "--defs bitmap.ini " + arguments);
}

// The report of a sample message given to iso8583dump as text.
std::string text_report(const std::string& sample) {
  const ProcessRun run = dump("examples/" + sample + ".hex");
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

class CaptureDumpTest : public ::testing::Test {
 protected:
  // A purchase, its response and a reversal on one connection; with a
  // `tpdu`, each after it and a 4-digit length that counts it.
  std::string write_conversation(const std::string& tpdu = "", const std::string& frame = "len2") {
    const std::string path = capture_path("pcap");
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, endpoint("10.0.0.1", 40000), endpoint("10.0.0.2", 8583));
    connection.handshake(kCaptureStart);
    connection.send(true, framed(tpdu + sample_bytes("purchase"), frame), kCaptureStart + 123456);
    connection.send(false, framed(tpdu + sample_bytes("response"), frame),
                    kCaptureStart + 148456);
    connection.send(true, framed(tpdu + sample_bytes("reversal"), frame), kCaptureStart + 2000000);
    connection.close(kCaptureStart + 3000000);
    return path;
  }
};

TEST_F(CaptureDumpTest, EachMessageHasItsHeadingAndTheReportOfItsText) {
  const ProcessRun run = dump("--pcap " + write_conversation());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "# 2026-12-07T09:30:15.123456Z 10.0.0.1:40000 -> 10.0.0.2:8583 #1 394 bytes\n" +
                text_report("purchase") + "\n" +
                "# 2026-12-07T09:30:15.148456Z 10.0.0.2:8583 -> 10.0.0.1:40000 #2 163 bytes\n" +
                text_report("response") + "\n" +
                "# 2026-12-07T09:30:17.000000Z 10.0.0.1:40000 -> 10.0.0.2:8583 #3 352 bytes\n" +
                text_report("reversal") + "\n");
}

TEST_F(CaptureDumpTest, SkippedHeaderIsCountedByTheLengthAndDropped) {
  const ProcessRun plain = dump("--pcap " + write_conversation());
  const ProcessRun run = dump("--frame ascii4 --skip 5 --pcap " +
                              write_conversation(std::string("\x60\x00\x03\x00\x00", 5), "ascii4"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, plain.out);
}

TEST_F(CaptureDumpTest, SummaryLinesUpTheResponseWithItsRequest) {
  const ProcessRun run = dump("--summary --pcap " + write_conversation());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            summary_heading() +
                summary_line({"2026-12-07T09:30:15.123456Z", "1#1", "10.0.0.1:40000->10.0.0.2:8583",
                              "0200", "000000", "000000012850", "000371", "-", "unpacked", "-"}) +
                summary_line({"2026-12-07T09:30:15.148456Z", "1#2", "10.0.0.2:8583->10.0.0.1:40000",
                              "0210", "000000", "000000012850", "000371", "00", "unpacked",
                              "25.000"}) +
                summary_line({"2026-12-07T09:30:17.000000Z", "1#3", "10.0.0.1:40000->10.0.0.2:8583",
                              "0400", "000000", "000000012850", "000372", "98", "unpacked", "-"}));
}

TEST_F(CaptureDumpTest, ProblemsGoToStandardError) {
  const std::string path = capture_path("pcap");
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, endpoint("10.0.0.1", 40000), endpoint("10.0.0.2", 8583));
    connection.send(true, framed(sample_bytes("purchase")).substr(30), kCaptureStart);
  }
  // Bytes before the first boundary of a connection already running are
  // expected: told, but the status stays 0.
  ProcessRun run = dump("--pcap " + path);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "connection 1 10.0.0.1:40000 -> 10.0.0.2:8583: started before the capture, 366 bytes "
            "dropped, not resynchronised before its end\n"
            "iso8583dump: 0 messages: 0 decoded, 0 failed, 0 refused; 366 bytes dropped (366 "
            "before the first message of connections already running)\n");

  run = dump("--pcap no-such.pcap");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.find("iso8583dump: no-such.pcap: "), 0u) << run.err;
}

// What a capture loses makes the status 2, and the closing summary says it.
TEST_F(CaptureDumpTest, LostAndDroppedBytesAndMissingConnectionsFailTheRun) {
  const std::string path = capture_path("pcap");
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, endpoint("10.0.0.1", 40000), endpoint("10.0.0.2", 8583));
    connection.handshake(kCaptureStart);
    connection.send(true, framed(sample_bytes("purchase")), kCaptureStart + 1);
    connection.skip(true, 50);  // a lost segment
    connection.send(true, framed(sample_bytes("reversal")), kCaptureStart + 2);
    connection.close(kCaptureStart + 3);
  }
  ProcessRun run = dump("--summary --pcap " + path);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "connection 1 10.0.0.1:40000 -> 10.0.0.2:8583: 50 bytes lost, resynchronised\n"
            "iso8583dump: 2 messages: 2 decoded, 0 failed, 0 refused; 50 bytes lost\n");

  // Bytes dropped after the first boundary fail the run too.
  const std::string bad_length = capture_path("bad-length.pcap");
  {
    CaptureWriter writer(bad_length, DLT_EN10MB);
    TestConnection connection(&writer, endpoint("10.0.0.1", 40000), endpoint("10.0.0.2", 8583));
    connection.handshake(kCaptureStart);
    connection.send(true, std::string("\x00\x09", 2) + std::string(7, 'x'), kCaptureStart + 1);
    connection.close(kCaptureStart + 2);
  }
  run = dump("--pcap " + bad_length);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "connection 1 10.0.0.1:40000 -> 10.0.0.2:8583: length 9 cannot be right, 9 bytes "
            "dropped, not resynchronised before its end\n"
            "iso8583dump: 0 messages: 0 decoded, 0 failed, 0 refused; 9 bytes dropped\n");

  run = dump("--port 9999 --pcap " + path);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "no TCP connection with port 9999 in the capture\n");

  // A length no longer than --skip names --skip.
  run = dump("--skip 400 --pcap " + write_conversation());
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(": length 394 cannot be right: no longer than the 400 bytes of --skip, "),
            std::string::npos)
      << run.err;
}

TEST_F(CaptureDumpTest, ATruncatedCaptureFailsTheRun) {
  const std::string path = write_conversation();
  std::filesystem::resize_file(path, std::filesystem::file_size(path) - 100);
  const ProcessRun run = dump("--summary --pcap " + path);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("capture read up to an error: truncated dump file"), std::string::npos)
      << run.err;
}

}  // namespace
