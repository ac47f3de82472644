// The comparison of two messages: a request and its response field by
// field, with and without places left out; chip data element by element,
// inside templates and masked; messages of two dialects; and every ending
// of iso8583dump --diff.
#include <cstdio>
#include <string>
#include <vector>

#include "decode/decoder.h"
#include "diff/message_diff.h"
#include "gtest/gtest.h"
#include "rapidjson/document.h"
#include "tests/process_support.h"
#include "tests/test_support.h"

namespace {

ProcessRun run_dump(const std::string& arguments, const std::string& input = "") {
  return run_program(ISO8583DUMP_PATH, arguments, input);
}

// A dialect of card number, amount and chip data, and two purchases in
// it: B has another amount, another card number inside template 70,
// element 91 instead of 9F27, and the same 9F36.
constexpr char kChipDialect[] =
    "secondary=flagged\n1|4|0 # message type\n2|19|2 # card number\n4|12|0 # amount\n"
    "55|999|3 # chip data\n";
constexpr char kChipA[] =
    "30323030500000000000020031363437363137333930303130313030313030303030303030313238353030"
    "33349F02060000000128509F270180700E5A0847617390010100109F3401FF9F360201A7";
constexpr char kChipB[] =
    "30323030500000000000020031363437363137333930303130313030313030303030303030393939303030"
    "33349F0206000000099900700E5A0847617390010100119F3401FF9F360201A791023A1F";

// The places of `differences` with their changes: "4 changed".
std::vector<std::string> places_of(const std::vector<Difference>& differences) {
  static const char* const kChanges[] = {"only_a", "only_b", "changed"};
  std::vector<std::string> places;
  for (const Difference& difference : differences) {
    places.push_back(difference.place + " " + kChanges[static_cast<int>(difference.change)] +
                     (difference.inner ? " inner" : ""));
  }
  return places;
}

// Decodes `bytes` into `message` with `decoder`.
void decode_with(const Decoder& decoder, const std::string& bytes, DecodedMessage* message) {
  decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), message);
}

TEST(MessageDiff, FindsEveryPlaceInsideChipDataAndTemplates) {
  const Decoder decoder = decoder_of(kChipDialect);
  DecodedMessage a;
  DecodedMessage b;
  decode_with(decoder, bytes_of(kChipA), &a);
  decode_with(decoder, bytes_of(kChipB), &b);
  MessageDiff diff;
  diff.compare(a, b, IgnoredPlaces());
  EXPECT_EQ(places_of(diff.differences()),
            (std::vector<std::string>{"4 changed", "55 changed inner", "55.9F02 changed",
                                      "55.9F27 only_a", "55.70 changed inner",
                                      "55.70.5A changed", "55.91 only_b"}));
  diff.compare(b, a, IgnoredPlaces());
  EXPECT_EQ(places_of(diff.differences()),
            (std::vector<std::string>{"4 changed", "55 changed inner", "55.9F02 changed",
                                      "55.70 changed inner", "55.70.5A changed", "55.91 only_a",
                                      "55.9F27 only_b"}));
  diff.compare(a, a, IgnoredPlaces());
  EXPECT_TRUE(diff.differences().empty());
}

TEST(MessageDiff, ElementsOfOneTagAreMatchedInTheirOrder) {
  // Field 55 alone: three elements 9F36 in A, the second changed in B.
  const std::string dialect = "1|4|0\n55|999|3\n";
  const std::string head = "0200" + bytes_of("0000000000000200 0000000000000000") + "015";
  const Decoder decoder = decoder_of(dialect);
  DecodedMessage a;
  DecodedMessage b;
  decode_with(decoder, head + bytes_of("9F36020001 9F36020002 9F36020003"), &a);
  decode_with(decoder, head + bytes_of("9F36020001 9F360200FF 9F36020003"), &b);
  MessageDiff diff;
  diff.compare(a, b, IgnoredPlaces());
  EXPECT_EQ(places_of(diff.differences()),
            (std::vector<std::string>{"55 changed inner", "55.9F36#2 changed"}));
}

