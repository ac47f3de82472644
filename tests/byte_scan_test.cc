// The byte classes tested sixteen bytes at a time, against a test of one
// byte at a time: for every length, with a byte outside the class at
// every place, so that short texts, whole blocks and the last block that
// overlaps the one before are all seen.
#include "encoding/byte_scan.h"

#include <string>

#include "gtest/gtest.h"

namespace {

bool visible(unsigned char byte) { return byte >= 0x20 && byte <= 0x7E; }
bool escaped(unsigned char byte) { return byte == '"' || byte == '\\'; }

struct ByteClassCase {
  const char* name;
  bool (*scan)(std::string_view text);
  bool (*admits)(unsigned char byte);
};

const ByteClassCase kCases[] = {
    {"visible ASCII", is_visible_ascii, visible},
    {"plain JSON ASCII", is_plain_json_ascii,
     [](unsigned char byte) { return visible(byte) && !escaped(byte); }},
    {"plain JSON text", is_plain_json_text,
     [](unsigned char byte) { return byte >= 0x20 && !escaped(byte); }},
};

TEST(ByteScan, EveryByteAtEveryPlaceOfEveryLength) {
  for (const ByteClassCase& byte_class : kCases) {
    for (size_t length = 0; length <= 40; ++length) {
      const std::string plain(length, 'A');
      EXPECT_TRUE(byte_class.scan(plain)) << byte_class.name << ", " << length;
      for (size_t place = 0; place < length; ++place) {
        for (int byte = 0; byte < 256; ++byte) {
          std::string text = plain;
          text[place] = static_cast<char>(byte);
          ASSERT_EQ(byte_class.scan(text), byte_class.admits(static_cast<unsigned char>(byte)))
              << byte_class.name << ": byte " << byte << " at " << place << " of " << length;
        }
      }
    }
  }
}

TEST(ByteScan, ReadsNoByteBeyondTheText) {
  // A byte outside every class just past the end of the text.
  const std::string text = std::string(37, 'A') + '\x01';
  for (const ByteClassCase& byte_class : kCases) {
    for (size_t length = 0; length < text.size(); ++length) {
      EXPECT_TRUE(byte_class.scan(std::string_view(text.data(), length)))
          << byte_class.name << ", " << length;
    }
  }
}

TEST(ByteScan, SharedAsciiIsCopiedUpToTheFirstByteThatIsNot) {
  for (size_t length = 0; length <= 40; ++length) {
    for (size_t stop = 0; stop <= length; ++stop) {
      for (const char stop_byte : {'\r', '\x80', '\xC9', '\xFF'}) {
        std::string text(length, 'a');
        for (size_t k = 0; k < length; ++k) text[k] = static_cast<char>('a' + k % 26);
        if (stop < length) text[stop] = stop_byte;
        std::string out(length + 1, '~');
        ASSERT_EQ(copy_shared_ascii(text, &out[0]), stop) << stop << " of " << length;
        EXPECT_EQ(out.substr(0, stop), text.substr(0, stop));
        EXPECT_EQ(out.back(), '~');  // nothing past the room of the text
      }
    }
  }
}

}  // namespace
