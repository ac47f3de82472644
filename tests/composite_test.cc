// Composite fields: a definition file describing each kind of layout, the
// report lines of the parts of real-looking messages, data that does not
// fit its layout, hostile layouts and data, the problems the reader names,
// the explanation's tree of parts, and the way back: every layout packs from its parts to the same bytes.
#include <map>
#include <string>
#include <vector>

#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/dialect_text.h"
#include "decode/field_report.h"
#include "explain/explain_report.h"
#include "gtest/gtest.h"
#include "json/message_json.h"
#include "json/pack_request_json.h"
#include "mask/card_data_mask.h"
#include "pack/message_packer.h"
#include "rapidjson/document.h"
#include "rapidjson/writer.h"
#include "tests/test_support.h"

namespace {

// One layout of each kind, and parts inside parts.
const char kDefinitions[] =
    "1|4|0\n"
    "3|6|0 layout=positional  # processing code\n"
    "3.1|2|0  # transaction type\n"
    "3.2|2|0  # from account\n"
    "3.3|2|0  # to account\n"
    "43|99|2 layout=delimited separator=\\ delimited=3  # card acceptor\n"
    "43.1|25|0  # name\n"
    "43.2|48|0  # street\n"
    "43.3|13|0  # city\n"
    "43.4|10|0  # postal code\n"
    "43.5|3|0   # region\n"
    "43.6|3|0   # country\n"
    "48|999|3 layout=tagged tag=ascii2 tag-len=ascii2 prefix=1  # additional data\n"
    "48.prefix|1|0  # transaction category code\n"
    "48.26|3|0  # wallet identifier\n"
    "48.42|7|0  # electronic commerce indicators\n"
    "54|120|3 layout=positional repeat=1  # additional amounts\n"
    "54.1|2|0  # account type\n"
    "54.2|2|0  # amount type\n"
    "54.3|3|0  # currency code\n"
    "54.4|13|0 data=amount  # amount\n"
    "60|17|3 len=bcd data=bcd align=left layout=positional  # reserved private\n"
    "60.1|2|0  # message type code\n"
    "60.2|6|0  # batch number\n"
    "60.3|3|0  # network management code\n"
    "60.4|1|0\n"
    "62|255|3 layout=bitmap map=binary map-bytes=8  # custom payment service fields\n"
    "62.1|1|0  # authorization characteristics indicator\n"
    "62.2|15|0  # transaction identifier\n"
    "62.23|2|2  # product id\n"
    "62.25|16|0 mask=card layout=positional  # card number\n"
    "62.25.1|6|0  # issuer identification number\n"
    "62.25.2|10|0  # account\n"
    "63|255|3 layout=tlv values=text  # private data\n"
    "63.DF01|20|0  # merchant name\n";

// "NNN" or "NN": `count` zero-filled to `digits`.
std::string digits_of(size_t count, int digits) {
  std::string text = std::to_string(count);
  return std::string(static_cast<size_t>(digits) - text.size(), '0') + text;
}

// A message 0200 with the bitmap flagging `fields` and their framed data.
std::string message_of(const std::map<int, std::string>& fields) {
  std::string bitmap(16, '\0');
  std::string body;
  for (const auto& [number, data] : fields) {
    bitmap[static_cast<size_t>((number - 1) / 8)] |= static_cast<char>(0x80 >> ((number - 1) % 8));
    body += data;
  }
  return "0200" + bitmap + body;
}

// Field 62: a bitmap flagging 1, 2, 23 and 25, then those parts.
std::string field62_data() {
  return std::string("\xC0\x00\x02\x80\x00\x00\x00\x00", 8) + "Y" + "012345678901234" + "02" + "AB" +
         "4111111111111111";
}

// Field 63: a merchant name, and a template holding a packed 5A.
std::string field63_data() {
  return std::string("\xDF\x01\x0A") + "ACME STORE" + std::string("\x70\x04\x5A\x02\x12\x34", 6);
}

// A message with a composite of every kind.
std::string every_kind() {
  const std::string f43 = "SHOP\\1 MAIN ST\\SPRINGFIELD\\12345     IL USA";
  const std::string f48 = "R" "26" "03" "103" "42" "07" "2100000";
  const std::string f54 = "0140840C000000012345" "0240840D000000000100";
  return message_of({{3, "003000"},
                     {43, digits_of(f43.size(), 2) + f43},
                     {48, digits_of(f48.size(), 3) + f48},
                     {54, digits_of(f54.size(), 3) + f54},
                     {60, std::string("\x00\x12\x22\x00\x00\x01\x00\x60", 8)},
                     {62, digits_of(field62_data().size(), 3) + field62_data()},
                     {63, digits_of(field63_data().size(), 3) + field63_data()}});
}

class CompositeTest : public ::testing::Test {
 protected:
  const DecodedMessage& decode(const std::string& bytes) {
    decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &message);
    return message;
  }