// A dialect with two composite fields: 48 of tagged parts (two-character
// tags and lengths), 60 of parts in fixed positions.
constexpr char kCompositeDialect[] =
    "secondary=flagged\n1|4|0 # message type\n3|6|0 # processing code\n"
    "48|999|3 layout=tagged tag=ascii2 tag-len=ascii2 # additional data\n"
    "48.26|4|0 # merchant category\n48.30|10|0 # terminal serial\n"
    "60|17|3 layout=positional # reserved private\n"
    "60.1|2|0 # message type code\n60.2|6|0 # batch number\n60.3|3|0 # network code\n";

// The bytes of a message of that dialect with fields 3, 48 and 60.
std::string composite_message(const std::string& field48, const std::string& field60) {
  const auto with_length = [](const std::string& data) {
    char length[4];
    std::snprintf(length, sizeof length, "%03zu", data.size());
    return length + data;
  };
  return "0200" + bytes_of("2000000000010010") + "000000" + with_length(field48) +
         with_length(field60);
}

// Field 48 of A and B: tag 26 twice, the second changed; 30 the same; 99,
// which the file does not name, changed. Field 60: its batch number
// changed, its network code only in A.
const std::string kCompositeA =
    composite_message("26045411" "3010TERM000001" "26040001" "9902XY", "22000001003");
const std::string kCompositeB =
    composite_message("26045411" "3010TERM000001" "26040002" "9902XZ", "22000002");
// Field 48 of C ends inside a tag: it does not fit its layout.
const std::string kCompositeC = composite_message("2604541130", "22000002003");

TEST(MessageDiff, ComparesCompositeFieldsPartByPartAndMisfitsWhole) {
  const Decoder decoder = decoder_of(kCompositeDialect);
  DecodedMessage a;
  DecodedMessage b;
  DecodedMessage c;
  decode_with(decoder, kCompositeA, &a);
  decode_with(decoder, kCompositeB, &b);
  decode_with(decoder, kCompositeC, &c);
  ASSERT_EQ(c.find(48)->misfit, 0);
  MessageDiff diff;
  diff.compare(a, b, IgnoredPlaces());
  EXPECT_EQ(places_of(diff.differences()),
            (std::vector<std::string>{"48 changed inner", "48.26#2 changed", "48.99 changed",
                                      "60 changed inner", "60.2 changed", "60.3 only_a"}));
  const Difference& batch = diff.differences()[4];
  EXPECT_EQ(batch.kind, PlaceKind::kPart);
  EXPECT_EQ(batch.field, 60);
  EXPECT_EQ(part_id(a.parts[static_cast<size_t>(batch.row_a)]), "60.2");
  EXPECT_EQ(part_id(b.parts[static_cast<size_t>(batch.row_b)]), "60.2");
  diff.compare(b, a, IgnoredPlaces());
  EXPECT_EQ(places_of(diff.differences()),
            (std::vector<std::string>{"48 changed inner", "48.26#2 changed", "48.99 changed",
                                      "60 changed inner", "60.2 changed", "60.3 only_b"}));
  // Field 48 of C does not fit: it is compared whole, with no parts.
  diff.compare(a, c, IgnoredPlaces());
  EXPECT_EQ(places_of(diff.differences()),
            (std::vector<std::string>{"48 changed", "60 changed inner", "60.2 changed"}));
}

TEST(MessageDiff, IgnoreListsNameFieldsTheTypeAndTheHeader) {
  IgnoredPlaces ignored;
  ASSERT_TRUE(parse_ignored_places("7,11,128,mti,header", &ignored));
  EXPECT_TRUE(ignored.fields[7] && ignored.fields[11] && ignored.fields[128]);
  EXPECT_FALSE(ignored.fields[12]);
  EXPECT_TRUE(ignored.type_indicator && ignored.header);
  for (const char* bad : {"", "7,", ",7", "1", "129", "7;11", "x", "07x", "-3", "MTI"}) {
    IgnoredPlaces unused;
    EXPECT_FALSE(parse_ignored_places(bad, &unused)) << bad;
  }
}

