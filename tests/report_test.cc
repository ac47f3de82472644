// append_format against the C library's snprintf: the report's own
// formatter must give the very bytes that printf gives for every format
// string the report uses.
#include "decode/report.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "decode/hex_text.h"
#include "gtest/gtest.h"

namespace {

template <typename... Args>
std::string by_snprintf(const char* format, Args... args) {
  char line[1024];
  std::snprintf(line, sizeof line, format, args...);
  return line;
}

template <typename... Args>
std::string by_report(const char* format, Args... args) {
  Report report = "kept:";
  append_format(&report, format, args...);
  return report.substr(5);
}

#define EXPECT_LIKE_PRINTF(...) EXPECT_EQ(by_report(__VA_ARGS__), by_snprintf(__VA_ARGS__))

TEST(AppendFormat, DecimalConversions) {
  for (int value : {0, 7, 42, 128, 999, 1000, 4000, -1, -42, INT_MAX, INT_MIN}) {
    EXPECT_LIKE_PRINTF("fld[%d] length is too long!\r\n", value);
    EXPECT_LIKE_PRINTF("fld[%03d][%03d]", value, value);
    EXPECT_LIKE_PRINTF("Tag-%02d:", value);
  }
}

TEST(ReportWriter, ZeroFilledNumbersAtTheEdgesOfTheirTable) {
  for (int value : {0, 9, 10, 99, 100, 999, 1000, 12345, -1, -99, INT_MAX, INT_MIN}) {
    for (int digits : {0, 1, 2, 3, 4, 12}) {
      Report report;
      {
        ReportWriter writer(&report, 4);
        writer.zero_filled_decimal(value, digits);
      }
      EXPECT_EQ(report, by_snprintf("%0*d", digits, value)) << value << " in " << digits;
    }
  }
}

TEST(ReportWriter, AReplacingWriterLeavesExactlyItsText) {
  Report report(100, 'x');
  {
    ReportWriter writer(&report, 8, ReportWriter::Start::kReplacing);
    writer.literal("fld[");
    writer.zero_filled_decimal(2, 3);
  }
  EXPECT_EQ(report, "fld[002");
}

TEST(AppendFormat, HexadecimalConversions) {
  for (unsigned int value : {0u, 9u, 10u, 0x9Fu, 0xFFu, 0x1234u}) {
    EXPECT_LIKE_PRINTF("%02X", value);
  }
}

TEST(AppendFormat, TextPaddedAndCut) {
  EXPECT_LIKE_PRINTF("[%-04s]", "95");
  EXPECT_LIKE_PRINTF("[%-04s]", "9F26");
  EXPECT_LIKE_PRINTF("[%-20s]", "80");
  EXPECT_LIKE_PRINTF("[%-20s]", "0123456789ABCDEF0123456789");
  EXPECT_LIKE_PRINTF("[%s]", "");
  EXPECT_LIKE_PRINTF("[%-*.*s]", 6, 6, "000000");
  EXPECT_LIKE_PRINTF("[%-*.*s]", 4, 4, "ab\0\0");
  EXPECT_LIKE_PRINTF("[%-*.*s]", 3, 3, "abcdef");
  EXPECT_LIKE_PRINTF("[%-*.*s]", 0, 0, "");
}

TEST(AppendFormat, PrecisionStopsReadingWithoutATerminatingZero) {
  const char unterminated[3] = {'a', 'b', 'c'};
  Report report;
  append_format(&report, "[%-*.*s]", 5, 3, unterminated);
  EXPECT_EQ(report, "[abc  ]");
}

TEST(AppendFormat, LiteralTextAndPercentSigns) {
  EXPECT_LIKE_PRINTF("offset[%d],inLen[%d].\r\n", 52, 32);
  EXPECT_LIKE_PRINTF("%d%% done", 100);
}

TEST(AppendFormat, LinesLongerThanAnyLineBufferComeWhole) {
  const std::string data(9999, 'x');
  Report report;
  append_format(&report, "fld[%03d][%03d]=[%-*.*s]\r\n", 48, 9999, 9999, 9999, data.c_str());
  EXPECT_EQ(report, "fld[048][9999]=[" + data + "]\r\n");
}

// Bytes written past the end of a text, which must stay as they are.
constexpr char kGuard = '~';

TEST(PutDecimal, WritesWhatToStringWritesWithinItsRoom) {
  for (long value : {0L, 7L, 10L, 99L, 100L, 999L, 1000L, 1001L, 65535L, 999999L, -1L, -1000L,
                     static_cast<long>(INT_MAX), static_cast<long>(INT_MAX) + 1, LONG_MAX, LONG_MIN}) {
    char room[kDecimalRoom + 1];
    std::memset(room, kGuard, sizeof room);
    char* end = put_decimal(room, value);
    EXPECT_EQ(std::string(room, static_cast<size_t>(end - room)), std::to_string(value));
    EXPECT_EQ(room[kDecimalRoom], kGuard) << value;
  }
}

TEST(PutZeroFilled, WritesWhatPrintfWritesAndAtMostTwoMore) {
  for (int value = 0; value < 12000; value += value < 1100 ? 1 : 997) {
    for (int digits = 1; digits <= 3; ++digits) {
      char room[16];
      std::memset(room, kGuard, sizeof room);
      char* end = put_zero_filled(room, value, digits);
      ASSERT_EQ(std::string(room, static_cast<size_t>(end - room)), by_snprintf("%0*d", digits, value)) << value;
      EXPECT_EQ(end[2], kGuard) << value;
    }
  }
}

TEST(RenderHex, EveryLengthAndAlignmentGivesThePairsOfEveryByte) {
  unsigned char bytes[80];
  for (size_t k = 0; k < sizeof bytes; ++k) bytes[k] = static_cast<unsigned char>(k * 37 + 11);
  for (size_t offset = 0; offset < 4; ++offset) {
    for (size_t count = 0; offset + count <= sizeof bytes; ++count) {
      std::string expected;
      for (size_t k = 0; k < count; ++k) expected.append(kHexPairs.of[bytes[offset + k]], 2);
      std::string text(2 * count + 8, kGuard);
      render_hex(bytes + offset, count, &text[0]);
      EXPECT_EQ(text, expected + std::string(8, kGuard)) << count << " bytes from " << offset;
    }
  }
}

TEST(ReportWriter, AKeptRoomServesTextAfterText) {
  WriterRoom room;
  Report first = "first:";
  {
    ReportWriter writer(&first, &room);
    writer.repeat('x', 10000);
  }
  EXPECT_EQ(first, "first:" + std::string(10000, 'x'));
  ASSERT_NE(room.bytes, nullptr);
  EXPECT_GE(room.size, 10000u);
  const char* kept = room.bytes.get();
  Report second = "second:";
  {
    ReportWriter writer(&second, &room);
    writer.literal("short");
  }
  EXPECT_EQ(second, "second:short");
  EXPECT_EQ(room.bytes.get(), kept);  // no new room for a text that fits
}

}  // namespace