  // The report of `bytes`, masked when `mask`.
  std::string report_of(const std::string& bytes, bool mask = false) {
    decode(bytes);
    if (mask) mask_card_data(&message);
    Report report;
    write_report(message, &report);
    return report;
  }

  // The lines of `report` from the one starting with `from` to the one
  // before the line starting with `to`.
  static std::string lines_between(const std::string& report, const std::string& from,
                                   const std::string& to) {
    const size_t start = report.find(from);
    const size_t end = report.find(to, start);
    return start == std::string::npos ? std::string() : report.substr(start, end - start);
  }

  Decoder decoder = decoder_of(kDefinitions);
  DecodedMessage message;
};

TEST_F(CompositeTest, EveryKindOfLayoutGivesItsPartsLines) {
  const std::string report = report_of(every_kind());
  EXPECT_EQ(lines_between(report, "fld[003]", "fld[043]"),
            "fld[003][006]=[003000]\r\n"
            "  fld[3.1][002]=[00]\r\n"
            "  fld[3.2][002]=[30]\r\n"
            "  fld[3.3][002]=[00]\r\n");
  EXPECT_EQ(lines_between(report, "fld[043]", "fld[048]"),
            "fld[043][043]=[SHOP\\1 MAIN ST\\SPRINGFIELD\\12345     IL USA]\r\n"
            "  fld[43.1][004]=[SHOP]\r\n"
            "  fld[43.2][009]=[1 MAIN ST]\r\n"
            "  fld[43.3][011]=[SPRINGFIELD]\r\n"
            "  fld[43.4][010]=[12345     ]\r\n"
            "  fld[43.5][003]=[IL ]\r\n"
            "  fld[43.6][003]=[USA]\r\n");
  EXPECT_EQ(lines_between(report, "fld[048]", "fld[054]"),
            "fld[048][019]=[R260310342072100000]\r\n"
            "  fld[48.prefix][001]=[R]\r\n"
            "  fld[48.26][003]=[103]\r\n"
            "  fld[48.42][007]=[2100000]\r\n");
  EXPECT_EQ(lines_between(report, "fld[054]", "fld[060]"),
            "fld[054][040]=[0140840C0000000123450240840D000000000100]\r\n"
            "  fld[54[1].1][002]=[01]\r\n"
            "  fld[54[1].2][002]=[40]\r\n"
            "  fld[54[1].3][003]=[840]\r\n"
            "  fld[54[1].4][013]=[C000000012345]\r\n"
            "  fld[54[2].1][002]=[02]\r\n"
            "  fld[54[2].2][002]=[40]\r\n"
            "  fld[54[2].3][003]=[840]\r\n"
            "  fld[54[2].4][013]=[D000000000100]\r\n");
  EXPECT_EQ(lines_between(report, "fld[060]", "fld[062]"),
            "fld[060][012]=[220000010060]\r\n"
            "  fld[60.1][002]=[22]\r\n"
            "  fld[60.2][006]=[000001]\r\n"
            "  fld[60.3][003]=[006]\r\n"
            "  fld[60.4][001]=[0]\r\n");
  EXPECT_EQ(lines_between(report, "  fld[62.1]", "fld[063]"),
            "  fld[62.1][001]=[Y]\r\n"
            "  fld[62.2][015]=[012345678901234]\r\n"
            "  fld[62.23][002]=[AB]\r\n"
            "  fld[62.25][016]=[4111111111111111]\r\n"
            "    fld[62.25.1][006]=[411111]\r\n"
            "    fld[62.25.2][010]=[1111111111]\r\n");
  EXPECT_EQ(lines_between(report, "  fld[63.DF01]", cp936("解包成功")),
            "  fld[63.DF01][010]=[ACME STORE]\r\n"
            "  fld[63.70][004]=[5A021234]\r\n"
            "    fld[63.70.5A][002]=[1234]\r\n");
  EXPECT_TRUE(message.misfits.empty());
}

