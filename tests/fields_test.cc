// The meanings of data elements: the sample messages decoded with the
// repository's bitmap.ini and explained field by field, each coded element
// with good and bad values, and values that must get no meaning.
#include "fields/field_meaning.h"

#include <deque>
#include <map>
#include <string>

#include "decode/decoder.h"
#include "gtest/gtest.h"
#include "tests/test_support.h"

namespace {

// The meanings of a sample message decoded with bitmap.ini: field number
// to meaning, 0 for the message type indicator, for every field that has
// one.
std::map<int, std::string> sample_meanings(const std::string& name) {
  static const Decoder decoder = decoder_of(read_file("bitmap.ini"));
  DecodedMessage message;
  EXPECT_EQ(decode_text(decoder, read_file("examples/" + name + ".hex"), &message),
            DecodeOutcome::kUnpacked);
  std::map<int, std::string> meanings;
  FieldMeaning meaning;
  if (explain_type_indicator(message, &meaning)) meanings[0] = meaning.meaning;
  for (const DecodedField& field : message.fields) {
    const bool explained = explain_field(message, field, &meaning);
    EXPECT_EQ(explained, !meaning.meaning.empty()) << field.number;
    if (explained) meanings[field.number] = meaning.meaning;
  }
  return meanings;
}

TEST(SampleMeanings, PurchaseRequest) {
  const std::map<int, std::string> expected = {
      {0, "ISO 8583:1987, financial, request, from acquirer"},
      {3, "goods and services, from default account, to default account"},
      {4, "128.50 CNY"},
      {7, "7 December, 09:30:15 UTC"},
      {12, "09:30:15"},
      {13, "7 December"},
      {14, "December 2029"},
      {22, "PAN read from integrated circuit card, terminal accepts PINs"},
      {25, "normal presentment"},
      {49, "Yuan Renminbi (CNY)"},
  };
  EXPECT_EQ(sample_meanings("purchase"), expected);
}

TEST(SampleMeanings, ResponseAndReversal) {
  const std::map<int, std::string> response = sample_meanings("response");
  EXPECT_EQ(response.at(0), "ISO 8583:1987, financial, request response, from acquirer");
  EXPECT_EQ(response.at(39), "approved or completed successfully");
  const std::map<int, std::string> reversal = sample_meanings("reversal");
  EXPECT_EQ(reversal.at(0), "ISO 8583:1987, reversal or chargeback, request, from acquirer");
  EXPECT_EQ(reversal.at(7), "7 December, 09:31:15 UTC");
  EXPECT_EQ(reversal.count(39), 0u) << "98 is not an ISO 8583:1987 response code";
}

// Messages built field by field, over texts the test keeps alive.
class FieldMeaningTest : public ::testing::Test {
 protected:
  // A view of `text` as field `number`, masked by `hidden` when given.
  DecodedField field_of(int number, const std::string& text,
                        const unsigned char* hidden = nullptr) {
    const std::string& kept = texts_.emplace_back(text);
    DecodedField field;
    field.number = number;
    field.length = static_cast<int>(kept.size());
    field.data = reinterpret_cast<const unsigned char*>(kept.c_str());
    field.readable = field.length;
    field.hidden = hidden;
    return field;
  }

  // Adds field `number` holding `text` to the message, after its fields.
  DecodedField add(int number, const std::string& text, const unsigned char* hidden = nullptr) {
    message_.fields.push_back(field_of(number, text, hidden));
    return message_.fields.back();
  }

  // The meaning of `field` in the message; "(none)" when it has none.
  std::string explained(const DecodedField& field) {
    if (!explain_field(message_, field, &meaning_)) {
      EXPECT_EQ(meaning_.meaning + meaning_.amount + meaning_.currency, "");
      return "(none)";
    }
    return meaning_.meaning;
  }

  // The meaning of field `number` holding `text`, alone in a message.
  std::string meaning_of(int number, const std::string& text) {
    message_.fields.clear();
    return explained(add(number, text));
  }

  std::string type_indicator_meaning(const std::string& text) {
    message_.type_indicator = field_of(1, text);
    return explain_type_indicator(message_, &meaning_) ? meaning_.meaning : "(none)";
  }