TEST(DiffCommand, ARequestAndItsResponseDifferFieldByField) {
  const ProcessRun run = run_dump("--diff examples/purchase.hex examples/response.hex --ignore 55");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "Message type indicator | changed\n"
            "  - 0200 | ISO 8583:1987, financial, request, from acquirer\n"
            "  + 0210 | ISO 8583:1987, financial, request response, from acquirer\n"
            "Field 14 | date, expiration, YYMM | only in A\n"
            "  - 2912 | December 2029\n"
            "Field 18 | merchant type (MCC) | only in A\n"
            "  - 5411\n"
            "Field 22 | point of service entry mode | only in A\n"
            "  - 051 | PAN read from integrated circuit card, terminal accepts PINs\n"
            "Field 23 | card sequence number | only in A\n"
            "  - 001\n"
            "Field 35 | track 2 data | only in A\n"
            "  - 6222021234567890123=2912220123456780\n"
            "Field 38 | authorization identification response | only in B\n"
            "  + A1B2C3\n"
            "Field 39 | response code | only in B\n"
            "  + 00 | approved or completed successfully\n"
            "Field 43 | card acceptor name/location | only in A\n"
            "  - SHANGHAI DAILY FRESH MARKET  SHANGHAI CN\n");
  // With the chip data: 21 elements only in the request, 91 only in the
  // response, 9F36 the same in both.
  const ProcessRun whole = run_dump("--diff examples/purchase.hex examples/response.hex");
  EXPECT_EQ(whole.status, 1);
  const size_t chip = whole.out.find("Field 55 | ICC (chip card) data, BER-TLV, binary | changed\n"
                                     "  9F26 | Application Cryptogram | 应用密文 | only in A\n"
                                     "    - 7A3C1E5B9D20F486\n");
  ASSERT_NE(chip, std::string::npos);
  EXPECT_EQ(whole.out.substr(0, chip), run.out);
  const std::string last = "  91 | Issuer Authentication Data | 发卡行认证数据 | only in B\n"
                           "    + 3A1F77C2E0045E2B3030\n";
  ASSERT_GT(whole.out.size(), last.size());
  EXPECT_EQ(whole.out.substr(whole.out.size() - last.size()), last);
  EXPECT_EQ(whole.out.find("9F36"), std::string::npos);
  // Everything that differs left out: equal.
  const ProcessRun equal = run_dump("--diff examples/purchase.hex examples/response.hex "
                                    "--ignore mti,14,18,22,23,35,38,39,43,55");
  EXPECT_EQ(equal.status, 0);
  EXPECT_EQ(equal.out, "");
}

