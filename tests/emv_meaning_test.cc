// The meanings of chip-data values: bits of the bit-level objects, coded
// values in words, a CVM list rule by rule, and values that do not fit.
#include "emv/emv_meaning.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace {

std::vector<unsigned char> bytes_of(const std::string& hex) {
  std::vector<unsigned char> bytes;
  for (size_t k = 0; k + 1 < hex.size(); k += 2) {
    bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(k, 2), nullptr, 16)));
  }
  return bytes;
}

// Explains the value `value_hex` of the tag `tag_hex` into `meaning`. The
// value lies in a buffer of its exact size, so that the sanitizers catch
// any read past it.
bool explain(const std::string& tag_hex, const std::string& value_hex, EmvMeaning* meaning) {
  std::vector<unsigned char> tag = bytes_of(tag_hex);
  const int tag_length = static_cast<int>(tag.size());
  tag.resize(2);
  const std::vector<unsigned char> value = bytes_of(value_hex);
  return explain_emv_value(tag.data(), tag_length, value.data(), static_cast<int>(value.size()),
                           meaning);
}

// The one-line meaning, or "no meaning".
std::string meaning_of(const std::string& tag_hex, const std::string& value_hex) {
  EmvMeaning meaning;
  return explain(tag_hex, value_hex, &meaning) ? meaning.meaning : "no meaning";
}

// The set bits as "byte.bit meaning".
std::vector<std::string> bits_of(const std::string& tag_hex, const std::string& value_hex) {
  EmvMeaning meaning;
  EXPECT_TRUE(explain(tag_hex, value_hex, &meaning));
  std::vector<std::string> lines;
  for (const BitMeaning& bit : meaning.bits) {
    lines.push_back(std::to_string(bit.byte) + "." + std::to_string(bit.bit) + " " + bit.meaning);
  }
  return lines;
}

using Lines = std::vector<std::string>;

TEST(EmvBitsTest, TerminalVerificationResults) {
  EXPECT_EQ(bits_of("95", "0000048000"),
            (Lines{"3.3 Online PIN entered", "4.8 Transaction exceeds floor limit"}));
  EXPECT_EQ(bits_of("95", "8000000040"),
            (Lines{"1.8 Offline data authentication was not performed",
                   "5.7 Issuer authentication failed"}));
  EXPECT_EQ(bits_of("95", "0000000000"), Lines{});
}

TEST(EmvBitsTest, TransactionStatusAndInterchangeProfile) {
  EXPECT_EQ(bits_of("9B", "E800"),
            (Lines{"1.8 Offline data authentication was performed",
                   "1.7 Cardholder verification was performed",
                   "1.6 Card risk management was performed",
                   "1.4 Terminal risk management was performed"}));
  EXPECT_EQ(bits_of("82", "7C00"),
            (Lines{"1.7 SDA supported", "1.6 DDA supported",
                   "1.5 Cardholder verification is supported",
                   "1.4 Terminal risk management is to be performed",
                   "1.3 Issuer authentication is supported"}));
}

TEST(EmvBitsTest, TerminalCapabilities) {
  EXPECT_EQ(bits_of("9F33", "E0E1C8"),
            (Lines{"1.8 Manual key entry", "1.7 Magnetic stripe", "1.6 IC with contacts",
                   "2.8 Plaintext PIN for ICC verification",
                   "2.7 Enciphered PIN for online verification", "2.6 Signature (paper)",
                   "2.1 Cardholder ID presentation (PBOC)", "3.8 SDA", "3.7 DDA", "3.4 CDA"}));
  EXPECT_EQ(bits_of("9F40", "6000F0A001"),
            (Lines{"1.7 Goods", "1.6 Services", "3.8 Numeric keys",
                   "3.7 Alphabetic and special characters keys", "3.6 Command keys",
                   "3.5 Function keys", "4.8 Print, attendant", "4.6 Display, attendant",
                   "5.1 Code table 1"}));
}

