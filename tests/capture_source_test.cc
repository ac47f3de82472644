// The capture source: TCP connections read from pcap and pcapng files
// through every supported link layer, their streams rebuilt and cut into
// messages, with notes for what the capture lost.
#include <pcap/dlt.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/capture_test_support.h"

namespace {

constexpr int64_t kMillisecond = 1000;

// A message's origin and length in one line, for comparing in bulk.
std::string heading(const SourceMessage& message) {
  const MessageOrigin& origin = message.origin;
  return origin.time + " " + origin.source + " -> " + origin.destination + " " +
         std::to_string(origin.connection) + "#" + std::to_string(origin.sequence) + " " +
         std::to_string(message.full_length);
}

std::vector<std::string> headings(const CaptureRead& read) {
  std::vector<std::string> result;
  for (const SourceMessage& message : read.messages) result.push_back(heading(message));
  return result;
}

std::vector<std::string> contents(const CaptureRead& read) {
  std::vector<std::string> result;
  for (const SourceMessage& message : read.messages) result.push_back(message.content);
  return result;
}

CaptureOptions options_for(const std::string& path, const std::string& frame = "len2") {
  CaptureOptions options;
  options.path = path;
  options.frame = frame;
  return options;
}

class CaptureSourceTest : public ::testing::Test {
 protected:
  const std::string purchase_ = sample_bytes("purchase");
  const std::string response_ = sample_bytes("response");
  const std::string reversal_ = sample_bytes("reversal");
  const Endpoint terminal_ = endpoint("10.0.0.1", 40000);
  const Endpoint host_ = endpoint("10.0.0.2", 8583);
};

TEST_F(CaptureSourceTest, ConnectionsInBothDirectionsInCaptureOrder) {
  const std::string path = capture_path("pcap");
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection first(&writer, terminal_, host_);
    TestConnection second(&writer, endpoint("10.0.0.3", 40001), host_);
    first.handshake(kCaptureStart);
    second.handshake(kCaptureStart + kMillisecond);
    first.send(true, framed(purchase_), kCaptureStart + 10 * kMillisecond);
    second.send(true, framed(reversal_), kCaptureStart + 20 * kMillisecond);
    first.send(false, framed(response_), kCaptureStart + 30 * kMillisecond + 7);
    first.close(kCaptureStart + 40 * kMillisecond);
    second.close(kCaptureStart + 50 * kMillisecond);
  }
  const CaptureRead read = read_capture(options_for(path));
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(headings(read),
            (std::vector<std::string>{
                "2026-12-07T09:30:15.010000Z 10.0.0.1:40000 -> 10.0.0.2:8583 1#1 394",
                "2026-12-07T09:30:15.020000Z 10.0.0.3:40001 -> 10.0.0.2:8583 2#1 352",
                "2026-12-07T09:30:15.030007Z 10.0.0.2:8583 -> 10.0.0.1:40000 1#2 163",
            }));
  EXPECT_EQ(contents(read), (std::vector<std::string>{purchase_, reversal_, response_}));
  EXPECT_FALSE(read.messages[0].is_text);
  EXPECT_EQ(read.notes, std::vector<std::string>{});
}

TEST_F(CaptureSourceTest, MessagesSplitAcrossSegmentsAndSharingOne) {
  const std::string path = capture_path("pcap");
  const std::string request = framed(purchase_);
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, terminal_, host_);
    connection.handshake(kCaptureStart);
    // The length itself is split, and the message ends in a third segment.
    connection.send(true, request.substr(0, 1), kCaptureStart + 1, false);
    connection.send(true, request.substr(1, 100), kCaptureStart + 2, false);
    connection.send(true, request.substr(101), kCaptureStart + 3);
    connection.send(false, framed(response_) + framed(reversal_), kCaptureStart + 4);
  }
  const CaptureRead read = read_capture(options_for(path));
  EXPECT_EQ(headings(read),
            (std::vector<std::string>{
                "2026-12-07T09:30:15.000003Z 10.0.0.1:40000 -> 10.0.0.2:8583 1#1 394",
                "2026-12-07T09:30:15.000004Z 10.0.0.2:8583 -> 10.0.0.1:40000 1#2 163",
                "2026-12-07T09:30:15.000004Z 10.0.0.2:8583 -> 10.0.0.1:40000 1#3 352",
            }));
  EXPECT_EQ(contents(read), (std::vector<std::string>{purchase_, response_, reversal_}));
  EXPECT_EQ(read.notes, std::vector<std::string>{});
}

