// Converting the report to UTF-8, and UTF-8 to UTF-16 for JavaScript:
// checked against the C library's own converters, and for the bytes that
// are not characters.
#include "encoding/cp936_to_utf8.h"

#include <iconv.h>

#include <string>
#include <utility>

#include "encoding/utf8_to_utf16.h"
#include "gtest/gtest.h"

namespace {

std::string utf8_of(const std::string& text) {
  std::string utf8;
  append_cp936_as_utf8(text, &utf8);
  return utf8;
}

// One character converted by the C library, or "" when it has none.
std::string library_utf8_of(const std::string& character) {
  iconv_t converter = iconv_open("UTF-8", "CP936");
  std::string in = character;
  char out[8];
  char* in_cursor = in.data();
  size_t in_left = in.size();
  char* out_cursor = out;
  size_t out_left = sizeof out;
  const size_t result = iconv(converter, &in_cursor, &in_left, &out_cursor, &out_left);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1) || in_left != 0) return "";
  return std::string(out, sizeof out - out_left);
}

TEST(Cp936ToUtf8, ReportTextBecomesUtf8WithLineFeeds) {
  EXPECT_EQ(utf8_of("\xBF\xAA\xCA\xBC\xBD\xE2\xB0\xFC:\r\nfld[000][004]=[0200]\r\n"),
            "开始解包:\nfld[000][004]=[0200]\n");
}

TEST(Cp936ToUtf8, EveryTwoByteCharacterAgreesWithTheCLibrary) {
  int compared = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string expected = library_utf8_of(pair);
      // The C library also maps the user-defined areas; the report never
      // holds Chinese text from them.
      if (expected.empty() || static_cast<unsigned char>(expected[0]) == 0xEE) continue;
      ASSERT_EQ(utf8_of(pair), expected) << std::hex << lead << " " << trail;
      ++compared;
    }
  }
  EXPECT_GT(compared, 21000);
}

TEST(Cp936ToUtf8, TheEuroSignByte) { EXPECT_EQ(utf8_of("\x80"), "€"); }

TEST(Cp936ToUtf8, BytesThatAreNotCharactersBecomeReplacementCharacters) {
  EXPECT_EQ(utf8_of("\xFF"), "\xEF\xBF\xBD");
  EXPECT_EQ(utf8_of("a\xB0"), "a\xEF\xBF\xBD");             // a lead byte at the end
  EXPECT_EQ(utf8_of("\xB0 x"), "\xEF\xBF\xBD x");           // an ASCII byte after it stays
  EXPECT_EQ(utf8_of("\xB0\r\n"), "\xEF\xBF\xBD\n");
  EXPECT_EQ(utf8_of("\xA2\xA0x"), "\xEF\xBF\xBDx");         // an unassigned pair is one
}

TEST(Cp936ToUtf8, ALoneCarriageReturnStays) { EXPECT_EQ(utf8_of("a\rb\r"), "a\rb\r"); }

TEST(Cp936ToUtf8, RunsOfAsciiOfEveryLengthEndAtTheRightByte) {
  // Whatever ends a run of ASCII, and its UTF-8: runs are copied in blocks
  // of sixteen bytes, so every length up to a few blocks is tried, with
  // the piece at its end and again after more ASCII.
  const std::pair<std::string, std::string> kEnds[] = {
      {"\r\n", "\n"},   {"\r", "\r"},    {"\xC9\xCC", "商"}, {"\x80", "€"},
      {"\xFF", "\xEF\xBF\xBD"}, {"\xB0\xB1\xFF", "氨\xEF\xBF\xBD"},
  };
  for (const auto& [end, end_utf8] : kEnds) {
    for (size_t length = 0; length <= 50; ++length) {
      const std::string run(length, static_cast<char>('a' + length % 26));
      ASSERT_EQ(utf8_of(run + end), run + end_utf8) << length;
      ASSERT_EQ(utf8_of(run + end + run), run + end_utf8 + run) << length;
    }
  }
}

TEST(Cp936ToUtf8, TheRoomOfThreeBytesForEachByteIsEnough) {
  // The bytes that grow most: the euro sign and bytes that are no
  // character each become three.
  for (const char byte : {'\x80', '\xFF'}) {
    const std::string text(40, byte);
    std::string room(kUtf8BytesPerCp936Byte * text.size() + 1, '~');
    const char* end = put_cp936_as_utf8(&room[0], text);
    EXPECT_EQ(static_cast<size_t>(end - room.data()), kUtf8BytesPerCp936Byte * text.size());
    EXPECT_EQ(room.back(), '~');
  }
}