TEST(EmvBitsTest, ReservedBitsThatAreSetShowAsRfu) {
  EXPECT_EQ(bits_of("9B", "0401"), (Lines{"1.3 Script processing was performed", "2.1 RFU"}));
  EXPECT_EQ(bits_of("95", "0100000001"), (Lines{"1.1 RFU", "5.1 RFU"}));
}

TEST(EmvBitsTest, TablesFollowEmvNumbering) {
  for (const BitTable* table : {&kTerminalVerificationResults, &kTransactionStatusInformation,
                                &kApplicationInterchangeProfile, &kTerminalCapabilities,
                                &kAdditionalTerminalCapabilities}) {
    int previous = -1;
    for (int row = 0; row < table->row_count; ++row) {
      const BitMeaning& bit = table->rows[row];
      EXPECT_TRUE(bit.byte >= 1 && bit.byte <= table->length && bit.bit >= 1 && bit.bit <= 8);
      const int position = (bit.byte - 1) * 8 + 8 - bit.bit;  // byte 1 bit 8 first
      EXPECT_GT(position, previous) << bit.meaning;
      previous = position;
    }
  }
}

TEST(EmvCvmTest, CvmResults) {
  EXPECT_EQ(meaning_of("9F34", "420300"),
            "Enciphered PIN verified online, if terminal supports the CVM; apply succeeding CV "
            "Rule if this CVM is unsuccessful; result: unknown");
  EXPECT_EQ(meaning_of("9F34", "1E0302"),
            "Signature (paper), if terminal supports the CVM; fail cardholder verification if "
            "this CVM is unsuccessful; result: successful");
  EXPECT_EQ(meaning_of("9F34", "010001"),
            "Plaintext PIN verification performed by ICC, always; fail cardholder verification if "
            "this CVM is unsuccessful; result: failed");
  EXPECT_EQ(meaning_of("9F34", "3F0000"), "No CVM performed; result: unknown");
  EXPECT_EQ(meaning_of("9F34", "420303"), "no meaning");
}

TEST(EmvCvmTest, CvmListExplainsEveryRule) {
  EmvMeaning meaning;
  ASSERT_TRUE(explain("8E", "00002710" "0000C350" "4106" "4207" "5E03" "1F00", &meaning));
  EXPECT_EQ(meaning.meaning, "Amount X 10000, amount Y 50000");
  EXPECT_EQ(meaning.details,
            (Lines{"4106: Plaintext PIN verification performed by ICC, if transaction is in the "
                   "application currency and is under X value; apply succeeding CV Rule if this "
                   "CVM is unsuccessful",
                   "4207: Enciphered PIN verified online, if transaction is in the application "
                   "currency and is over X value; apply succeeding CV Rule if this CVM is "
                   "unsuccessful",
                   "5E03: Signature (paper), if terminal supports the CVM; apply succeeding CV "
                   "Rule if this CVM is unsuccessful",
                   "1F00: No CVM required, always; fail cardholder verification if this CVM is "
                   "unsuccessful"}));
  EXPECT_TRUE(meaning.bits.empty());
}

TEST(EmvCvmTest, CvmListOfAmountsOnly) {
  EmvMeaning meaning;
  ASSERT_TRUE(explain("8E", "FFFFFFFF" "00000000", &meaning));
  EXPECT_EQ(meaning.meaning, "Amount X 4294967295, amount Y 0");
  EXPECT_TRUE(meaning.details.empty());
}