TEST_F(CaptureSourceTest, OutOfOrderAndRetransmittedBytesAreUsedOnceInOrder) {
  const std::string path = capture_path("pcap");
  const std::string request = framed(purchase_);
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, terminal_, host_);
    connection.handshake(kCaptureStart);
    const uint32_t start = connection.next_sequence(true);
    connection.send_at(true, start + 300, request.substr(300), kCaptureStart + 1);
    connection.send_at(true, start, request.substr(0, 100), kCaptureStart + 2);
    connection.send_at(true, start, request.substr(0, 100), kCaptureStart + 3);
    // Overlaps what came before and after it.
    connection.send_at(true, start + 50, request.substr(50, 300), kCaptureStart + 4);
    connection.skip(true, request.size());
    connection.send_at(true, start + 300, request.substr(300), kCaptureStart + 5);
    connection.send(true, framed(reversal_), kCaptureStart + 6);
  }
  const CaptureRead read = read_capture(options_for(path));
  EXPECT_EQ(headings(read),
            (std::vector<std::string>{
                "2026-12-07T09:30:15.000004Z 10.0.0.1:40000 -> 10.0.0.2:8583 1#1 394",
                "2026-12-07T09:30:15.000006Z 10.0.0.1:40000 -> 10.0.0.2:8583 1#2 352",
            }));
  EXPECT_EQ(contents(read), (std::vector<std::string>{purchase_, reversal_}));
  EXPECT_EQ(read.notes, std::vector<std::string>{});
}

TEST_F(CaptureSourceTest, LostSegmentIsNotedAndTheStreamResynchronises) {
  const std::string path = capture_path("pcap");
  const std::string lost_message = framed(reversal_);
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, terminal_, host_);
    connection.handshake(kCaptureStart);
    connection.send(true, framed(purchase_), kCaptureStart + 1);
    // The first 30 bytes of the reversal never reach the capture; its rest
    // starts inside the card number, which cannot be a length.
    connection.skip(true, 30);
    connection.send(true, lost_message.substr(30), kCaptureStart + 2);
    connection.send(true, framed(purchase_), kCaptureStart + 3);
  }
  const CaptureRead read = read_capture(options_for(path));
  EXPECT_EQ(contents(read), (std::vector<std::string>{purchase_, purchase_}));
  EXPECT_EQ(read.messages[1].origin.sequence, 2);
  EXPECT_EQ(read.notes, (std::vector<std::string>{
                            "connection 1 10.0.0.1:40000 -> 10.0.0.2:8583: 30 bytes lost, " +
                            std::to_string(lost_message.size() - 30) +
                            " bytes dropped, resynchronised"}));
}

TEST_F(CaptureSourceTest, ConnectionRunningBeforeTheCaptureStartsAtItsNextMessage) {
  const std::string path = capture_path("pcap");
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, terminal_, host_);
    connection.send(true, framed(reversal_).substr(50), kCaptureStart + 1);
    connection.send(true, framed(purchase_), kCaptureStart + 2);
    connection.send(false, framed(response_), kCaptureStart + 3);
  }
  const CaptureRead read = read_capture(options_for(path));
  EXPECT_EQ(headings(read),
            (std::vector<std::string>{
                "2026-12-07T09:30:15.000002Z 10.0.0.1:40000 -> 10.0.0.2:8583 1#1 394",
                "2026-12-07T09:30:15.000003Z 10.0.0.2:8583 -> 10.0.0.1:40000 1#2 163",
            }));
  EXPECT_EQ(read.notes,
            (std::vector<std::string>{
                "connection 1 10.0.0.1:40000 -> 10.0.0.2:8583: started before the capture, " +
                    std::to_string(reversal_.size() + 2 - 50) + " bytes dropped, resynchronised",
                "connection 1 10.0.0.2:8583 -> 10.0.0.1:40000: started before the capture, "
                "resynchronised"}));
}

