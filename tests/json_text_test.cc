// JSON text written piece by piece and, where its shape is known, whole:
// the commas fall between values however the pieces meet, and each object
// starts afresh in the room kept from the one before.
#include "json/json_text.h"

#include <string>

#include "gtest/gtest.h"

namespace {

// Writes `text` whole as the next value.
void write_whole(JsonText* json, std::string_view text) {
  json->end_written(put(json->room_for_written(text.size()), text));
}

TEST(JsonText, CommasFallBetweenValuesWrittenEitherWay) {
  std::string text = "kept ";
  JsonText json;
  json.start(&text);
  json.begin_object();
  json.key("a");
  json.number(1);
  write_whole(&json, "\"b\":[2,3]");
  json.key("c");
  json.begin_array();
  for (int k = 0; k < 3; ++k) write_whole(&json, "{\"d\":" + std::to_string(k) + "}");
  json.begin_object();
  json.end_object();
  json.number(-12345678901L);
  json.end_array();
  json.key("e");
  json.boolean(false);
  json.key("f");
  json.string("say \"hi\"\n");
  json.end_object();
  json.finish();
  EXPECT_EQ(text,
            "kept {\"a\":1,\"b\":[2,3],\"c\":[{\"d\":0},{\"d\":1},{\"d\":2},{},-12345678901],"
            "\"e\":false,\"f\":\"say \\\"hi\\\"\\n\"}");
}

TEST(JsonText, EachObjectStartsAfresh) {
  JsonText json;
  std::string lines;
  for (int line = 0; line < 3; ++line) {
    json.start(&lines);
    json.begin_object();
    json.key("line");
    json.number(line);
    json.key("long");
    json.string(std::string(5000, 'x'));
    json.end_object();
    json.finish();
    lines += '\n';
  }
  const std::string long_text = std::string(5000, 'x');
  EXPECT_EQ(lines, "{\"line\":0,\"long\":\"" + long_text + "\"}\n{\"line\":1,\"long\":\"" +
                       long_text + "\"}\n{\"line\":2,\"long\":\"" + long_text + "\"}\n");
}

TEST(JsonText, TheBodyOfAStringIsEscapedOnlyWhereJsonNeedsIt) {
  std::string escaped;
  EXPECT_EQ(json_string_body("应用密文 0200", &escaped), "应用密文 0200");
  EXPECT_EQ(json_string_body("a\"b\\c\x01", &escaped), "a\\\"b\\\\c\\u0001");
}

}  // namespace