TEST(EmvCodesTest, CryptogramInformationData) {
  EXPECT_EQ(meaning_of("9F27", "80"),
            "ARQC (Authorisation Request Cryptogram); no advice required; reason: no information "
            "given");
  EXPECT_EQ(meaning_of("9F27", "40"),
            "TC (Transaction Certificate); no advice required; reason: no information given");
  EXPECT_EQ(meaning_of("9F27", "09"),
            "AAC (Application Authentication Cryptogram); advice required; reason: service not "
            "allowed");
  EXPECT_EQ(meaning_of("9F27", "1A"),
            "AAC (Application Authentication Cryptogram); payment system-specific cryptogram bits "
            "01; advice required; reason: PIN Try Limit exceeded");
  EXPECT_EQ(meaning_of("9F27", "C3"),
            "RFU cryptogram type; no advice required; reason: issuer authentication failed");
  EXPECT_EQ(meaning_of("9F27", "84"),
            "ARQC (Authorisation Request Cryptogram); no advice required; reason: RFU");
}

// The transaction type has the words of the processing code's first two
// digits.
TEST(EmvCodesTest, TransactionType) {
  EXPECT_EQ(meaning_of("9C", "00"), "goods and services");
  EXPECT_EQ(meaning_of("9C", "01"), "cash");
  EXPECT_EQ(meaning_of("9C", "09"), "goods and services with cash disbursement");
  EXPECT_EQ(meaning_of("9C", "20"), "returns");
  EXPECT_EQ(meaning_of("9C", "31"), "balance inquiry");
  EXPECT_EQ(meaning_of("9C", "99"), "no meaning");
  EXPECT_EQ(meaning_of("9C", "0A"), "no meaning");
}

TEST(EmvCodesTest, TerminalType) {
  EXPECT_EQ(meaning_of("9F35", "22"),
            "Attended, offline with online capability, operated by merchant");
  EXPECT_EQ(meaning_of("9F35", "14"), "Unattended, online only, operated by financial institution");
  EXPECT_EQ(meaning_of("9F35", "36"), "Unattended, offline only, operated by cardholder");
  EXPECT_EQ(meaning_of("9F35", "31"), "no meaning");  // a cardholder attends no terminal
  EXPECT_EQ(meaning_of("9F35", "27"), "no meaning");
  EXPECT_EQ(meaning_of("9F35", "41"), "no meaning");
  EXPECT_EQ(meaning_of("9F35", "2A"), "no meaning");
}

TEST(EmvCodesTest, CurrencyAndCountryCodes) {
  EXPECT_EQ(meaning_of("5F2A", "0156"), "CNY (Yuan Renminbi)");
  EXPECT_EQ(meaning_of("9F42", "0840"), "USD (US Dollar)");
  EXPECT_EQ(meaning_of("9F1A", "0156"), "CN (China)");
  EXPECT_EQ(meaning_of("5F28", "0344"), "HK (Hong Kong)");
  EXPECT_EQ(meaning_of("5F2A", "0000"), "no meaning");
  EXPECT_EQ(meaning_of("9F1A", "015F"), "no meaning");
  EXPECT_EQ(meaning_of("9F1A", "1156"), "no meaning");
}

// Every tag with meanings, with a value that fits.
struct FittingValue {
  const char* tag;
  const char* value;
};
const FittingValue kFittingValues[] = {
    {"95", "0000048000"},   {"9B", "E800"},
    {"82", "7C00"},         {"9F33", "E0E1C8"},
    {"9F40", "6000F0A001"}, {"9F34", "420300"},
    {"9F27", "80"},         {"9C", "00"},
    {"9F35", "22"},         {"5F2A", "0156"},
    {"9F42", "0156"},       {"9F1A", "0156"},
    {"5F28", "0156"},       {"8E", "00000000000000004203"},
};

TEST(EmvHostileValueTest, OneByteShortOrLongGivesNoMeaning) {
  EmvMeaning meaning;
  for (const FittingValue& fitting : kFittingValues) {
    const std::string value = fitting.value;
    EXPECT_TRUE(explain(fitting.tag, value, &meaning)) << fitting.tag;
    for (const std::string& misfit : {value.substr(2), value + "00"}) {
      EXPECT_FALSE(explain(fitting.tag, misfit, &meaning)) << fitting.tag << " " << misfit;
      EXPECT_TRUE(meaning.bits.empty() && meaning.meaning.empty() && meaning.details.empty());
    }
  }
}

