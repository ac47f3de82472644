// The shipped dialects' composite fields: each dialect reads with the
// layouts its comments name, each sample decodes into the parts of every
// composite it holds, messages built by hand from the dialects' rules give
// their parts' lines, data that does not fit is noted, and every message
// packs back to its bytes from its parts alone.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/field_report.h"
#include "gtest/gtest.h"
#include "rapidjson/document.h"
#include "rapidjson/stringbuffer.h"
#include "rapidjson/writer.h"
#include "tests/process_support.h"
#include "tests/test_support.h"

namespace {

// The fields that each shipped dialect cuts into parts, as its comments
// say, and those of them that its sample holds.
struct Composites {
  std::set<int> fields;
  std::set<int> in_sample;
};
const std::map<std::string, Composites> kComposites = {
    {"ebcdic", {{3, 43, 54, 90}, {3, 43}}},
    {"iso87-ascii", {{3, 43, 54, 90}, {3}}},
    {"iso87-binary", {{3, 43, 54, 90}, {3}}},
    {"iso93-ascii", {{3, 22, 54, 56}, {3, 22}}},
    {"layouts-example", {{3, 43, 48, 54, 62, 90, 127}, {3, 43, 48, 54, 62, 127}}},
    {"unionpay-pos", {{3, 60, 61, 63}, {3, 60}}},
};

Dialect dialect_named(const std::string& name) {
  const Definitions read = parse_definitions(read_file("dialects/" + name + ".ini"));
  EXPECT_TRUE(read.complete) << name;
  EXPECT_TRUE(read.problems.empty()) << name << ": " << read.problems.front().reason;
  return read.dialect;
}

TEST(CompositeDialects, EveryShippedDialectReadsWithTheLayoutsItsCommentsName) {
  const std::vector<std::string> names = shipped_dialects();
  ASSERT_EQ(names.size(), kComposites.size());
  // Parts that hold card data, by dialect and id.
  std::set<std::string> card_parts;
  for (const std::string& name : names) {
    ASSERT_EQ(kComposites.count(name), 1u) << name;
    const Dialect dialect = dialect_named(name);
    std::set<int> composite;
    for (const FieldDef& def : dialect.defs) {
      if (def.number > 0 && def.layout >= 0) composite.insert(def.number);
    }
    EXPECT_EQ(composite, kComposites.at(name).fields) << name;
    for (const Layout& layout : dialect.layouts) {
      for (const PartDef& part : layout.parts) {
        if (part.format.card_data == CardData::kPan) card_parts.insert(name + " card " + layout.id + "." + part.key);
        if (part.format.card_data == CardData::kSecret) card_parts.insert(name + " secret " + layout.id + "." + part.key);
      }
    }
  }
  EXPECT_EQ(card_parts, (std::set<std::string>{"layouts-example card 127.25.5A", "layouts-example secret 48.92"}));
  // The example holds every kind of layout.
  std::set<LayoutKind> kinds;
  for (const Layout& layout : dialect_named("layouts-example").layouts) kinds.insert(layout.kind);
  EXPECT_EQ(kinds.size(), 5u);
}

TEST(CompositeDialects, EverySampleDecodesIntoThePartsOfEveryCompositeItHolds) {
  for (const std::string& name : shipped_dialects()) {
    const Decoder decoder = decoder_of(read_file("dialects/" + name + ".ini"));
    DecodedMessage message;
    decode_text(decoder, read_file("examples/" + name + ".hex"), &message);
    EXPECT_EQ(message.verdict.result, UnpackResult::kUnpacked) << name;
    EXPECT_TRUE(message.misfits.empty()) << name;
    std::set<int> with_parts;
    for (const DecodedField& field : message.fields) {
      EXPECT_LT(field.misfit, 0) << name << " field " << field.number;
      if (field.part_count > 0) with_parts.insert(field.number);
    }
    EXPECT_EQ(with_parts, kComposites.at(name).in_sample) << name;
  }
}

// The lines of the example of every layout: each part under its field,
// indented by its depth; masked, the card number and the secret.
TEST(CompositeDialects, TheExampleOfEveryLayoutReportsEveryPart) {
  const ProcessRun run = run_program(ISO8583DUMP_PATH, "--defs layouts-example examples/layouts-example.hex");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "开始解包:\n"
            "fld[000][004]=[0100]\n"
            "fld[002][016]=[5123450000000008]\n"
            "fld[003][006]=[000000]\n"
            "  fld[3.1][002]=[00]\n"
            "  fld[3.2][002]=[00]\n"
            "  fld[3.3][002]=[00]\n"
            "fld[004][012]=[000000004500]\n"
            "fld[007][010]=[1207101530]\n"
            "fld[011][006]=[000412]\n"
            "fld[022][003]=[051]\n"
            "fld[041][008]=[TERM0003]\n"
            "fld[042][015]=[BOOKSHOP0000003]\n"
            "fld[043][055]=[CITY BOOKS\\100 MAIN STREET\\SPRINGFIELD\\62701     IL USA]\n"
            "  fld[43.1][010]=[CITY BOOKS]\n"
            "  fld[43.2][015]=[100 MAIN STREET]\n"
            "  fld[43.3][011]=[SPRINGFIELD]\n"
            "  fld[43.4][010]=[62701     ]\n"
            "  fld[43.5][003]=[IL ]\n"
            "  fld[43.6][003]=[USA]\n"
            "fld[048][019]=[R420701032109203123]\n"
            "  fld[48.prefix][001]=[R]\n"
            "  fld[48.42][007]=[0103210]\n"
            "    fld[48.42.01][003]=[210]\n"
            "  fld[48.92][003]=[123]\n"
            "fld[049][003]=[840]\n"
            "fld[054][040]=[0001840C0000001500000002840C000000120000]\n"
            "  fld[54[1].1][002]=[00]\n"
            "  fld[54[1].2][002]=[01]\n"
            "  fld[54[1].3][003]=[840]\n"
            "  fld[54[1].4][013]=[C000000150000]\n"
            "  fld[54[2].1][002]=[00]\n"
            "  fld[54[2].2][002]=[02]\n"
            "  fld[54[2].3][003]=[840]\n"
            "  fld[54[2].4][013]=[C000000120000]\n"
            "fld[062][021]=[E00000000000000059038123456789012341314232]\n"
            "  fld[62.1][001]=[Y]\n"
            "  fld[62.2][015]=[381234567890123]\n"
            "  fld[62.3][004]=[A1B2]\n"
            "fld[127][073]=[40001080000000003132535730303030303030343132323032363132303730303339"
            "5A0851234500000000089F02060000000045009F26081F2E3D4C5B6A79889F2701809F36020012]\n"
            "  fld[127.2][012]=[SW0000000412]\n"
            "  fld[127.20][008]=[20261207]\n"
            "  fld[127.25][039]=[5A0851234500000000089F02060000000045009F26081F2E3D4C5B6A79889F2701809F36020012]\n"
            "    fld[127.25.5A][008]=[5123450000000008]\n"
            "    fld[127.25.9F02][006]=[000000004500]\n"
            "    fld[127.25.9F26][008]=[1F2E3D4C5B6A7988]\n"
            "    fld[127.25.9F27][001]=[80]\n"
            "    fld[127.25.9F36][002]=[0012]\n"
            "解包成功\n");
  const ProcessRun masked =
      run_program(ISO8583DUMP_PATH, "--mask --defs layouts-example examples/layouts-example.hex");
  EXPECT_NE(masked.out.find("\nfld[048][019]=[R420701032109203***]\n"), std::string::npos) << masked.out;
  EXPECT_NE(masked.out.find("\n  fld[48.92][003]=[***]\n"), std::string::npos);
  EXPECT_NE(masked.out.find("\n  fld[127.25][039]=[5A08512345******00089F0206"), std::string::npos);
  EXPECT_NE(masked.out.find("\n    fld[127.25.5A][008]=[512345******0008]\n"), std::string::npos);
  EXPECT_EQ(masked.out.find("5123450000000008"), std::string::npos);
}