TEST_F(CompositeTest, PartsMarkedCardAreMaskedInThemAndInTheirField) {
  const std::string report = report_of(every_kind(), true);
  EXPECT_EQ(lines_between(report, "  fld[62.25]", "fld[063]"),
            "  fld[62.25][016]=[411111******1111]\r\n"
            "    fld[62.25.1][006]=[411111]\r\n"
            "    fld[62.25.2][010]=[******1111]\r\n");
  EXPECT_EQ(report.find("4111111111111111"), std::string::npos);
}

TEST_F(CompositeTest, DataThatDoesNotFitIsNotedWhereAndWhyWithTheFieldWhole) {
  const struct {
    int field;
    std::string data;
    std::string note;
  } kCases[] = {
      // Tagged: a value past the end, or longer than its tag's maximum, a
      // length of no digits, a cut header.
      {48, "015" "R" "99" "40" "1234567890", "fld 48: tag 99 at byte 1 says 40 bytes, 10 remain"},
      {48, "007" "R" "26" "04" "12", "fld 48: tag 26 at byte 1 says 4, more than its 3"},
      {48, "007" "R" "26" "4X" "12", "fld 48: tag 26 at byte 1: its length is not digits"},
      {48, "004" "R" "26" "0", "fld 48: at byte 1, 3 bytes cannot hold a tag and its length"},
      // Positional: a group cut short, a fixed part cut short.
      {54, "025" "0140840C000000012345" "01408", "fld 54: part 54[2].3 at byte 24 needs 3 bytes, 1 remain"},
      // Delimited: no separator, a part longer than its maximum.
      {43, "10" "NO SEPARATOR", "fld 43: part 43.1 at byte 0: no separator before the end"},
      // Bitmap: a bit of no part, a length above the maximum.
      {62, "009" + std::string("\x00\x00\x00\x00\x00\x01\x00\x00", 8) + "X",
       "fld 62: bit 48 flags 62.48, which the definitions lack"},
      {62, "012" + std::string("\x00\x00\x02\x00\x00\x00\x00\x00", 8) + "09AB",
       "fld 62: 62.23 at byte 8 says 9, more than its 2"},
      // BER-TLV: a value past the end.
      {63, "005" + std::string("\xDF\x01\x09", 3) + "AB", "fld 63: tag DF01 at byte 0 says 9 bytes, 2 remain"},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.note);
    const std::string report = report_of(message_of({{test.field, test.data}}));
    // The field line stays, whole; the note is its only other line; the
    // message still unpacked.
    EXPECT_NE(report.find("\r\n  " + test.note + "\r\n" + cp936("解包成功") + "\r\n"), std::string::npos);
    EXPECT_EQ(report.find("  fld["), std::string::npos);
    EXPECT_EQ(message.verdict.result, UnpackResult::kUnpacked);
    ASSERT_EQ(message.misfits.size(), 1u);
    EXPECT_EQ(message.misfits[0].field, test.field);
  }
  EXPECT_EQ(message.misfits[0].sub, "63.DF01");
  EXPECT_EQ(message.misfits[0].offset, 0);
}