  std::deque<std::string> texts_;
  DecodedMessage message_;
  FieldMeaning meaning_;
};

TEST_F(FieldMeaningTest, AmountsTakeTheDecimalPointOfTheirCurrency) {
  const struct {
    const char* digits;
    const char* currency;
    const char* amount;
  } kCases[] = {
      {"000000012850", "156", "128.50"}, {"000000012850", "392", "12850"},
      {"000000012850", "048", "12.850"}, {"000000012850", "990", "1.2850"},
      {"000000000005", "156", "0.05"},   {"000000000000", "156", "0.00"},
      {"000000000000", "392", "0"},      {"999999999999", "156", "9999999999.99"},
      {"000000012850", "959", "12850"},
  };
  for (const auto& example : kCases) {
    message_.fields.clear();
    const DecodedField amount = add(4, example.digits);
    add(49, example.currency);
    EXPECT_TRUE(explain_field(message_, amount, &meaning_));
    EXPECT_EQ(meaning_.amount, example.amount) << example.digits << " in " << example.currency;
    EXPECT_EQ(meaning_.meaning, meaning_.amount + " " + meaning_.currency);
  }
  EXPECT_EQ(meaning_.currency, "XAU");
}

TEST_F(FieldMeaningTest, EachAmountHasItsOwnCurrencyField) {
  add(4, "000000012850");
  add(5, "000000001999");
  add(6, "000000240000");
  add(49, "156");
  add(50, "840");
  add(51, "392");
  EXPECT_EQ(explained(message_.fields[0]), "128.50 CNY");
  EXPECT_EQ(explained(message_.fields[1]), "19.99 USD");
  EXPECT_EQ(explained(message_.fields[2]), "240000 JPY");
}

TEST_F(FieldMeaningTest, AmountsWithoutAKnownCurrencySayOnlyWhatIsKnown) {
  EXPECT_EQ(meaning_of(4, "000000012850"), "12850 minor units, currency unknown");
  EXPECT_TRUE(meaning_.amount.empty() && meaning_.currency.empty());
  EXPECT_EQ(meaning_of(4, "000000000000"), "0 minor units, currency unknown");
  for (const char* currency : {"000", "15X", "1560", "15"}) {
    message_.fields.clear();
    const DecodedField amount = add(4, "000000012850");
    add(49, currency);
    EXPECT_EQ(explained(amount), std::string(currency) == "000"
                                     ? "12850 minor units, currency 000 unknown"
                                     : "12850 minor units, currency unknown")
        << currency;
  }
  message_.fields.clear();
  const DecodedField amount = add(4, "000000012850");
  const unsigned char masked[3] = {0xF0, 0, 0};
  add(49, "156", masked);
  EXPECT_EQ(explained(amount), "12850 minor units, currency unknown");
}

TEST_F(FieldMeaningTest, DatesAndTimes) {
  EXPECT_EQ(meaning_of(7, "0101000000"), "1 January, 00:00:00 UTC");
  EXPECT_EQ(meaning_of(7, "1231235959"), "31 December, 23:59:59 UTC");
  EXPECT_EQ(meaning_of(12, "235959"), "23:59:59");
  EXPECT_EQ(meaning_of(13, "0229"), "29 February");
  EXPECT_EQ(meaning_of(14, "0001"), "January 2000");
  for (int field : {15, 16, 17}) EXPECT_EQ(meaning_of(field, "0430"), "30 April");
  for (const char* value : {"1301", "0001", "0100", "0230", "0431", "0932", "9999"}) {
    EXPECT_EQ(meaning_of(13, value), "(none)") << value;
    EXPECT_EQ(meaning_of(7, std::string(value) + "000000"), "(none)") << value;
  }
  for (const char* value : {"240000", "236000", "235960", "996161"}) {
    EXPECT_EQ(meaning_of(12, value), "(none)") << value;
    EXPECT_EQ(meaning_of(7, std::string("0101") + value), "(none)") << value;
  }
  for (const char* value : {"2900", "2913", "2999"}) EXPECT_EQ(meaning_of(14, value), "(none)");
}

TEST_F(FieldMeaningTest, TypeIndicators) {
  EXPECT_EQ(type_indicator_meaning("0100"), "ISO 8583:1987, authorization, request, from acquirer");
  EXPECT_EQ(type_indicator_meaning("0430"),
            "ISO 8583:1987, reversal or chargeback, advice response, from acquirer");
  EXPECT_EQ(type_indicator_meaning("0810"),
            "ISO 8583:1987, network management, request response, from acquirer");
  EXPECT_EQ(type_indicator_meaning("1343"),
            "ISO 8583:1993, file action, notification, from issuer, repeat");
  EXPECT_EQ(type_indicator_meaning("9099"),
            "version reserved for private use, class reserved for ISO use, "
            "function reserved for ISO use, origin reserved for ISO use");
  for (const char* value : {"020", "02000", "02O0", " 200"}) {
    EXPECT_EQ(type_indicator_meaning(value), "(none)") << value;
  }
  message_.type_indicator = DecodedField();
  EXPECT_FALSE(explain_type_indicator(message_, &meaning_));
}

TEST_F(FieldMeaningTest, CodedElements) {
  EXPECT_EQ(meaning_of(3, "311000"), "balance inquiry, from savings account, to default account");
  EXPECT_EQ(meaning_of(3, "401030"),
            "cardholder accounts transfer, from savings account, to credit facility");
  EXPECT_EQ(meaning_of(3, "172000"),
            "transaction type 17, from cheque account, to default account");
  EXPECT_EQ(meaning_of(3, "997799"), "(none)");
  EXPECT_EQ(meaning_of(22, "021"), "PAN read from magnetic stripe, terminal accepts PINs");
  EXPECT_EQ(meaning_of(22, "012"), "PAN entered manually, terminal cannot accept PINs");
  EXPECT_EQ(meaning_of(22, "069"), "(none)");
  EXPECT_EQ(meaning_of(22, "059"), "PAN read from integrated circuit card, PIN entry capability 9");
  EXPECT_EQ(meaning_of(25, "08"), "mail or telephone order");
  EXPECT_EQ(meaning_of(25, "27"), "unattended terminal unable to retain card");
  EXPECT_EQ(meaning_of(25, "28"), "(none)");
  EXPECT_EQ(meaning_of(39, "05"), "do not honour");
  EXPECT_EQ(meaning_of(39, "51"), "not sufficient funds");
  EXPECT_EQ(meaning_of(39, "96"), "system malfunction");
  for (const char* value : {"45", "98", "99", "A1"}) {
    EXPECT_EQ(meaning_of(39, value), "(none)") << value;
  }
}

TEST_F(FieldMeaningTest, CountriesAndCurrencies) {
  for (int field : {19, 20, 21}) EXPECT_EQ(meaning_of(field, "156"), "China (CN)");
  EXPECT_EQ(meaning_of(19, "826"), "United Kingdom (GB)");
  EXPECT_EQ(meaning_of(50, "978"), "Euro (EUR)");
  EXPECT_EQ(meaning_of(51, "048"), "Bahraini Dinar (BHD)");
  EXPECT_EQ(meaning_of(19, "000"), "(none)");
  EXPECT_EQ(meaning_of(49, "999"),
            "The codes assigned for transactions where no currency is involved (XXX)");
  EXPECT_EQ(meaning_of(49, "998"), "(none)");
}

TEST_F(FieldMeaningTest, HostileValuesHaveNoMeaning) {
  // A meaning left from the field before must not survive.
  EXPECT_EQ(meaning_of(39, "00"), "approved or completed successfully");
  const struct {
    int number;
    const char* text;
  } kCases[] = {
      // Not the length ISO 8583:1987 gives the field.
      {4, "00000001285"}, {4, "0000000128500"}, {3, "00000"}, {3, "0000000"},
      {39, "0"}, {39, "000"}, {7, "120709301"}, {22, ""},
      // Not all digits.
      {4, "00000001285O"}, {4, "-00000012850"}, {3, "00000\xff"}, {12, "09 015"},
      {14, "29\n2"}, {49, "1 6"}, {39, "0 "},
      // Fields whose values have no fixed meaning.
      {2, "6222021234567890123"}, {11, "000371"}, {18, "5411"}, {41, "TERM0001"},
  };
  for (const auto& example : kCases) {
    EXPECT_EQ(meaning_of(example.number, example.text), "(none)") << example.number;
  }
  for (int number : {0, 1, -1, 129, 1000, -2147483647}) {
    EXPECT_EQ(meaning_of(number, "00"), "(none)") << number;
  }
}

TEST_F(FieldMeaningTest, MaskedOrShortStoredDataHasNoMeaning) {
  // Masking hides a meaning even when it hides no nibble of this value.
  const unsigned char no_nibble_hidden[2] = {0, 0};
  EXPECT_EQ(explained(field_of(39, "00", no_nibble_hidden)), "(none)");
  const unsigned char masked_amount[12] = {0xFF, 0xFF, 0xFF};
  add(49, "156");
  EXPECT_EQ(explained(field_of(4, "000000012850", masked_amount)), "(none)");
  // A length that the storage does not cover is never read.
  DecodedField cut = field_of(4, "000000012850");
  cut.readable = 11;
  EXPECT_EQ(explained(cut), "(none)");
  cut.data = nullptr;
  cut.readable = 12;
  EXPECT_EQ(explained(cut), "(none)");
}

}  // namespace