// `text` as EBCDIC (code page 037) in hexadecimal, converted by the C
// library rather than the decoder's tables.
std::string ebcdic_hex(const std::string& text) { return hex_of(iconv_convert("IBM037", "UTF-8", text)); }

// The report of the message of `hex` in the shipped dialect `name`.
Report report_in(const std::string& name, const std::string& hex) {
  const Decoder decoder = decoder_of(read_file("dialects/" + name + ".ini"));
  DecodedMessage message;
  decode_text(decoder, hex, &message);
  Report report;
  write_report(message, &report);
  return report;
}

// Messages built by hand from the dialects' rules, with the composites
// that no sample holds.
const std::string kIso87BinaryReversal =
    "0400 A000000000000400 0000004000000000"  // fields 3, 54; 90
    "003000"
    "0040" + hex_of("1001156C000000012345" "1002156D000000000100") +
    "020000037112070930150000004802000000000000";
const std::string kEbcdicReversal = ebcdic_hex("0400") + "A000000000000400 0000004000000000" +
                                    ebcdic_hex("003000" "020" "1001840C000000012345"
                                               "020000037212070930150000040002000000000000");
const std::string kUnionPayReply = "6000030000603100310000 0200 000000000000000A"  // fields 61, 63
                                   "0029 000001000371120701480200001230"
                                   "0066" + hex_of("CUP" "ISSUER NOTE         " "UNIONPAY NOTE       "
                                                   "ACQUIRER NOTE       " "POS");
