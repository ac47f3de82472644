// Dialects through the programs and back: every shipped dialect's sample
// dumped as JSON and packed again, messages of random dialects packed,
// decoded, written as JSON, read back and packed again, card data masked
// by its decoded characters, and the options that name and show dialects.
#include <random>
#include <string>

#include "decode/decoder.h"
#include "gtest/gtest.h"
#include "json/message_json.h"
#include "json/pack_request_json.h"
#include "mask/card_data_mask.h"
#include "pack/message_packer.h"
#include "tests/masking_support.h"
#include "tests/process_support.h"
#include "tests/test_support.h"

namespace {

const char* const kDialects[] = {"unionpay-pos", "iso87-ascii", "iso87-binary", "iso93-ascii",
                                 "ebcdic", "layouts-example"};

TEST(DialectPrograms, EverySampleDumpedAndPackedGivesItsBytes) {
  for (const char* name : kDialects) {
    const std::string sample = "examples/" + std::string(name) + ".hex";
    const ProcessRun json = run_program(ISO8583DUMP_PATH, std::string("--json --defs ") + name + " " + sample);
    EXPECT_EQ(json.status, 0) << name << json.err;
    const ProcessRun packed = run_program(ISO8583PACK_PATH, std::string("--defs ") + name, json.out);
    EXPECT_EQ(packed.status, 0) << name << packed.err;
    EXPECT_EQ(packed.out, slurp(std::string(SOURCE_DIR) + "/" + sample)) << name;
  }
}

TEST(DialectPrograms, TheUtf8ReportOfEverySampleIsItsRawReport) {
  for (const char* name : kDialects) {
    const std::string arguments = std::string("--defs ") + name + " examples/" + name + ".hex";
    const ProcessRun raw = run_program(ISO8583DUMP_PATH, "--raw " + arguments);
    const ProcessRun utf8 = run_program(ISO8583DUMP_PATH, arguments);
    std::string expected = iconv_convert("UTF-8", "CP936", raw.out);
    for (size_t at; (at = expected.find("\r\n")) != std::string::npos;) expected.erase(at, 1);
    EXPECT_EQ(utf8.out, expected) << name;
  }
}

TEST(DialectPrograms, DialectsAreListedNamedAndShown) {
  const ProcessRun list = run_program(ISO8583DUMP_PATH, "--dialects");
  EXPECT_EQ(list.status, 0);
  for (const char* name : kDialects) EXPECT_NE(list.out.find(std::string(name) + " "), std::string::npos) << name;
  const ProcessRun shown = run_program(ISO8583PACK_PATH, "--defs unionpay-pos --print-defs");
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.out.find("header=11 bitmap=binary secondary=flagged ebcdic=037\n"), std::string::npos);
  EXPECT_NE(shown.out.find("\n35|37|2 len=bcd data=track unit=digits align=left pad=f mask=card  # track 2 data\n"),
            std::string::npos);
}

TEST(DialectPrograms, DefinitionProblemsAreNamedWithFileAndLine) {
  const std::string bad = write_scratch("bad.ini", "1|4|0\n2|19|2 len=bcd data=packed\n");
  const ProcessRun refused = run_program(ISO8583DUMP_PATH, "--defs " + bad + " examples/purchase.hex");
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err, bad + ":2: 'data=packed': data is raw, bcd, track, ebcdic, binary, amount, "
                               "amount-ebcdic or amount-bcd\n");
  EXPECT_EQ(refused.out, "");
  const std::string stops = write_scratch("stops.ini", "1|4|0\n3|6|0\nthree|6|0\n4|12|0\n");
  const ProcessRun decoded = run_program(ISO8583DUMP_PATH, "--defs " + stops + " examples/purchase.hex");
  EXPECT_EQ(decoded.status, 1);
  // The sample definitions read the message: a hint names them.
  const std::string problem = stops + ":3: not a definition (a field number from 1 to 128, or "
                                      "name=value properties): the reading stops here\n";
  EXPECT_EQ(decoded.err.substr(0, problem.size()), problem);
  EXPECT_EQ(decoded.err.substr(problem.size()).rfind(
                "hint: read as bitmap, this message unpacks completely; decode it with --defs ", 0),
            0u);
  EXPECT_EQ(decoded.out, "开始解包:\nfld[000][004]=[0200]\nfld[2] bitmap is not exist!\n");
}

