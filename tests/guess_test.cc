// The guess of a message's dialect: the ranking of real messages in every
// shipped dialect and framing, the framings and checks at their edges,
// iso8583dump --guess as a user runs it, and the hint after a decode that
// another dialect would read.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "guess/dialect_guess.h"
#include "guess/framing.h"
#include "guess/message_checks.h"
#include "rapidjson/document.h"
#include "tests/process_support.h"
#include "tests/test_support.h"

namespace {

const char* const kDialects[] = {"unionpay-pos", "iso87-ascii", "iso87-binary", "iso93-ascii",
                                 "ebcdic"};

// A guess with the candidates iso8583dump has in the source directory.
void add_candidates(DialectGuess* guess) {
  ASSERT_TRUE(guess->add_candidate("bitmap", read_file("bitmap.ini"), false));
  for (const char* dialect : kDialects) {
    ASSERT_TRUE(guess->add_candidate(dialect, read_file(std::string("dialects/") + dialect + ".ini"),
                                     false));
  }
}

// The bytes of the sample `name`.
std::string sample_bytes(const std::string& name) {
  return bytes_of(read_file("examples/" + name + ".hex"));
}

// `message` framed as `framing` frames it.
std::string framed(const std::string& message, const Framing& framing) {
  std::string bytes = framing.tpdu ? bytes_of("6000030000") + message : message;
  const size_t length = bytes.size();
  if (framing.length == LengthPrefix::kBinary2) {
    bytes.insert(0, std::string{static_cast<char>(length >> 8), static_cast<char>(length & 0xFF)});
  } else if (framing.length == LengthPrefix::kAscii4) {
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04zu", length);
    bytes.insert(0, digits);
  }
  return bytes;
}

// The best reading of `bytes`, and the name of its candidate.
Reading best_reading(const DialectGuess& guess, std::string* name) {
  const std::vector<Reading> ranking = guess.ranking();
  if (ranking.empty()) return Reading();
  *name = guess.candidates()[static_cast<size_t>(ranking.front().candidate)].name;
  return ranking.front();
}

ProcessRun run_dump(const std::string& arguments, const std::string& input = "") {
  return run_program(ISO8583DUMP_PATH, arguments, input);
}

TEST(DialectGuess, EachSampleRanksFirstInItsDialectAsItStandsAndBehindEachFraming) {
  DialectGuess guess;
  add_candidates(&guess);
  const std::vector<std::pair<std::string, std::string>> samples = {
      {"unionpay-pos", "unionpay-pos"}, {"iso87-ascii", "iso87-ascii"},
      {"iso87-binary", "iso87-binary"}, {"iso93-ascii", "iso93-ascii"},
      {"ebcdic", "ebcdic"},             {"purchase", "bitmap"},
      {"response", "bitmap"},           {"reversal", "bitmap"}};
  for (const auto& [sample, dialect] : samples) {
    for (int index = 0; index < kFramingCount; ++index) {
      const Framing& framing = kFramings[index];
      // Its header holds the TPDU: UnionPay POS messages come with theirs.
      if (dialect == "unionpay-pos" && framing.tpdu) continue;
      const std::string bytes = framed(sample_bytes(sample), framing);
      guess.clear_counts();
      guess.read(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
      std::string name;
      const Reading best = best_reading(guess, &name);
      EXPECT_EQ(name, dialect) << sample << " " << framing.name;
      EXPECT_STREQ(kFramings[best.framing].name, framing.name) << sample;
      EXPECT_TRUE(reads_completely(best, 1)) << sample << " " << framing.name;
    }
  }
}

TEST(DialectGuess, ManyMessagesAreRankedTogether) {
  DialectGuess guess;
  add_candidates(&guess);
  for (const char* sample : {"purchase", "response", "reversal", "unionpay-pos"}) {
    const std::string bytes = sample_bytes(sample);
    guess.read(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  }
  std::string name;
  const Reading best = best_reading(guess, &name);
  EXPECT_EQ(guess.messages(), 4);
  EXPECT_EQ(name, "bitmap");
  EXPECT_EQ(best.messages, 4);
  EXPECT_EQ(best.complete, 3);
  EXPECT_FALSE(reads_completely(best, guess.messages()));
  // The fourth message is the first that it did not read completely.
  EXPECT_TRUE(best.has_incomplete);
  EXPECT_NE(best.first_incomplete.result, UnpackResult::kUnpacked);
}

TEST(DialectGuess, CandidatesThatReadAlikeAreOneAndBrokenOnesNone) {
  DialectGuess guess;
  ASSERT_TRUE(guess.add_candidate("mine", read_file("bitmap.ini"), true));
  ASSERT_TRUE(guess.add_candidate("bitmap", read_file("bitmap.ini"), false));
  // The plain dialect always reads a secondary bitmap: its variant reads
  // it only when flagged. A shipped dialect does so already.
  ASSERT_TRUE(guess.add_candidate("iso87-binary", read_file("dialects/iso87-binary.ini"), false));
  EXPECT_FALSE(guess.add_candidate("broken", "1|4|0\n2|19|2 data=packed\n", false));
  EXPECT_FALSE(guess.add_candidate("stops", "1|4|0\nthree|6|0\n", false));
  ASSERT_EQ(guess.candidates().size(), 3u);
  EXPECT_EQ(guess.candidates()[0].name, "mine");
  EXPECT_EQ(guess.candidates()[1].name, "mine+secondary=flagged");
  EXPECT_TRUE(guess.candidates()[1].flagged_variant);
  EXPECT_TRUE(guess.candidates()[1].preferred);
  EXPECT_EQ(guess.candidates()[2].name, "iso87-binary");
}

TEST(Framing, LengthsMustCountTheRestAndTpdusStartWith60) {
  const Framing& len2 = kFramings[1];
  const Framing& ascii4 = kFramings[2];
  const Framing& tpdu = kFramings[3];
  const Framing& ascii4_tpdu = kFramings[5];
  const auto overhead = [](const Framing& framing, const std::string& hex) {
    const std::string bytes = bytes_of(hex);
    return framing_overhead(framing, reinterpret_cast<const unsigned char*>(bytes.data()),
                            bytes.size());
  };
  EXPECT_EQ(overhead(kFramings[0], "00"), 0);
  EXPECT_EQ(overhead(len2, "0003 AABBCC"), 2);
  EXPECT_EQ(overhead(len2, "0004 AABBCC"), -1);
  EXPECT_EQ(overhead(len2, "00"), -1);
  EXPECT_EQ(overhead(ascii4, "30303032 AABB"), 4);
  EXPECT_EQ(overhead(ascii4, "30303033 AABB"), -1);
  EXPECT_EQ(overhead(ascii4, "2030303032 AABB"), -1);
  EXPECT_EQ(overhead(ascii4, "3030 2032 AABB"), -1);
  EXPECT_EQ(overhead(tpdu, "6000030000 AA"), 5);
  EXPECT_EQ(overhead(tpdu, "6100030000 AA"), -1);
  EXPECT_EQ(overhead(tpdu, "60000300"), -1);
  EXPECT_EQ(overhead(ascii4_tpdu, "30303036 6000030000 AA"), 9);
  EXPECT_EQ(overhead(ascii4_tpdu, "30303036 7000030000 AA"), -1);
}

TEST(MessageChecks, EachCheckFailsWhereTheValueIsWrong) {
  EXPECT_TRUE(passes_luhn("4761739001010010"));
  EXPECT_TRUE(passes_luhn("79927398713"));
  EXPECT_FALSE(passes_luhn("79927398710"));
  EXPECT_FALSE(passes_luhn("6222021234567890123"));

  DialectGuess guess;
  ASSERT_TRUE(guess.add_candidate("plain", "secondary=flagged\n1|4|0\n2|19|2\n3|6|0\n13|4|0\n"
                                           "14|4|0\n35|37|2\n55|999|3\n",
                                  false));
  // Fields 2, 3, 13, 14, 35 and 55 with a primary bitmap.
  const auto checks_of = [&guess](const std::string& mti, const std::string& body) {
    const std::string bytes = mti + bytes_of("600C000020000200") + body;
    guess.clear_counts();
    guess.read(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return guess.ranking().front().checks;
  };
  const std::string good_field55 = "006" + bytes_of("9F0201000000");
  const CheckTally good = checks_of("0200", "164761739001010010" "000000" "1207" "2912"
                                            "214761739001010010=2912" + good_field55);
  EXPECT_EQ(good.total_failed(), 0);
  EXPECT_EQ(good.passed[static_cast<int>(Check::kLuhn)], 2);
  EXPECT_EQ(good.passed[static_cast<int>(Check::kDates)], 2);
  const CheckTally bad = checks_of("0900", "164761739001010011" "00A000" "1332" "2913"
                                           "214761739001010011D2912" "005" + bytes_of("9F02050000"));
  EXPECT_EQ(bad.failed[static_cast<int>(Check::kTypeIndicator)], 1);
  EXPECT_EQ(bad.failed[static_cast<int>(Check::kDigits)], 1);
  EXPECT_EQ(bad.failed[static_cast<int>(Check::kDates)], 2);
  EXPECT_EQ(bad.failed[static_cast<int>(Check::kLuhn)], 2);
  EXPECT_EQ(bad.failed[static_cast<int>(Check::kChipData)], 1);
  EXPECT_EQ(bad.total_passed(), 1);  // field 2 is digits
}

TEST(GuessCommand, ShowsTheReadingsAndTheOptionsOfTheFirst) {
  const ProcessRun run = run_dump("--guess examples/unionpay-pos.hex");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "dialect                       framing  result             fields  passed  failed  "
            "failed checks\n"
            "unionpay-pos                  none     complete               18      13       2  luhn:2\n"
            "iso87-ascii                   none     bitmap_not_hex          0       0       1  mti\n"
            "iso87-ascii                   tpdu     bitmap_not_hex          0       0       1  mti\n"
            "iso93-ascii                   none     bitmap_not_hex          0       0       1  mti\n"
            "iso93-ascii                   tpdu     bitmap_not_hex          0       0       1  mti\n"
            "layouts-example               none     bitmap_not_hex          0       0       1  mti\n"
            "layouts-example               tpdu     bitmap_not_hex          0       0       1  mti\n"
            "ebcdic                        tpdu     length_not_digits       1       0       2  mti digits\n"
            "bitmap.ini+secondary=flagged  tpdu     too_short              10       1       3  mti digits luhn\n"
            "bitmap.ini                    tpdu     length_too_long         6       0       3  mti digits luhn\n"
            "and 5 readings more\n"
            "decode with: --defs unionpay-pos\n");

  const std::string len2 = write_scratch("len2.hex", hex_of(framed(sample_bytes("iso87-binary"),
                                                                   kFramings[1])));
  const ProcessRun framed_run = run_dump("--guess --skip 0 " + len2);
  EXPECT_EQ(framed_run.status, 0);
  EXPECT_EQ(framed_run.out.substr(framed_run.out.rfind("decode with")),
            "decode with: --defs iso87-binary --skip 2\n");
}

TEST(GuessCommand, JsonIsTheSameRankingAsData) {
  const ProcessRun run = run_dump("--guess --json examples/iso87-ascii.hex");
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(run.out.back(), '\n');
  rapidjson::Document json;
  json.Parse(run.out.c_str());
  ASSERT_FALSE(json.HasParseError());
  EXPECT_EQ(json["messages"].GetInt(), 1);
  EXPECT_TRUE(json["complete"].GetBool());
  EXPECT_STREQ(json["options"].GetString(), "--defs iso87-ascii");
  const auto& readings = json["readings"];
  ASSERT_EQ(readings.Size(), 8u);
  const auto& best = readings[0];
  EXPECT_STREQ(best["dialect"].GetString(), "iso87-ascii");
  EXPECT_STREQ(best["framing"].GetString(), "none");
  EXPECT_EQ(best["complete"].GetInt(), 1);
  EXPECT_EQ(best["failed"].GetInt(), 1);
  EXPECT_EQ(best["checks"]["luhn"]["failed"].GetInt(), 1);
  EXPECT_FALSE(best.HasMember("first_incomplete"));
  // Read by the ISO 8583:1993 dialect, 15 bytes are left over.
  const auto iso93 = std::find_if(readings.Begin(), readings.End(), [](const auto& reading) {
    return std::string(reading["dialect"].GetString()) == "iso93-ascii";
  });
  ASSERT_NE(iso93, readings.End());
  EXPECT_STREQ((*iso93)["framing"].GetString(), "none");
  EXPECT_STREQ((*iso93)["first_incomplete"]["result"].GetString(), "unpacked");
  EXPECT_EQ((*iso93)["first_incomplete"]["trailing"].GetInt(), 15);
}

TEST(GuessCommand, EndsHonestlyWhenNothingReadsTheInput) {
  const std::string noise(80, 'F');
  const ProcessRun none = run_dump("--guess", noise);
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out.substr(none.out.rfind('\n', none.out.size() - 2) + 1),
            "none: no dialect reads the message completely\n");
  const ProcessRun json = run_dump("--guess --json", noise);
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("\"complete\":false,\"readings\":["), std::string::npos);
  EXPECT_EQ(json.out.find("\"options\""), std::string::npos);

  const ProcessRun odd = run_dump("--guess", "303");
  EXPECT_EQ(odd.status, 2);
  EXPECT_EQ(odd.err, "msg length error\n");
  // One refused line among messages that read: refused, but ranked.
  const ProcessRun lines = run_dump("--guess --each-line",
                                    read_file("examples/purchase.hex") + "\n3030\n" +
                                        read_file("examples/reversal.hex") + "\n");
  EXPECT_EQ(lines.status, 2);
  EXPECT_EQ(lines.err, "line 3: message too short\n");
  EXPECT_NE(lines.out.find("\nbitmap.ini   "), std::string::npos);
  EXPECT_NE(lines.out.find("2 of 2 complete"), std::string::npos);

  const ProcessRun usage = run_dump("--guess --summary examples/purchase.hex");
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.err.substr(0, usage.err.find('\n')),
            "iso8583dump: --guess and --diff write their own text or --json");
}