const std::string kIso93Reversal = hex_of("1420" "0000000000000100" "32" "1200" "000371" "261207093015"
                                          "08" "48020000");

TEST(CompositeDialects, MessagesBuiltByHandGiveTheLinesOfTheirParts) {
  EXPECT_EQ(report_in("iso87-binary", kIso87BinaryReversal),
            report_text("开始解包:\n"
                        "fld[000][004]=[0400]\n"
                        "fld[003][006]=[003000]\n"
                        "  fld[3.1][002]=[00]\n"
                        "  fld[3.2][002]=[30]\n"
                        "  fld[3.3][002]=[00]\n"
                        "fld[054][040]=[1001156C0000000123451002156D000000000100]\n"
                        "  fld[54[1].1][002]=[10]\n"
                        "  fld[54[1].2][002]=[01]\n"
                        "  fld[54[1].3][003]=[156]\n"
                        "  fld[54[1].4][013]=[C000000012345]\n"
                        "  fld[54[2].1][002]=[10]\n"
                        "  fld[54[2].2][002]=[02]\n"
                        "  fld[54[2].3][003]=[156]\n"
                        "  fld[54[2].4][013]=[D000000000100]\n"
                        "fld[090][042]=[020000037112070930150000004802000000000000]\n"
                        "  fld[90.1][004]=[0200]\n"
                        "  fld[90.2][006]=[000371]\n"
                        "  fld[90.3][010]=[1207093015]\n"
                        "  fld[90.4][011]=[00000048020]\n"
                        "  fld[90.5][011]=[00000000000]\n"
                        "解包成功\n"));
  EXPECT_EQ(report_in("ebcdic", kEbcdicReversal),
            report_text("开始解包:\n"
                        "fld[000][004]=[0400]\n"
                        "fld[003][006]=[003000]\n"
                        "  fld[3.1][002]=[00]\n"
                        "  fld[3.2][002]=[30]\n"
                        "  fld[3.3][002]=[00]\n"
                        "fld[054][020]=[1001840C000000012345]\n"
                        "  fld[54[1].1][002]=[10]\n"
                        "  fld[54[1].2][002]=[01]\n"
                        "  fld[54[1].3][003]=[840]\n"
                        "  fld[54[1].4][013]=[C000000012345]\n"
                        "fld[090][042]=[020000037212070930150000040002000000000000]\n"
                        "  fld[90.1][004]=[0200]\n"
                        "  fld[90.2][006]=[000372]\n"
                        "  fld[90.3][010]=[1207093015]\n"
                        "  fld[90.4][011]=[00000400020]\n"
                        "  fld[90.5][011]=[00000000000]\n"
                        "解包成功\n"));
  EXPECT_EQ(report_in("unionpay-pos", kUnionPayReply),
            report_text("开始解包:\n"
                        "header[011]=[6000030000603100310000]\n"
                        "fld[000][004]=[0200]\n"
                        "fld[061][029]=[00000100037112070148020000123]\n"
                        "  fld[61.1][006]=[000001]\n"
                        "  fld[61.2][006]=[000371]\n"
                        "  fld[61.3][004]=[1207]\n"
                        "  fld[61.4][002]=[01]\n"
                        "  fld[61.5][011]=[48020000123]\n"
                        "fld[063][066]=[CUPISSUER NOTE         UNIONPAY NOTE       ACQUIRER NOTE       POS]\n"
                        "  fld[63.1][003]=[CUP]\n"
                        "  fld[63.2][063]=[ISSUER NOTE         UNIONPAY NOTE       ACQUIRER NOTE       POS]\n"
                        "    fld[63.2.1][020]=[ISSUER NOTE         ]\n"
                        "    fld[63.2.2][020]=[UNIONPAY NOTE       ]\n"
                        "    fld[63.2.3][020]=[ACQUIRER NOTE       ]\n"
                        "    fld[63.2.4][003]=[POS]\n"
                        "解包成功\n"));
  EXPECT_EQ(report_in("iso93-ascii", kIso93Reversal),
            report_text("开始解包:\n"
                        "fld[000][004]=[1420]\n"
                        "fld[056][032]=[12000003712612070930150848020000]\n"
                        "  fld[56.1][004]=[1200]\n"
                        "  fld[56.2][006]=[000371]\n"
                        "  fld[56.3][012]=[261207093015]\n"
                        "  fld[56.4][002]=[08]\n"
                        "  fld[56.5][008]=[48020000]\n"
                        "解包成功\n"));
}