TEST(Utf8ToCp936, EveryCharacterGoesBackToItsPair) {
  int compared = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = library_utf8_of(pair);
      if (utf8.empty() || static_cast<unsigned char>(utf8[0]) == 0xEE) continue;
      std::string back;
      ASSERT_TRUE(append_utf8_as_cp936(utf8, &back)) << std::hex << lead << " " << trail;
      // A character with two pairs goes back to one of them, which reads
      // as the same character.
      ASSERT_EQ(utf8_of(back), utf8) << std::hex << lead << " " << trail;
      ++compared;
    }
  }
  EXPECT_GT(compared, 21000);
  std::string text;
  EXPECT_TRUE(append_utf8_as_cp936("TERM 商户€", &text));
  EXPECT_EQ(text, "TERM \xC9\xCC\xBB\xA7\x80");
}

TEST(Utf8ToCp936, TextThatIsNotUtf8OrHasNoPairIsRefused) {
  for (const char* text : {"\xC0\xAF",          // an overlong slash
                           "\xED\xA0\x80",      // a surrogate
                           "\xE5\x95",          // cut short
                           "\xF4\x90\x80\x80",  // past U+10FFFF
                           "\x80",              // a lone continuation byte
                           "\xF0\x9F\x98\x80"}) {  // a character code page 936 lacks
    std::string out;
    EXPECT_FALSE(append_utf8_as_cp936(text, &out)) << text;
  }
  EXPECT_TRUE(is_utf8("\xF0\x9F\x98\x80"));
  EXPECT_FALSE(is_utf8("\xC0\xAF"));
}

TEST(PrintableCp936, OnlyPrintableAsciiAndWholeCharacters) {
  EXPECT_TRUE(is_printable_cp936("SHANGHAI \xC9\xCC\xBB\xA7 ~"));
  EXPECT_TRUE(is_printable_cp936("\x80"));
  for (const char* bytes : {"\t", "a\x7F", "\xC9", "\xA2\xA0", "\xFF\xFF"}) {
    EXPECT_FALSE(is_printable_cp936(bytes)) << bytes;
  }
  EXPECT_FALSE(is_printable_cp936(std::string("00\0", 3)));
}

// `utf8` in UTF-16, low byte first, converted by the C library.
std::string library_utf16_of(const std::string& utf8) {
  iconv_t converter = iconv_open("UTF-16LE", "UTF-8");
  std::string in = utf8;
  std::string out(2 * in.size(), '\0');
  char* in_cursor = in.data();
  size_t in_left = in.size();
  char* out_cursor = out.data();
  size_t out_left = out.size();
  iconv(converter, &in_cursor, &in_left, &out_cursor, &out_left);
  iconv_close(converter);
  out.resize(out.size() - out_left);
  return out;
}

std::string utf16_of(const std::string& utf8) {
  std::string utf16 = "kept";
  append_utf8_as_utf16le(utf8, &utf16);
  EXPECT_EQ(utf16.substr(0, 4), "kept");
  return utf16.substr(4);
}

TEST(Utf8ToUtf16, CharactersOfEveryLengthAgreeWithTheCLibrary) {
  // ASCII runs around the eight bytes taken at once, and characters of two,
  // three and four bytes (a surrogate pair) among them.
  for (const std::string& text :
       {std::string(), std::string("fld[002][019]=[6222021234567890123]\n"), std::string("1234567"),
        std::string("12345678"), std::string("123456789"), std::string("解包成功"),
        std::string("Tag-01:9F26[08]:7A3C1E5B9D20F486     [应用密文]\n"),
        std::string("\u00e9t\u00e9 \u20ac 12345678 \U0001F4B3 card"), std::string(17, 'x') + "\u241B"}) {
    EXPECT_EQ(utf16_of(text), library_utf16_of(text)) << text;
  }
}

TEST(Utf8ToUtf16, BytesThatStartNoCharacterBecomeReplacementCharacters) {
  const std::string replacement = "\xFD\xFF";
  // A lone trail byte, a lead byte cut short, an overlong form, a surrogate.
  EXPECT_EQ(utf16_of("a\x80" "b"), std::string("a\0", 2) + replacement + std::string("b\0", 2));
  EXPECT_EQ(utf16_of("\xE5\x8C"), replacement + replacement);
  EXPECT_EQ(utf16_of("\xC0\xAF"), replacement + replacement);
  EXPECT_EQ(utf16_of("\xED\xA0\x80"), replacement + replacement + replacement);
}

}  // namespace