TEST_F(CaptureSourceTest, LengthThatCannotBeRightIsNotedAndSkipped) {
  const std::string path = capture_path("pcap");
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, terminal_, host_);
    connection.handshake(kCaptureStart);
    connection.send(true, framed(purchase_), kCaptureStart + 1);
    connection.send(true, std::string("\x00\x05", 2) + "0200", kCaptureStart + 2);  // shorter than any message
    connection.send(true, std::string(3, '\0'), kCaptureStart + 3);  // a length 0
    connection.send(true, framed(purchase_), kCaptureStart + 4);
  }
  const CaptureRead read = read_capture(options_for(path));
  EXPECT_EQ(contents(read), (std::vector<std::string>{purchase_, purchase_}));
  EXPECT_EQ(read.notes, (std::vector<std::string>{
                            "connection 1 10.0.0.1:40000 -> 10.0.0.2:8583: length 5 cannot "
                            "be right, 9 bytes dropped, resynchronised"}));
}

TEST_F(CaptureSourceTest, FullOutOfOrderBufferGivesUpTheHole) {
  const std::string path = capture_path("pcap");
  const std::string message = framed("0200" + std::string(1394, 'x'));
  constexpr int kHeldMessages = 200;  // 280,000 bytes: over the 256 KiB cap
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, terminal_, host_);
    connection.handshake(kCaptureStart);
    const uint32_t hole = connection.next_sequence(true);
    connection.skip(true, message.size());
    for (int k = 0; k < kHeldMessages; ++k) connection.send(true, message, kCaptureStart + 1 + k);
    // The lost segment's late retransmission is old by then.
    connection.send_at(true, hole, message, kCaptureStart + 1000);
  }
  const CaptureRead read = read_capture(options_for(path));
  EXPECT_EQ(read.messages.size(), static_cast<size_t>(kHeldMessages));
  EXPECT_EQ(read.notes, (std::vector<std::string>{
                            "connection 1 10.0.0.1:40000 -> 10.0.0.2:8583: out-of-order buffer "
                            "full, 1400 bytes lost, resynchronised"}));
}

TEST_F(CaptureSourceTest, PortSelectsConnectionsAndByteLimitCutsMessages) {
  const std::string path = capture_path("pcap");
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection other(&writer, terminal_, endpoint("10.0.0.9", 9000));
    TestConnection wanted(&writer, endpoint("10.0.0.1", 40002), host_);
    other.handshake(kCaptureStart);
    wanted.handshake(kCaptureStart);
    other.send(true, framed(reversal_), kCaptureStart + 1);
    wanted.send(true, framed(purchase_), kCaptureStart + 2);
  }
  CaptureOptions options = options_for(path);
  options.port = 8583;
  const CaptureRead read = read_capture(options, 100);
  EXPECT_EQ(headings(read),
            (std::vector<std::string>{
                "2026-12-07T09:30:15.000002Z 10.0.0.1:40002 -> 10.0.0.2:8583 1#1 394"}));
  EXPECT_EQ(contents(read), (std::vector<std::string>{purchase_.substr(0, 100)}));
}

TEST_F(CaptureSourceTest, ClosedConnectionIsForgottenAndItsPortsReused) {
  const std::string path = capture_path("pcap");
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection first(&writer, terminal_, host_);
    first.handshake(kCaptureStart);
    first.send(true, framed(purchase_), kCaptureStart + 1);
    first.close(kCaptureStart + 2);
    TestConnection second(&writer, terminal_, host_);
    second.skip(true, 5000);
    second.handshake(kCaptureStart + 10);
    second.send(true, framed(purchase_), kCaptureStart + 11);
    // A reset ends the connection, with the message it cut short.
    second.send(true, framed(reversal_).substr(0, 100), kCaptureStart + 12);
    second.send_at(true, second.next_sequence(true), "", kCaptureStart + 13, kTcpRst);
  }
  const CaptureRead read = read_capture(options_for(path));
  ASSERT_EQ(read.messages.size(), 2u);
  EXPECT_EQ(read.messages[1].origin.connection, 2);
  EXPECT_EQ(read.messages[1].origin.sequence, 1);
  EXPECT_EQ(read.notes, (std::vector<std::string>{
                            "connection 2 10.0.0.1:40000 -> 10.0.0.2:8583: ends inside a "
                            "message, 100 bytes dropped"}));
}