TEST(DialectPrograms, PackedAndEbcdicCardNumbersAreMaskedByTheirDigits) {
  const ProcessRun unionpay = run_program(ISO8583DUMP_PATH, "--mask --defs unionpay-pos examples/unionpay-pos.hex");
  EXPECT_NE(unionpay.out.find("\nfld[002][019]=[622202*********0123]\n"), std::string::npos);
  EXPECT_NE(unionpay.out.find("\nfld[035][036]=[622202*********0123=****************]\n"), std::string::npos);
  EXPECT_NE(unionpay.out.find("\nfld[052][008]=[****************]\n"), std::string::npos);
  const ProcessRun ebcdic = run_program(ISO8583DUMP_PATH, "--mask --json --defs ebcdic examples/ebcdic.hex");
  EXPECT_NE(ebcdic.out.find("\"hex\":\"F4F7F6F1F7F3************F0F0F1F0\",\"text\":\"476173******0010\""),
            std::string::npos) << ebcdic.out;
}

// A random dialect and a message of it, packed from random values.
class RandomDialect {
 public:
  explicit RandomDialect(std::mt19937* random) : random_(*random) {}

  // The definition file of a new random dialect.
  std::string definitions() {
    static const char* const kBitmaps[] = {"binary", "hex", "ebcdic-hex"};
    std::string text = "header=" + std::to_string(pick(0, 12)) + " bitmap=" + kBitmaps[pick(0, 2)] +
                       (pick(0, 1) ? " secondary=flagged" : " secondary=always") +
                       (pick(0, 1) ? " ebcdic=1047\n" : "\n");
    static const char* const kIndicators[] = {"raw", "bcd", "ebcdic"};
    text += std::string("1|4|0 data=") + kIndicators[pick(0, 2)] + "\n";
    for (int field = 2 + pick(0, 8); field <= 128; field += 1 + pick(0, 14)) text += field_line(field);
    return text;
  }