TEST(DiffCommand, ChipDataIsComparedUnmaskedAndShownMasked) {
  const std::string dialect = write_scratch("chip.ini", kChipDialect);
  const std::string a = write_scratch("a.hex", kChipA);
  const std::string b = write_scratch("b.hex", kChipB);
  const ProcessRun run = run_dump("--mask --defs " + dialect + " --diff " + a + " " + b);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "Field 4 | amount | changed\n"
            "  - 000000012850 | 12850 minor units, currency unknown\n"
            "  + 000000099900 | 99900 minor units, currency unknown\n"
            "Field 55 | chip data | changed\n"
            "  9F02 | Amount, Authorised (Numeric) | 授权金额 | changed\n"
            "    - 000000012850\n"
            "    + 000000099900\n"
            "  9F27 | Cryptogram Information Data | 密文信息数据 | only in A\n"
            "    - 80 | ARQC (Authorisation Request Cryptogram); no advice required; reason: no "
            "information given\n"
            "  70 | READ RECORD Response Message Template | 读记录响应报文模板 | changed\n"
            "    5A | Application Primary Account Number (PAN) | 应用主账号（PAN） | changed\n"
            "      - 476173******0010\n"
            "      + 476173******0011\n"
            "  91 | Issuer Authentication Data | 发卡行认证数据 | only in B\n"
            "    + 3A1F\n");

  const ProcessRun json = run_dump("--json --mask --defs " + dialect + " --diff " + a + " " + b);
  EXPECT_EQ(json.status, 1);
  rapidjson::Document record;
  record.Parse(json.out.c_str());
  ASSERT_FALSE(record.HasParseError());
  EXPECT_FALSE(record["equal"].GetBool());
  EXPECT_TRUE(record["masked"].GetBool());
  const auto& differences = record["differences"];
  ASSERT_EQ(differences.Size(), 7u);
  const auto& amount = differences[0];
  EXPECT_STREQ(amount["place"].GetString(), "4");
  EXPECT_STREQ(amount["a"]["text"].GetString(), "000000012850");
  EXPECT_STREQ(amount["b"]["meaning"].GetString(), "99900 minor units, currency unknown");
  EXPECT_TRUE(differences[1]["inner"].GetBool());
  const auto& pan = differences[5];
  EXPECT_STREQ(pan["place"].GetString(), "55.70.5A");
  EXPECT_STREQ(pan["tag"].GetString(), "5A");
  EXPECT_EQ(pan["depth"].GetInt(), 2);
  EXPECT_STREQ(pan["b"]["value"].GetString(), "476173******0011");
  EXPECT_STREQ(pan["b"]["name_en"].GetString(), "Application Primary Account Number (PAN)");
  const auto& issuer = differences[6];
  EXPECT_STREQ(issuer["change"].GetString(), "only_b");
  EXPECT_FALSE(issuer.HasMember("a"));

  const ProcessRun same = run_dump("--json --defs " + dialect + " --diff " + a + " " + a);
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.out, "{\"equal\":true,\"differences\":[]}\n");
}

TEST(DiffCommand, PartsAreShownWithTheirNamesAndMisfitsWithTheirReason) {
  const std::string dialect = write_scratch("composite.ini", kCompositeDialect);
  const std::string a = write_scratch("composite-a.hex", hex_of(kCompositeA));
  const std::string b = write_scratch("composite-b.hex", hex_of(kCompositeB));
  const std::string c = write_scratch("composite-c.hex", hex_of(kCompositeC));
  const ProcessRun run = run_dump("--defs " + dialect + " --diff " + a + " " + b);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "Field 48 | additional data | changed\n"
            "  48.26#2 | merchant category | changed\n"
            "    - 0001\n"
            "    + 0002\n"
            "  48.99 | changed\n"
            "    - XY\n"
            "    + XZ\n"
            "Field 60 | reserved private | changed\n"
            "  60.2 | batch number | changed\n"
            "    - 000001\n"
            "    + 000002\n"
            "  60.3 | network code | only in A\n"
            "    - 003\n");
  const ProcessRun misfit = run_dump("--defs " + dialect + " --diff " + a + " " + c + " --ignore 60");
  EXPECT_EQ(misfit.status, 1);
  EXPECT_EQ(misfit.out,
            "Field 48 | additional data | changed\n"
            "  - 260454113010TERM00000126040001" "9902XY\n"
            "  + 2604541130\n"
            "    does not fit its layout: at byte 8, 2 bytes cannot hold a tag and its length\n");

  const ProcessRun json = run_dump("--json --defs " + dialect + " --diff " + a + " " + b);
  rapidjson::Document record;
  record.Parse(json.out.c_str());
  ASSERT_FALSE(record.HasParseError());
  const auto& differences = record["differences"];
  ASSERT_EQ(differences.Size(), 6u);
  EXPECT_TRUE(differences[0]["inner"].GetBool());
  const auto& batch = differences[4];
  EXPECT_STREQ(batch["place"].GetString(), "60.2");
  EXPECT_EQ(batch["field"].GetInt(), 60);
  EXPECT_EQ(batch["depth"].GetInt(), 1);
  EXPECT_STREQ(batch["a"]["id"].GetString(), "60.2");
  EXPECT_STREQ(batch["a"]["hex"].GetString(), "303030303031");
  EXPECT_STREQ(batch["b"]["text"].GetString(), "000002");
  EXPECT_STREQ(batch["b"]["name"].GetString(), "batch number");
  EXPECT_FALSE(differences[2]["a"].HasMember("name"));
  EXPECT_FALSE(differences[5].HasMember("b"));

  const ProcessRun misfit_json =
      run_dump("--json --defs " + dialect + " --diff " + a + " " + c + " --ignore 60");
  record.Parse(misfit_json.out.c_str());
  ASSERT_FALSE(record.HasParseError());
  ASSERT_EQ(record["differences"].Size(), 1u);
  const auto& whole = record["differences"][0];
  EXPECT_FALSE(whole.HasMember("inner"));
  EXPECT_FALSE(whole["a"].HasMember("sub_error"));
  EXPECT_STREQ(whole["b"]["sub_error"]["reason"].GetString(),
               "at byte 8, 2 bytes cannot hold a tag and its length");
}