TEST(GuessCommand, AMessageWithAPrimaryBitmapOnlyNeedsSecondaryFlagged) {
  // An 0800 with fields 7, 11 and 41 and no secondary bitmap.
  const std::string message = hex_of("0800" + bytes_of("0220000000800000") +
                                     "1207093015" "000371" "TERM0001");
  const ProcessRun run = run_dump("--guess", message);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.substr(0, run.out.find('\n', run.out.find('\n') + 1) + 1),
            "dialect                       framing  result             fields  passed  failed  "
            "failed checks\n"
            "bitmap.ini+secondary=flagged  none     complete                3       3       0\n");
  EXPECT_EQ(run.out.substr(run.out.rfind("decode with")),
            "decode with: --defs bitmap.ini, after adding the line secondary=flagged before its "
            "fields\n");
}

TEST(DialectHint, NamesTheDialectThatReadsAFailingMessageOnceARun) {
  const std::string hint = "hint: read as bitmap, this message unpacks completely; decode it with "
                           "--defs bitmap\n";
  const ProcessRun failed = run_dump("--defs unionpay-pos examples/purchase.hex");
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.err, hint);
  // The options named decode it: bitmap is the installed sample's name.
  const ProcessRun chosen = run_dump("--defs bitmap examples/purchase.hex");
  EXPECT_EQ(chosen.status, 0);
  EXPECT_EQ(chosen.out, run_dump("--defs bitmap.ini examples/purchase.hex").out);
  const ProcessRun json = run_dump("--json --defs unionpay-pos examples/purchase.hex");
  rapidjson::Document record;
  record.Parse(json.out.c_str());
  ASSERT_FALSE(record.HasParseError());
  EXPECT_EQ("hint: " + std::string(record["hint"].GetString()) + "\n", hint);
  // Three failing messages: one hint.
  const std::string purchase = read_file("examples/purchase.hex");
  const ProcessRun lines =
      run_dump("--each-line --raw --defs unionpay-pos", purchase + "\n" + purchase + "\n" + purchase);
  EXPECT_EQ(lines.status, 1);
  EXPECT_EQ(lines.err, "line 1: " + hint);
}