TEST_F(CaptureSourceTest, FramePaddingIsNoPayloadAndFragmentsAreSkipped) {
  const std::string path = capture_path("pcap");
  const std::string payload = framed(purchase_);
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, terminal_, host_);
    connection.handshake(kCaptureStart);
    OutgoingSegment segment;
    segment.source = terminal_;
    segment.destination = host_;
    segment.sequence = connection.next_sequence(true);
    // A bare ACK padded to Ethernet's 60 bytes.
    writer.write_frame(kCaptureStart + 1, writer.frame_of(segment) + std::string(6, '\0'));
    segment.payload = payload;
    std::string fragment = writer.frame_of(segment);
    fragment[14 + 6] |= 0x20;  // more fragments
    writer.write_frame(kCaptureStart + 2, fragment);
  }
  const CaptureRead read = read_capture(options_for(path));
  EXPECT_TRUE(read.messages.empty());
  EXPECT_EQ(read.notes,
            (std::vector<std::string>{"IP fragments skipped, not reassembled: 1"}));
}

TEST_F(CaptureSourceTest, TruncatedCaptureGivesWhatCameBeforeAndANote) {
  const std::string path = capture_path("pcap");
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, terminal_, host_);
    connection.handshake(kCaptureStart);
    connection.send(true, framed(purchase_), kCaptureStart + 1);
    connection.send(true, framed(reversal_), kCaptureStart + 2);
  }
  std::filesystem::resize_file(path, std::filesystem::file_size(path) - 100);
  const CaptureRead read = read_capture(options_for(path));
  EXPECT_EQ(contents(read), std::vector<std::string>{purchase_});
  ASSERT_EQ(read.notes.size(), 1u);
  EXPECT_EQ(read.notes[0].rfind("capture read up to an error: truncated dump file", 0), 0u)
      << read.notes[0];
}

TEST_F(CaptureSourceTest, WhatCannotBeOpenedIsSaid) {
  EXPECT_EQ(read_capture(options_for("no-such.pcap")).error.find("no-such.pcap: "), 0u);

  const std::string wifi = capture_path("wifi");
  { CaptureWriter writer(wifi, DLT_IEEE802_11); }
  EXPECT_EQ(read_capture(options_for(wifi)).error,
            wifi + ": link type IEEE802_11 is not supported; supported: Ethernet (with VLAN "
                   "tags), Linux cooked (SLL, SLL2), raw IP, BSD loopback");

  EXPECT_EQ(read_capture(options_for(wifi, "len3")).error,
            "unknown framing len3 (len2, len2le, ascii4 or none)");
}

// Each framing, with the same conversation.
struct FramingCase {
  const char* frame;
  size_t skip;
};

class CaptureFramingTest : public CaptureSourceTest,
                           public ::testing::WithParamInterface<FramingCase> {};

