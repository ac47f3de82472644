// The currency and country tables against the iso-codes JSON files they
// are generated from, and the minor units that ISO 4217 lists.
#include "iso_codes/iso_codes.h"

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "rapidjson/reader.h"
#include "tests/test_support.h"

namespace {

// One object of an iso-codes file: its string members by name.
using Entry = std::map<std::string, std::string>;

// Collects the objects of the one array of an iso-codes file. Read as
// events, in place: RapidJSON's document and string stacks do arithmetic
// on a null pointer when they first grow, which the sanitizers stop.
struct EntryCollector : rapidjson::BaseReaderHandler<rapidjson::UTF8<>, EntryCollector> {
  bool StartObject() {
    if (++depth == 2) entries.emplace_back();
    return true;
  }
  bool EndObject(rapidjson::SizeType) {
    --depth;
    return true;
  }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    key.assign(text, length);
    return true;
  }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    if (depth == 2) entries.back()[key].assign(text, length);
    return true;
  }

  int depth = 0;
  std::string key;
  std::vector<Entry> entries;
};

// The objects of the iso-codes file at `path`.
std::vector<Entry> read_entries(const char* path) {
  std::string text = read_file(path);
  rapidjson::InsituStringStream stream(&text[0]);
  EntryCollector collector;
  rapidjson::Reader reader;
  EXPECT_FALSE(reader.Parse<rapidjson::kParseInsituFlag>(stream, collector).IsError()) << path;
  return collector.entries;
}

TEST(IsoCodes, EveryCurrencyOfTheDataIsFoundByItsNumericCode) {
  const std::vector<Entry> entries = read_entries(ISO_4217_JSON);
  ASSERT_GT(entries.size(), 150u);
  for (const Entry& entry : entries) {
    const Currency* currency = find_currency(std::stoi(entry.at("numeric")));
    ASSERT_NE(currency, nullptr) << entry.at("alpha_3");
    EXPECT_EQ(currency->alpha3, entry.at("alpha_3"));
    EXPECT_EQ(currency->name, entry.at("name"));
  }
}

TEST(IsoCodes, EveryCountryOfTheDataIsFoundByItsNumericCode) {
  const std::vector<Entry> entries = read_entries(ISO_3166_1_JSON);
  ASSERT_GT(entries.size(), 240u);
  for (const Entry& entry : entries) {
    const Country* country = find_country(std::stoi(entry.at("numeric")));
    ASSERT_NE(country, nullptr) << entry.at("alpha_3");
    EXPECT_EQ(country->alpha2, entry.at("alpha_2"));
    EXPECT_EQ(country->alpha3, entry.at("alpha_3"));
    EXPECT_EQ(country->name, entry.at("name"));
  }
}

TEST(IsoCodes, ExamplesInUtf8) {
  ASSERT_NE(find_currency(156), nullptr);
  EXPECT_STREQ(find_currency(156)->name, "Yuan Renminbi");
  ASSERT_NE(find_country(156), nullptr);
  EXPECT_STREQ(find_country(156)->name, "China");
  ASSERT_NE(find_country(248), nullptr);
  EXPECT_STREQ(find_country(248)->name, "Åland Islands");
  ASSERT_NE(find_country(384), nullptr);
  EXPECT_STREQ(find_country(384)->name, "Côte d'Ivoire");
}

TEST(IsoCodes, MinorUnitsAsIso4217ListsThem) {
  const struct {
    int numeric;
    const char* alpha3;
    int minor_units;
  } kExpected[] = {
      {156, "CNY", 2}, {840, "USD", 2}, {978, "EUR", 2}, {360, "IDR", 2}, {392, "JPY", 0},
      {410, "KRW", 0}, {704, "VND", 0}, {952, "XOF", 0}, {48, "BHD", 3},  {414, "KWD", 3},
      {788, "TND", 3}, {990, "CLF", 4}, {927, "UYW", 4}, {959, "XAU", 0}, {999, "XXX", 0},
  };
  for (const auto& expected : kExpected) {
    const Currency* currency = find_currency(expected.numeric);
    ASSERT_NE(currency, nullptr) << expected.alpha3;
    EXPECT_STREQ(currency->alpha3, expected.alpha3);
    EXPECT_EQ(currency->minor_units, expected.minor_units) << expected.alpha3;
  }
}

TEST(IsoCodes, CodesNotInTheTablesAreNotFound) {
  for (int numeric : {0, 1, 7, 998, 1000, 1156, -156, INT_MIN, INT_MAX}) {
    EXPECT_EQ(find_currency(numeric), nullptr) << numeric;
    EXPECT_EQ(find_country(numeric), nullptr) << numeric;
  }
  EXPECT_EQ(find_country(999), nullptr);
  EXPECT_EQ(find_currency(4), nullptr);
  ASSERT_NE(find_country(4), nullptr);
  EXPECT_STREQ(find_country(4)->alpha3, "AFG");
}

}  // namespace