TEST(DiffCommand, MessagesOfTwoDialectsCompareByWhatTheySay) {
  // The same purchase in ASCII and in packed digits: the type, the card
  // number, the amount, the dates and codes they share are equal.
  const ProcessRun run = run_dump("--diff examples/purchase.hex examples/iso87-binary.hex "
                                  "--defs-b iso87-binary --ignore 55");
  EXPECT_EQ(run.status, 1);
  for (const char* equal : {"Message type", "Field 2 ", "Field 3 ", "Field 4 ", "Field 7 ",
                            "Field 11 ", "Field 22 ", "Field 37 ", "Field 49 "}) {
    EXPECT_EQ(run.out.find(equal), std::string::npos) << equal;
  }
  EXPECT_NE(run.out.find("Field 35 | track 2 data | changed\n"
                         "  - 6222021234567890123=2912220123456780\n"
                         "  + 6222021234567890123=291222012345678\n"),
            std::string::npos);
  EXPECT_NE(run.out.find("Field 52 | personal identification number data (binary) | only in B\n"
                         "  + hex 1A2B3C4D5E6F7081\n"),
            std::string::npos);
}

TEST(DiffCommand, ComparesLineByLineAndEndsAsDiffDoes) {
  const std::string purchase = read_file("examples/purchase.hex");
  const std::string response = read_file("examples/response.hex");
  const std::string two = write_scratch("two.txt", purchase + response);
  const std::string three = write_scratch("three.txt", purchase + purchase + purchase);
  const ProcessRun lines = run_dump("--each-line --ignore 55 --diff " + two + " " + three);
  EXPECT_EQ(lines.status, 1);
  EXPECT_EQ(lines.out.substr(0, lines.out.find('\n') + 1),
            "# " + two + " line 2, " + three + " line 2\n");
  EXPECT_NE(lines.out.find("\nField 38 | authorization identification response | only in A\n"),
            std::string::npos);
  EXPECT_EQ(lines.err, "iso8583dump: 2 messages in " + two + ", 3 in " + three +
                           ": the last 1 not compared\n");

  const std::string odd = write_scratch("odd.hex", "303");
  const ProcessRun refused = run_dump("--diff examples/purchase.hex " + odd);
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err, "msg length error\niso8583dump: " + odd + ": refused, not compared\n");
  const ProcessRun missing = run_dump("--diff no-such.hex examples/purchase.hex");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "iso8583dump: no-such.hex: No such file or directory\n");

  for (const char* usage : {"--diff examples/purchase.hex", "--diff a.hex --pcap b.pcap",
                            "--ignore 7 examples/purchase.hex",
                            "--diff a.hex b.hex --ignore 7,x", "--diff a.hex b.hex --raw"}) {
    const ProcessRun run = run_dump(usage);
    EXPECT_EQ(run.status, 2) << usage;
    EXPECT_NE(run.err.find("Try 'iso8583dump --help'"), std::string::npos) << usage;
  }
}

}  // namespace
