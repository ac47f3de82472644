// append_format against the C library's snprintf: the report's own
// formatter must give the very bytes that printf gives for every format
// string the report uses.
#include "decode/report.h"

#include <climits>
#include <cstdio>
#include <string>

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

}  // namespace