TEST(EmvHostileValueTest, CvmListsTooShortOrTooLong) {
  EmvMeaning meaning;
  EXPECT_FALSE(explain("8E", "00000000000000", &meaning));      // 7 bytes: no amount Y
  EXPECT_TRUE(explain("8E", std::string(504, '0'), &meaning));  // 252 bytes, 122 rules
  EXPECT_EQ(meaning.details.size(), 122u);
  EXPECT_FALSE(explain("8E", std::string(508, '0'), &meaning));  // 254 bytes
  EXPECT_TRUE(meaning.details.empty());
}

// Random bytes of every length up to one past the longest value: the
// sanitizers watch the reads, and only values of a fitting length can mean
// anything.
TEST(EmvHostileValueTest, AnyBytesOfAnyLengthAreReadInBounds) {
  const char kDigits[] = "0123456789ABCDEF";
  unsigned state = 12345;
  EmvMeaning meaning;
  for (const FittingValue& fitting : kFittingValues) {
    const bool is_cvm_list = std::string(fitting.tag) == "8E";
    const int fitting_length = static_cast<int>(std::string(fitting.value).size() / 2);
    for (int length = 0; length <= 301; ++length) {
      std::string value;
      for (int k = 0; k < 2 * length; ++k) {
        state = state * 1103515245 + 12345;
        value.push_back(kDigits[(state >> 16) & 15]);
      }
      const bool fits = is_cvm_list ? length >= 8 && length <= 252 && length % 2 == 0
                                    : length == fitting_length;
      if (!explain(fitting.tag, value, &meaning)) {
        EXPECT_TRUE(meaning.bits.empty() && meaning.meaning.empty() && meaning.details.empty());
      } else {
        EXPECT_TRUE(fits) << fitting.tag << " " << value;
      }
    }
  }
}

TEST(EmvMeaningTest, TagsWithoutTablesHaveNoMeaning) {
  EXPECT_EQ(meaning_of("9F26", "7A3C1E5B9D20F486"), "no meaning");
  EXPECT_EQ(meaning_of("84", "A000000333010101"), "no meaning");
}

TEST(EmvMeaningTest, OneMeaningServesElementAfterElement) {
  EmvMeaning meaning;
  ASSERT_TRUE(explain("8E", "00000000" "00000000" "4203", &meaning));
  ASSERT_TRUE(explain("95", "0000048000", &meaning));
  EXPECT_EQ(meaning.bits.size(), 2u);
  EXPECT_TRUE(meaning.meaning.empty() && meaning.details.empty());
  ASSERT_TRUE(explain("9F27", "80", &meaning));
  EXPECT_TRUE(meaning.bits.empty());
  EXPECT_FALSE(meaning.meaning.empty());
}

TEST(EmvMeaningTest, TagsThatShareTheLastByteOfATagWithMeaningsHaveNone) {
  // Each tag with meanings, a value it explains, and tags ending in the
  // same byte that have no meaning tables.
  const struct {
    const char* tag;
    const char* value;
    std::vector<std::string> others;
  } kCases[] = {
      {"82", "7C00", {"9F82", "DF82", "5F82"}},
      {"95", "0000048000", {"9F95", "5F95"}},
      {"9C", "00", {"9F9C", "DF9C"}},
      {"5F2A", "0156", {"2A", "9F2A", "DF2A"}},
      {"9F1A", "0156", {"1A", "5F1A", "DF1A"}},
      {"9F27", "80", {"27", "5F27", "DF27"}},
      {"9F34", "420300", {"34", "5F34", "DF34"}},
  };
  for (const auto& known : kCases) {
    EXPECT_NE(meaning_of(known.tag, known.value), "no meaning") << known.tag;
    for (const std::string& other : known.others) {
      EXPECT_EQ(meaning_of(other, known.value), "no meaning") << other;
    }
  }
}

}  // namespace