// The explanation shows the parts as a tree below their field: each part's
// id, name, length in its unit and value, a part with parts of its own
// without a value, as field 55's templates; masked where they hold card
// data; and, for data that does not fit, why in place of the parts.
TEST_F(CompositeTest, TheExplanationShowsThePartsAsATreeBelowTheirField) {
  ExplanationWriter writer;
  std::string text;
  decode(every_kind());
  mask_card_data(&message);
  writer.write(message, &text);
  EXPECT_EQ(lines_between(text, "Field 60", "Field 62"),
            "Field 60 | reserved private | 12 digits, 6 bytes | 220000010060\n"
            "  60.1 | message type code | 2 digits | 22\n"
            "  60.2 | batch number | 6 digits | 000001\n"
            "  60.3 | network management code | 3 digits | 006\n"
            "  60.4 | 1 digit | 0\n");
  EXPECT_EQ(lines_between(text, "  62.25 ", "Field 63"),
            "  62.25 | card number | 16 bytes\n"
            "    62.25.1 | issuer identification number | 6 bytes | 411111\n"
            "    62.25.2 | account | 10 bytes | ******1111\n");
  EXPECT_EQ(lines_between(text, "  63.DF01", "Result"),
            "  63.DF01 | merchant name | 10 bytes | ACME STORE\n"
            "  63.70 | 4 bytes\n"
            "    63.70.5A | 2 bytes | hex 1234\n");

  text.clear();
  decode(message_of({{48, "015" "R" "99" "40" "1234567890"}}));
  writer.write(message, &text);
  EXPECT_EQ(lines_between(text, "Field 48", "Result"),
            "Field 48 | additional data | 15 bytes | R99401234567890\n"
            "  does not fit its layout: tag 99 at byte 1 says 40 bytes, 10 remain\n");
}

TEST_F(CompositeTest, TrailingPositionalPartsOfAVariableFieldMayBeAbsent) {
  // Field 60 with 11 digits: 60.1 to 60.3, and no 60.4.
  const std::string report = report_of(message_of({{60, std::string("\x00\x11\x22\x00\x00\x01\x00\x60", 8)}}));
  EXPECT_EQ(lines_between(report, "fld[060]", cp936("解包成功")),
            "fld[060][011]=[22000001006]\r\n"
            "  fld[60.1][002]=[22]\r\n"
            "  fld[60.2][006]=[000001]\r\n"
            "  fld[60.3][003]=[006]\r\n");
  // But a part cut in its middle does not fit.
  EXPECT_NE(report_of(message_of({{60, std::string("\x00\x10\x22\x00\x00\x01\x00", 7)}}))
                .find("fld 60: part 60.3 at digit 8 needs 3 digits, 2 remain"),
            std::string::npos);
}

TEST_F(CompositeTest, APartsIdsAndValuesMoveWithTheirMessage) {
  // Ids too short for a string's own heap storage ("3.13.23.3") must
  // still be read after the message moves and its old place is reused.
  std::vector<DecodedMessage> kept;
  for (const std::string& bytes :
       {message_of({{3, "003000"}}), message_of({{60, std::string("\x00\x11\x22\x00\x00\x01\x00\x60", 8)}})}) {
    DecodedMessage decoded;
    decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &decoded);
    kept.push_back(std::move(decoded));
  }
  ASSERT_EQ(kept[0].parts.size(), 3u);
  EXPECT_EQ(part_id(kept[0].parts[0]), "3.1");
  EXPECT_EQ(part_id(kept[0].parts[2]), "3.3");
  EXPECT_EQ(std::string(kept[0].parts[1].value, 2), "30");
  ASSERT_EQ(kept[1].parts.size(), 3u);
  EXPECT_EQ(part_id(kept[1].parts[1]), "60.2");
  Report report;
  write_report(kept[0], &report);
  EXPECT_EQ(lines_between(report, "  fld[3.1]", "  fld[3.3]"),
            "  fld[3.1][002]=[00]\r\n  fld[3.2][002]=[30]\r\n");
}