  // A value for every field of `dialect`, one time in three.
  PackRequest request(const Dialect& dialect) {
    PackRequest request;
    request.header = std::string(static_cast<size_t>(dialect.message.header_length), 'H');
    request.type_indicator.bytes = "0200";
    request.type_indicator.is_text = true;
    for (int field = 2; field <= 128; ++field) {
      if (dialect.defs[field].number == field && pick(0, 2) == 0) {
        request.fields.push_back({field, value(dialect.defs[field])});
      }
    }
    return request;
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::string field_line(int field) {
    static const char* const kData[] = {"raw", "bcd", "track", "ebcdic", "binary", "amount",
                                        "amount-ebcdic", "amount-bcd"};
    static const char* const kLengths[] = {"ascii", "ebcdic", "bcd", "binary"};
    const int data = pick(0, 7);
    const int length = pick(0, 3);
    const int digits = pick(0, 1) == 0 ? 0 : length == 3 ? pick(1, 2) : pick(2, 3);
    std::string line = std::to_string(field) + "|" + std::to_string(pick(2, 40)) + "|" +
                       std::to_string(digits) + " len=" + kLengths[length] + " data=" + kData[data];
    if (data == 1 || data == 2 || data == 7) {
      line += pick(0, 1) ? " align=left" : "";
      line += pick(0, 1) ? " pad=f" : " pad=0";
      line += pick(0, 3) == 0 && data != 7 ? " unit=bytes" : "";
    }
    return line + "\n";
  }

  // A value of the field `def`: its length in its unit fits its framing.
  PackValue value(const FieldDef& def) {
    const FieldFormat& format = def.format;
    const int length = def.length_digits == 0 ? def.max_length : pick(0, def.max_length);
    PackValue value;
    value.is_text = format.data != DataEncoding::kRaw && format.data != DataEncoding::kBinary;
    if (format.unit == LengthUnit::kBytes && is_packed(format.data)) {
      value.is_text = false;
      for (int k = 0; k < length; ++k) value.bytes.push_back(static_cast<char>(pick(0, 9) * 16 + pick(0, 9)));
      return value;
    }
    const bool amount = format.data == DataEncoding::kAmount || format.data == DataEncoding::kAmountEbcdic ||
                        format.data == DataEncoding::kAmountBcd;
    // A packed amount counts its digits, behind a sign byte it always has.
    const bool packed_amount = format.data == DataEncoding::kAmountBcd;
    const bool signed_value = amount && (length > 0 || packed_amount);
    if (signed_value) value.bytes.push_back(pick(0, 1) ? 'C' : 'D');
    const int characters = packed_amount ? length : length - (signed_value ? 1 : 0);
    for (int k = 0; k < characters; ++k) {
      switch (format.data) {
        case DataEncoding::kRaw:
        case DataEncoding::kBinary:
          value.bytes.push_back(static_cast<char>(pick(0, 255)));
          break;
        case DataEncoding::kEbcdic:
          value.bytes.push_back(static_cast<char>(pick(' ', '~')));
          break;
        case DataEncoding::kTrack:
          value.bytes.push_back(pick(0, 9) == 0 ? '=' : static_cast<char>(pick('0', '9')));
          break;
        default:
          value.bytes.push_back(static_cast<char>(pick('0', '9')));
          break;
      }
    }
    return value;
  }

  std::mt19937& random_;
};

TEST(DialectRoundTrip, RandomDialectsPackDumpAndPackAgainToTheSameBytes) {
  std::mt19937 random(8583);
  RandomDialect maker(&random);
  for (int round = 0; round < 200; ++round) {
    const std::string definitions = maker.definitions();
    const Decoder decoder = decoder_of(definitions);
    const PackRequest request = maker.request(decoder.dialect());
    std::string packed, error;
    ASSERT_TRUE(pack_message(decoder.dialect(), request, &packed, &error)) << error << "\n" << definitions;
    DecodedMessage message;
    if (decoder.decode(reinterpret_cast<const unsigned char*>(packed.data()), packed.size(), &message) ==
        DecodeOutcome::kTooShort) {
      continue;  // fewer bytes than any message has
    }
    ASSERT_EQ(message.verdict.result, UnpackResult::kUnpacked) << definitions << hex_of(packed);
    MessageJson json;
    std::string line;
    json.begin(&line);
    json.add_decoded(message);
    json.end();
    PackRequest again;
    ASSERT_TRUE(read_pack_request(&line, &again, &error)) << error;
    std::string repacked;
    ASSERT_TRUE(pack_message(decoder.dialect(), again, &repacked, &error)) << error << "\n" << definitions;
    EXPECT_EQ(hex_of(repacked), hex_of(packed)) << definitions;
  }
}

// Found by fuzzing: bytes alone hold an even count of packed digits, so a
// fixed field of 5 digits takes its length from its definition.
TEST(DialectRoundTrip, FixedFieldsOfOddDigitCountsPackFromTheirBytes) {
  const Decoder decoder = decoder_of("1|5|0 data=bcd\n3|5|0 data=bcd\n");
  PackRequest request;
  request.type_indicator = std::string("\x00\x20\x01", 3);
  request.fields.push_back({3, std::string("\x01\x23\x45", 3)});
  std::string packed, error;
  ASSERT_TRUE(pack_message(decoder.dialect(), request, &packed, &error)) << error;
  packed += std::string(20, '\0');
  DecodedMessage message;
  decoder.decode(reinterpret_cast<const unsigned char*>(packed.data()), packed.size(), &message);
  EXPECT_EQ(std::string(message.type_indicator.value, 5), "02001");
  EXPECT_EQ(std::string(message.fields.at(0).value, 5), "12345");
}

}  // namespace
