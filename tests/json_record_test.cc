// Records for JavaScript read back by an independent reader: every sample
// of every dialect, explained and masked, gives the object of its JSON text
// with the keys in the same order, one record after another from one
// writer; names whose text changes at its address, so many names that the
// writer forgets them, numbers of every size and texts of every kind read
// back as they were written.
#include <climits>
#include <string>
#include <vector>

#include "decode/definition_file.h"
#include "gtest/gtest.h"
#include "json/json_record.h"
#include "json/json_text.h"
#include "json/message_json.h"
#include "mask/card_data_mask.h"
#include "tests/record_reading.h"
#include "tests/test_support.h"

namespace {

// Each dialect's definition file and its sample messages.
struct DialectSamples {
  const char* definitions;
  std::vector<const char*> samples;
};

const DialectSamples kDialects[] = {
    {"bitmap.ini", {"purchase", "response", "reversal", "maximal"}},
    {"dialects/unionpay-pos.ini", {"unionpay-pos"}},
    {"dialects/iso87-ascii.ini", {"iso87-ascii"}},
    {"dialects/iso87-binary.ini", {"iso87-binary"}},
    {"dialects/iso93-ascii.ini", {"iso93-ascii"}},
    {"dialects/ebcdic.ini", {"ebcdic"}},
};

TEST(JsonRecord, EverySampleReadsBackAsItsJson) {
  for (const bool explain : {false, true}) {
    for (const bool mask : {false, true}) {
      MessageJson json(explain);
      MessageRecord record(explain);
      RecordReader reader;
      for (const DialectSamples& dialect : kDialects) {
        const Decoder decoder = decoder_of(read_file(dialect.definitions));
        // Twice, so that records also use what earlier ones defined.
        for (int pass = 0; pass < 2; ++pass) {
          for (const char* sample : dialect.samples) {
            DecodedMessage message;
            decode_text(decoder, read_file(std::string("examples/") + sample + ".hex"), &message);
            if (mask) mask_card_data(&message);
            std::string text;
            json.begin(&text);
            json.add_decoded(message);
            json.end();
            std::string bytes;
            record.begin(&bytes);
            record.add_decoded(message);
            record.end();
            const std::string expected = canonical_json(text);
            ASSERT_FALSE(expected.empty()) << sample;
            EXPECT_EQ(reader.read(bytes), expected) << sample << " explain " << explain << " mask " << mask;
          }
        }
      }
    }
  }
}

// Writes the same values with `text` and `record`, and checks that the
// record reads back as the text.
class SameValues {
 public:
  SameValues() {
    text_.start(&json_);
    record_.start(&bytes_);
  }

  template <typename Write>
  void both(Write write) {
    write(text_);
    write(record_);
  }

  // The JSON text and what the record reads back as, once both are ended.
  std::pair<std::string, std::string> texts(RecordReader* reader) {
    text_.finish();
    record_.finish();
    return {json_, reader->read(bytes_)};
  }

 private:
  std::string json_;
  std::string bytes_;
  JsonText text_;
  JsonRecord record_;
};

TEST(JsonRecord, NumbersAndTextsOfEveryKindReadBack) {
  SameValues values;
  values.both([](auto& json) {
    json.begin_object();
    json.key("numbers");
    json.begin_array();
    for (const long number : {0L, 1L, (1L << 28) - 1, 1L << 28, -1L, long{INT_MIN}, LONG_MIN, LONG_MAX}) {
      json.number(number);
    }
    json.end_array();
    json.key("texts");
    json.begin_array();
    json.string("");
    json.string("ASCII");
    json.string("应用密文");
    json.string("a \"quoted\" back\\slash\ttab");
    json.boolean(true);
    json.boolean(false);
    json.end_array();
    json.key(std::string("a key made at run time"));
    json.begin_object();
    json.end_object();
    json.key("nested");
    for (int depth = 0; depth < 50; ++depth) json.begin_array();
    for (int depth = 0; depth < 50; ++depth) json.end_array();
    json.end_object();
  });
  RecordReader reader;
  const auto [text, read_back] = values.texts(&reader);
  EXPECT_EQ(read_back, canonical_json(text));
}

TEST(JsonRecord, NamesWhoseTextChangesAreDefinedAgain) {
  JsonRecord record;
  RecordReader reader;
  std::string name = "\"first name\"";
  for (const char* text : {"\"first name\"", "\"second\"", "\"second\"", "\"first name\""}) {
    name = text;  // short enough to stay where the string keeps it
    std::string bytes;
    record.start(&bytes);
    record.json_string(name);
    record.finish();
    EXPECT_EQ(reader.read(bytes), text);
  }
}

TEST(JsonRecord, AWriterOfManyNamesForgetsThemAndItsReaderFollows) {
  // Each record names texts at addresses of their own, so every one is a
  // new name: more than a writer keeps.
  std::vector<std::string> names;
  for (int k = 0; k < 10000; ++k) names.push_back("\"name number " + std::to_string(k) + "\"");
  JsonRecord record;
  RecordReader reader;
  for (size_t k = 0; k + 2 < names.size(); k += 2) {
    std::string bytes;
    record.start(&bytes);
    record.begin_array();
    record.json_string(names[k]);
    record.json_string(names[k + 1]);
    record.json_string(names[k]);
    record.end_array();
    record.finish();
    ASSERT_EQ(reader.read(bytes), "[" + names[k] + "," + names[k + 1] + "," + names[k] + "]") << k;
  }
}

}  // namespace
