// iso8583dump --json read back by a real JSON parser: the report rebuilt
// from the JSON alone must be the report of the same message, and every
// ending of a decode has its keys.
#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>

#include "gtest/gtest.h"
#include "rapidjson/document.h"
#include "tests/process_support.h"
#include "tests/test_support.h"

namespace {

std::string bytes_of_hex(const std::string& hex) {
  std::string bytes;
  for (size_t k = 0; k + 1 < hex.size(); k += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(k, 2), nullptr, 16)));
  }
  return bytes;
}

rapidjson::MemoryPoolAllocator<>& allocator() {
  static rapidjson::MemoryPoolAllocator<> pool;
  return pool;
}

std::string formatted(const char* format, int a, int b) {
  char line[64];
  std::snprintf(line, sizeof line, format, a, b);
  return line;
}

// The raw report that the JSON object `json` describes, rebuilt as the
// report's lines are formatted; where a field has a "text", it must be its
// bytes.
std::string report_of_json(const rapidjson::Value& json) {
  // Data prints up to its first zero byte, padded to its length.
  auto data_line = [](int number, const rapidjson::Value& field) {
    const std::string bytes = bytes_of_hex(field["hex"].GetString());
    if (field.HasMember("text")) {
      EXPECT_EQ(cp936(field["text"].GetString()), bytes) << number;
    }
    const size_t printed = std::min(bytes.find('\0'), bytes.size());
    return formatted("fld[%03d][%03d]=[", number, static_cast<int>(bytes.size())) +
           bytes.substr(0, printed) + std::string(bytes.size() - printed, ' ') + "]\r\n";
  };
  rapidjson::Value indicator(rapidjson::kObjectType);
  indicator.AddMember("hex", rapidjson::StringRef(json["mti_hex"].GetString()), allocator());
  std::string report = cp936("开始解包:") + "\r\n" + data_line(0, indicator);
  for (const auto& field : json["fields"].GetArray()) report += data_line(field["field"].GetInt(), field);
  const std::string result = json["result"].GetString();
  if (result == "unpacked") report += cp936("解包成功") + "\r\n";
  if (result == "too_short") {
    report += formatted("offset[%d],inLen[%d].\r\n", json["needed"].GetInt(), json["available"].GetInt());
    report += cp936("报文体总长度过短.") + "\r\n";
  }
  if (result == "field_not_defined") report += formatted("fld[%d] bitmap is not exist!\r\n", json["field"].GetInt(), 0);
  if (json.HasMember("field55")) {
    report += cp936("=======55域子域解析=========") + "\r\n";
    int sequence = 0;
    for (const auto& element : json["field55"].GetArray()) {
      char line[700];
      std::snprintf(line, sizeof line, "Tag-%02d:%-4s[%02d]:%-20s [", ++sequence,
                    element["tag"].GetString(), element["length"].GetInt(), element["value"].GetString());
      report += std::string(line) + cp936(element["name"].GetString()) + "]\r\n";
    }
    report += cp936("=======55域子域解析结束=======") + "\r\n";
  }
  return report;
}

TEST(JsonOutput, RebuildsTheReportOfEverySample) {
  for (const char* name : {"purchase", "response", "reversal"}) {
    const std::string path = std::string("examples/") + name + ".hex";
    const ProcessRun json = run_program(ISO8583DUMP_PATH, "--json " + path);
    ASSERT_EQ(json.status, 0) << name;
    ASSERT_EQ(json.out.back(), '\n');
    rapidjson::Document document;
    ASSERT_FALSE(document.Parse(json.out.c_str()).HasParseError()) << json.out;
    EXPECT_EQ(report_of_json(document), run_program(ISO8583DUMP_PATH, "--raw " + path).out) << name;
  }
}

TEST(JsonOutput, EveryEndingHasItsKeysAndEachLineItsNumber) {
  const std::string defs = write_scratch("defs", "1|4|0\n2|19|2\n3|6|0\n55|999|3\n");
  const std::string head = "3032303060000000000000000000000000000000";  // fields 2 and 3
  const std::string input = head + "3139" + "36323232303231323334353637383930313233" + "303030303030\n" +
                            head + "3230\n" +            // field 2 longer than 19
                            "303\n" +                    // odd digit count
                            head + "3035" + "3132\n" +   // too short
                            "30323030" "00000000000000008000000000000000" "\n";  // field 65 undefined
  const ProcessRun run = run_program(ISO8583DUMP_PATH, "--json --each-line --defs " + defs, input);
  EXPECT_EQ(run.status, 2);
  std::istringstream lines(run.out);
  std::string line;
  std::vector<std::string> endings;
  while (std::getline(lines, line)) {
    rapidjson::Document document;
    ASSERT_FALSE(document.Parse(line.c_str()).HasParseError()) << line;
    std::string ending = std::to_string(document["line"].GetInt()) + " ";
    if (document.HasMember("error")) ending += document["error"].GetString();
    if (document.HasMember("result")) ending += document["result"].GetString();
    if (document.HasMember("field")) ending += " field " + std::to_string(document["field"].GetInt());
    if (document.HasMember("needed")) {
      ending += " " + std::to_string(document["needed"].GetInt()) + "/" +
                std::to_string(document["available"].GetInt());
    }
    endings.push_back(ending);
  }
  EXPECT_EQ(endings, (std::vector<std::string>{"1 unpacked", "2 length_too_long field 2",
                                               "3 odd_digit_count", "4 too_short 33/24",
                                               "5 field_not_defined field 65"}));
  EXPECT_EQ(run.err, "line 3: msg length error\n"
                     "iso8583dump: 5 messages: 1 decoded, 3 failed, 1 refused\n");
}

TEST(JsonOutput, TextsAreEscapedWhereJsonNeedsIt) {
  // A field name with quotes and a backslash, and a field whose text has
  // them too, read back by a JSON parser as they were.
  const std::string defs = write_scratch("defs", "1|4|0\n3|12|0 # the \"code\" \\ one\t\n");
  const std::string text = "12 \"a\\b\" xyz";
  ASSERT_EQ(text.size(), 12u);
  const ProcessRun run = run_program(ISO8583DUMP_PATH, "--json --defs " + defs,
                                     hex_of("0200") + "20000000000000000000000000000000" + hex_of(text));
  rapidjson::Document document;
  ASSERT_FALSE(document.Parse(run.out.c_str()).HasParseError()) << run.out;
  const auto& field = document["fields"][0];
  EXPECT_STREQ(field["name"].GetString(), "the \"code\" \\ one");
  EXPECT_EQ(std::string(field["text"].GetString()), text);
}

}  // namespace