TEST(DialectHint, ComesForBytesLeftOverButNeverForFailedChecksAlone) {
  const ProcessRun left_over = run_dump("--defs iso93-ascii examples/iso87-ascii.hex");
  EXPECT_EQ(left_over.status, 0);
  EXPECT_EQ(left_over.err, "15 bytes after the last field\n"
                           "hint: read as iso87-ascii, this message unpacks completely; decode it "
                           "with --defs iso87-ascii\n"
                           "iso8583dump: 1 message: 1 decoded, 0 failed, 0 refused; 15 bytes "
                           "dropped\n");
  // Its card numbers fail the Luhn check, but the message unpacks.
  const ProcessRun checks_fail = run_dump("--defs unionpay-pos examples/unionpay-pos.hex");
  EXPECT_EQ(checks_fail.status, 0);
  EXPECT_EQ(checks_fail.err, "");
  // Behind a length, the plain dialect's own reading.
  const std::string len2 = write_scratch("len2.hex", hex_of(framed(sample_bytes("purchase"),
                                                                   kFramings[1])));
  const ProcessRun framed_run = run_dump("--raw " + len2);
  EXPECT_EQ(framed_run.status, 1);
  EXPECT_EQ(framed_run.err, "hint: read as bitmap.ini behind a 2-byte length, this message "
                            "unpacks completely; decode it with --defs bitmap.ini --skip 2\n");
}

}  // namespace