TEST(CompositeDialects, DataThatDoesNotFitAShippedLayoutIsNoted) {
  // Field 63 ends inside the issuer's reserved 20 characters.
  const ProcessRun short_63 = run_program(
      ISO8583DUMP_PATH, "--defs unionpay-pos",
      "6000030000603100310000 0200 0000000000000002 0013" + hex_of("CUPISSUER NOT"));
  EXPECT_EQ(short_63.status, 1);
  EXPECT_EQ(short_63.out,
            "开始解包:\n"
            "header[011]=[6000030000603100310000]\n"
            "fld[000][004]=[0200]\n"
            "fld[063][013]=[CUPISSUER NOT]\n"
            "  fld 63: part 63.2.1 at byte 3 needs 20 bytes, 10 remain\n"
            "解包成功\n");
  EXPECT_EQ(short_63.err, "fld 63: part 63.2.1 at byte 3 needs 20 bytes, 10 remain\n");
  // The second amount of field 54 stops short of its 20 characters.
  const ProcessRun short_54 = run_program(
      ISO8583DUMP_PATH, "--defs iso87-ascii --json",
      hex_of("0200" "0000000000000400" "030" "1001840C000000012345" "1002840C00"));
  EXPECT_EQ(short_54.status, 1);
  EXPECT_NE(short_54.out.find("\"sub_error\":{\"field\":54,\"sub\":\"54[2].4\",\"offset\":27,"
                             "\"reason\":\"part 54[2].4 at byte 27 needs 13 bytes, 3 remain\"}"),
            std::string::npos) << short_54.out;
}

// Removes "hex" and "text" from every object of `value` that has "sub";
// returns how many it stripped.
int strip_composites(rapidjson::Value* value, rapidjson::Document::AllocatorType* allocator) {
  int stripped = 0;
  if (value->IsObject()) {
    if (value->HasMember("sub")) {
      value->RemoveMember("hex");
      value->RemoveMember("text");
      ++stripped;
    }
    for (auto& member : value->GetObject()) stripped += strip_composites(&member.value, allocator);
  } else if (value->IsArray()) {
    for (auto& element : value->GetArray()) stripped += strip_composites(&element, allocator);
  }
  return stripped;
}

// The message of `hex` in dialect `name`, dumped as JSON, its composites
// left with their parts alone, and packed again: its bytes in hexadecimal.
std::string packed_from_parts(const std::string& name, const std::string& hex, int* composites) {
  const ProcessRun json = run_program(ISO8583DUMP_PATH, "--json --defs " + name, hex);
  EXPECT_EQ(json.status, 0) << name << json.err;
  rapidjson::Document document;
  document.Parse(json.out.c_str());
  EXPECT_FALSE(document.HasParseError()) << name;
  *composites = strip_composites(&document, &document.GetAllocator());
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  document.Accept(writer);
  const std::string stripped = buffer.GetString();
  EXPECT_EQ(stripped.find("\"sub\":[]"), std::string::npos) << stripped;
  const ProcessRun packed = run_program(ISO8583PACK_PATH, "--defs " + name, stripped + "\n");
  EXPECT_EQ(packed.status, 0) << name << packed.err << stripped;
  return packed.out;
}

TEST(CompositeDialects, EveryMessagePacksBackFromThePartsOfItsComposites) {
  for (const std::string& name : shipped_dialects()) {
    const std::string sample = read_file("examples/" + name + ".hex");
    int composites = 0;
    EXPECT_EQ(packed_from_parts(name, sample, &composites), sample) << name;
    // Every composite field, and in the example 48.42 and 127.25 inside theirs.
    const int nested = name == "layouts-example" ? 2 : 0;
    EXPECT_EQ(composites, static_cast<int>(kComposites.at(name).in_sample.size()) + nested) << name;
  }
  // Their composites: 3, 54 and 90; 61, 63 and 63.2; 56.
  const struct {
    const char* dialect;
    std::string hex;
    int composites;
  } built[] = {{"iso87-binary", kIso87BinaryReversal, 3},
               {"ebcdic", kEbcdicReversal, 3},
               {"unionpay-pos", kUnionPayReply, 3},
               {"iso93-ascii", kIso93Reversal, 1}};
  for (const auto& message : built) {
    int composites = 0;
    std::string expected = message.hex;
    expected.erase(std::remove(expected.begin(), expected.end(), ' '), expected.end());
    EXPECT_EQ(packed_from_parts(message.dialect, message.hex, &composites), expected + "\n") << message.dialect;
    EXPECT_EQ(composites, message.composites) << message.dialect;
  }
}

}  // namespace