TEST_F(CompositeTest, HostileDataCostsNoMoreThanItsBytes) {
  // A bitmap of every bit, each flagging a one-byte part, all there.
  std::string definitions = "1|4|0\n62|999|3 layout=bitmap map-bytes=16 map-bit1=part\n";
  for (int bit = 1; bit <= 128; ++bit) definitions += "62." + std::to_string(bit) + "|1|0\n";
  decoder = decoder_of(definitions);
  const std::string every_bit = std::string(16, '\xFF') + std::string(128, 'x');
  decode(message_of({{62, "144" + every_bit}}));
  EXPECT_EQ(message.parts.size(), 128u);
  EXPECT_TRUE(message.misfits.empty());
  // The same bitmap with the parts missing: one note, no parts.
  decode(message_of({{62, "016" + std::string(16, '\xFF')}}));
  EXPECT_TRUE(message.parts.empty());
  ASSERT_EQ(message.misfits.size(), 1u);
  EXPECT_EQ(message.misfits[0].reason, "62.1 at byte 16 needs 1 byte, 0 remain");
  // A tag's length claiming far past its field.
  decoder = decoder_of("1|4|0\n48|9999|4 layout=tagged tag=ascii2 tag-len=ascii3\n");
  decode(message_of({{48, "0020" "01" "999" + std::string(15, 'x')}}));
  EXPECT_TRUE(message.parts.empty());
  EXPECT_EQ(message.misfits.at(0).reason, "tag 01 at byte 0 says 999 bytes, 15 remain");
  // A field of 9,999 bytes reaching past the message: after a tag there,
  // its zeros are no tag.
  decode(message_of({{48, "9999" "01999"}}));
  EXPECT_TRUE(message.parts.empty());
  EXPECT_EQ(message.misfits.at(0).reason, "the tag at byte 1004 (0000) is not one of tag=");
}

TEST(CompositeDefinitions, ProblemsNameTheLineAndTheWord) {
  const struct {
    std::string lines;
    std::string problem;
  } kCases[] = {
      {"48|99|3\n48.1|2|0\n", "2 error: '48.1': no line before it gives 48 a layout= to cut it into parts"},
      {"48|99|3 tag=ascii2\n", "1 error: 'tag=ascii2' needs layout=tagged"},
      {"48|99|3 layout=positional tag=ascii2\n",
       "1 error: 'tag=ascii2' belongs to layout=tagged, not layout=positional"},
      {"48|99|3 layout=tagged tag=ascii2\n",
       "1 error: layout=tagged needs tag= and tag-len=, how its tags and their lengths are written"},
      {"48|99|3 layout=tagged tag=ascii2 tag-len=ascii2\n48.123|2|0\n",
       "2 error: '48.123': its tag= takes 2 letters or digits"},
      {"3|6|0 layout=positional\n3.1|2|0\n3.3|2|0\n",
       "1 error: '3': part 3.2 is missing, so the parts after it have no place"},
      {"3|6|0 layout=positional\n3.1|2|0\n3.2|2|0\n", "1 error: '3': its parts take 4 bytes of its 6"},
      {"3|6|0 layout=positional\n3.1|*|0\n3.2|*|0\n", "1 error: '3': only one part can take the rest of the data"},
      {"60|17|3 data=bcd layout=tagged tag=ascii2 tag-len=ascii2\n",
       "1 error: 'layout=tagged' cuts bytes, but 60 holds packed digits: they are cut by layout=positional"},
      {"60|17|3 data=bcd layout=positional\n60.1|2|0 data=ebcdic\n",
       "2 error: '60.1': 'data=ebcdic': the parts of packed digits are digits"},
      {"62|99|3 layout=bitmap map-bytes=2\n62.17|1|0\n", "2 error: '62.17': its bitmap has only 16 bits"},
      {"48|99|3 layout=positional\n48.1|2|2\n",
       "2 error: '48.1': only the parts of layout=bitmap have length digits"},
      // Four levels of parts are read; a fifth is refused.
      {"9|99|2 layout=positional\n9.1|9|0 layout=positional\n9.1.1|9|0 layout=positional\n"
       "9.1.1.1|9|0 layout=positional\n9.1.1.1.1|9|0 layout=positional\n",
       "5 error: 'layout=positional' on '9.1.1.1.1': parts nest at most 4 levels deep"},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.lines);
    const Definitions read = parse_definitions(test.lines);
    EXPECT_FALSE(read.complete);
    std::string problems;
    for (const DefinitionProblem& problem : read.problems) {
      problems += std::to_string(problem.line) + (problem.is_error ? " error: " : ": ") + problem.reason + "\n";
    }
    EXPECT_EQ(problems, test.problem + "\n");
    EXPECT_TRUE(read.dialect.layouts.empty());
  }
}