TEST_P(CaptureFramingTest, CutsTheStreamIntoItsMessages) {
  const FramingCase& framing = GetParam();
  const std::string tpdu = std::string("\x60\x00\x03\x00\x00", framing.skip);
  const std::string path = capture_path("pcap");
  {
    CaptureWriter writer(path, DLT_EN10MB);
    TestConnection connection(&writer, terminal_, host_);
    connection.handshake(kCaptureStart);
    const std::string frame = framing.frame;
    if (frame == "none") {
      connection.send(true, purchase_.substr(0, 200), kCaptureStart + 1, false);
      connection.send(true, purchase_.substr(200), kCaptureStart + 2);
      connection.send(false, response_, kCaptureStart + 3);
    } else {
      const std::string request = framed(tpdu + purchase_, frame);
      connection.send(true, request.substr(0, 200), kCaptureStart + 1, false);
      connection.send(true, request.substr(200), kCaptureStart + 2);
      connection.send(false, framed(tpdu + response_, frame), kCaptureStart + 3);
    }
  }
  CaptureOptions options = options_for(path, framing.frame);
  options.skip = framing.skip;
  const CaptureRead read = read_capture(options, 1999 + framing.skip);
  EXPECT_EQ(contents(read), (std::vector<std::string>{tpdu + purchase_, tpdu + response_}));
  ASSERT_EQ(read.messages.size(), 2u);
  EXPECT_EQ(read.messages[0].origin.time, "2026-12-07T09:30:15.000002Z");
  EXPECT_EQ(read.notes, std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Framings, CaptureFramingTest,
                         ::testing::Values(FramingCase{"len2", 0}, FramingCase{"len2le", 0},
                                           FramingCase{"ascii4", 0}, FramingCase{"none", 0},
                                           FramingCase{"len2", 5}, FramingCase{"ascii4", 5}));

// Each link layer and address family, in pcap and pcapng.
struct LinkCase {
  const char* name;
  int link_type;
  std::vector<uint16_t> vlan_tags;
  CaptureFormat format;
  bool ipv6;
};

void PrintTo(const LinkCase& link, std::ostream* out) { *out << link.name; }

class CaptureLinkTest : public CaptureSourceTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(CaptureLinkTest, ReadsTheConversation) {
  const LinkCase& link = GetParam();
  const Endpoint terminal = link.ipv6 ? endpoint("2001:db8::1", 40000) : terminal_;
  const Endpoint host = link.ipv6 ? endpoint("2001:db8::2", 8583) : host_;
  const std::string path = capture_path("capture");
  {
    CaptureWriter writer(path, link.link_type, link.format);
    ASSERT_TRUE(writer.ok());
    writer.set_vlan_tags(link.vlan_tags);
    TestConnection connection(&writer, terminal, host);
    connection.handshake(kCaptureStart);
    connection.send(true, framed(purchase_), kCaptureStart + 1);
    connection.send(false, framed(response_), kCaptureStart + 2);
    connection.close(kCaptureStart + 3);
  }
  const CaptureRead read = read_capture(options_for(path));
  const std::string client = link.ipv6 ? "[2001:db8::1]:40000" : "10.0.0.1:40000";
  const std::string server = link.ipv6 ? "[2001:db8::2]:8583" : "10.0.0.2:8583";
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(headings(read),
            (std::vector<std::string>{
                "2026-12-07T09:30:15.000001Z " + client + " -> " + server + " 1#1 394",
                "2026-12-07T09:30:15.000002Z " + server + " -> " + client + " 1#2 163"}));
  EXPECT_EQ(contents(read), (std::vector<std::string>{purchase_, response_}));
}

INSTANTIATE_TEST_SUITE_P(
    LinkLayers, CaptureLinkTest,
    ::testing::Values(
        LinkCase{"Ethernet", DLT_EN10MB, {}, CaptureFormat::kPcap, false},
        LinkCase{"EthernetIpv6", DLT_EN10MB, {}, CaptureFormat::kPcap, true},
        LinkCase{"Vlan", DLT_EN10MB, {0x8100}, CaptureFormat::kPcap, false},
        LinkCase{"QinQIpv6", DLT_EN10MB, {0x88A8, 0x8100}, CaptureFormat::kPcap, true},
        LinkCase{"LinuxCooked", DLT_LINUX_SLL, {}, CaptureFormat::kPcap, false},
        LinkCase{"LinuxCookedV2Ipv6", DLT_LINUX_SLL2, {}, CaptureFormat::kPcap, true},
        LinkCase{"RawIp", DLT_RAW, {}, CaptureFormat::kPcap, false},
        LinkCase{"RawIpv6", DLT_RAW, {}, CaptureFormat::kPcap, true},
        LinkCase{"Loopback", DLT_NULL, {}, CaptureFormat::kPcap, false},
        LinkCase{"LoopbackIpv6", DLT_NULL, {}, CaptureFormat::kPcap, true},
        LinkCase{"PcapngEthernet", DLT_EN10MB, {}, CaptureFormat::kPcapng, false},
        LinkCase{"PcapngLinuxCookedV2Ipv6", DLT_LINUX_SLL2, {}, CaptureFormat::kPcapng, true}),
    [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

}  // namespace
