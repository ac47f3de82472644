// strip_blanks: what is removed from pasted text and definition lines.
#include "decode/strip_blanks.h"

#include <string>

#include "gtest/gtest.h"

namespace {

std::string stripped(std::string text) { return strip_blanks(text.data()); }

TEST(StripBlanks, RemovesSpacesAndLineBreaksWhereverTheyStand) {
  EXPECT_EQ(stripped(" 30 32\r\n30 30 \n"), "30323030");
  EXPECT_EQ(stripped("2 | 19 | 2 # PAN\r\n"), "2|19|2#PAN");
}

TEST(StripBlanks, KeepsTabsAndOtherCharacters) {
  EXPECT_EQ(stripped("\t3 0\v\f"), "\t30\v\f");
}

TEST(StripBlanks, EmptyAndAllBlankTextsEndEmpty) {
  EXPECT_EQ(stripped(""), "");
  EXPECT_EQ(stripped(" \r\n \n"), "");
}

TEST(StripBlanks, WorksInPlaceAndReturnsTheSameText) {
  char text[] = "a b";
  EXPECT_EQ(strip_blanks(text), text);
  EXPECT_STREQ(text, "ab");
}

}  // namespace