TEST(CompositeDefinitions, WrittenOutTheyReadBackAsTheSameDefinitions) {
  const Definitions first = parse_definitions(kDefinitions);
  ASSERT_TRUE(first.complete);
  std::string written;
  write_dialect(first.dialect, &written);
  const Definitions second = parse_definitions(written);
  ASSERT_TRUE(second.complete) << written;
  std::string rewritten;
  write_dialect(second.dialect, &rewritten);
  EXPECT_EQ(rewritten, written);
  EXPECT_NE(written.find("62.25.2|10|0 len=ascii data=raw unit=bytes align=right pad=0 mask=none  # account\n"),
            std::string::npos) << written;
  EXPECT_NE(written.find("43|99|2 len=ascii data=raw unit=bytes align=right pad=0 mask=none "
                         "layout=delimited separator=\\ delimited=3  # card acceptor\n"),
            std::string::npos) << written;
}

// The JSON of `message` with the "hex" and "text" of every composite field
// removed, as a script would give only the parts.
std::string json_of_parts(const DecodedMessage& message) {
  MessageJson json;
  std::string line;
  json.begin(&line);
  json.add_decoded(message);
  json.end();
  rapidjson::Document document;
  document.Parse(line.c_str());
  for (rapidjson::Value& field : document["fields"].GetArray()) {
    if (!field.HasMember("sub")) continue;
    field.RemoveMember("hex");
    field.RemoveMember("text");
  }
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  document.Accept(writer);
  return buffer.GetString();
}

TEST_F(CompositeTest, EveryLayoutPacksFromItsPartsToTheSameBytes) {
  const std::string original = every_kind();
  decode(original);
  std::string line = json_of_parts(message);
  ASSERT_EQ(line.find("\"hex\":\"0140840C"), std::string::npos);  // field 54 given by parts only
  PackRequest request;
  std::string packed;
  std::string error;
  ASSERT_TRUE(read_pack_request(&line, &request, &error)) << error;
  ASSERT_TRUE(pack_message(decoder.dialect(), request, &packed, &error)) << error;
  EXPECT_EQ(hex_of(packed), hex_of(original));
}

TEST_F(CompositeTest, PartsThatDoNotFitTheirLayoutAreRefusedWhenPacked) {
  PackRequest request;
  request.type_indicator = "0200";
  PackField field;
  field.number = 3;
  field.value.from_parts = true;
  field.value.parts = {{"3.1", PackValue("00")}, {"3.2", PackValue("3")}, {"3.3", PackValue("00")}};
  request.fields.push_back(field);
  std::string packed;
  std::string error;
  EXPECT_FALSE(pack_message(decoder.dialect(), request, &packed, &error));
  EXPECT_EQ(error, "field 3: 3.2: 1 units, but it is fixed at 2");
  request.fields[0].value.parts[1].id = "4.2";
  EXPECT_FALSE(pack_message(decoder.dialect(), request, &packed, &error));
  EXPECT_EQ(error, "field 3: 4.2: not a part of 3");
}

}  // namespace
