// Decoders and decoded messages share nothing: a message stays what it was
// whatever else is decoded meanwhile, and two threads rendering every
// output form with two decoders of different dialects at once each get
// what one thread alone gets. (make check also runs this under
// ThreadSanitizer, which reports any data race between them.)
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cli/explain_message_writer.h"
#include "cli/json_message_writer.h"
#include "cli/report_message_writer.h"
#include "decode/decoder.h"
#include "decode/field_report.h"
#include "gtest/gtest.h"
#include "mask/card_data_mask.h"
#include "tests/test_support.h"

namespace {

// The writers of every output form of iso8583dump, and where they write.
class Renderers {
 public:
  Renderers() : sink_(std::fopen("/dev/null", "w"), std::fclose), output_(sink_.get(), OutputEncoding::kUtf8) {}

  // Every output form of the message of `bytes` decoded with `decoder`,
  // masked when `mask`: the report raw and in UTF-8, the JSON plain and
  // explained, and the explanation.
  std::string render(const Decoder& decoder, const std::string& bytes, bool mask) {
    const DecodeOutcome outcome = decoder.decode(
        reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &message_);
    if (mask) mask_card_data(&message_);
    std::string* text = output_.pending();
    text->clear();
    for (MessageWriter* writer : writers_) {
      writer->write_decoded(MessageOrigin(), bytes.size(), outcome, message_, &output_);
    }
    return *text;
  }

 private:
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> sink_;  // outlives output_
  Output output_;
  DecodedMessage message_;
  ReportMessageWriter raw_{true, false};
  ReportMessageWriter utf8_{false, false};
  JsonMessageWriter json_{false, false};
  JsonMessageWriter explained_json_{true, true};
  ExplainMessageWriter explanation_{false};
  std::vector<MessageWriter*> writers_ = {&raw_, &utf8_, &json_, &explained_json_, &explanation_};
};

// A dialect with its sample messages.
struct Workload {
  Decoder decoder;
  std::vector<std::string> messages;
};

Workload workload_of(const std::string& definitions, const std::vector<std::string>& samples) {
  Workload workload{decoder_of(read_file(definitions)), {}};
  for (const std::string& sample : samples) {
    workload.messages.push_back(message_bytes(read_file("examples/" + sample + ".hex")));
  }
  return workload;
}

TEST(DecodedMessages, AMessageStaysWhatItWasWhateverIsDecodedAfterIt) {
  const Workload work = workload_of("bitmap.ini", {"purchase", "reversal"});
  DecodedMessage purchase;
  DecodedMessage reversal;
  work.decoder.decode(reinterpret_cast<const unsigned char*>(work.messages[0].data()),
                      work.messages[0].size(), &purchase);
  Report before;
  write_report(purchase, &before);
  work.decoder.decode(reinterpret_cast<const unsigned char*>(work.messages[1].data()),
                      work.messages[1].size(), &reversal);
  mask_card_data(&reversal);
  Report after;
  write_report(purchase, &after);
  EXPECT_EQ(after, before);
  // Moved, it keeps its views.
  const DecodedMessage moved = std::move(purchase);
  Report moved_report;
  write_report(moved, &moved_report);
  EXPECT_EQ(moved_report, before);
}

TEST(DecodedMessages, AFieldReachingPastTheMessageReadsZerosNotGrowingWithItsMaximum) {
  const Decoder decoder = decoder_of("1|4|0\n2|9999|4\n3|9999|0\n");
  DecodedMessage message;
  // Field 2 holds 5 bytes; field 3, defined at 9,999 bytes, is missing.
  const std::string bytes = message_bytes("30323030 6000000000000000 0000000000000000 30303035 3132333435");
  decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &message);
  ASSERT_EQ(message.fields.size(), 2u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(message.fields[0].data), 5), "12345");
  const DecodedField& missing = message.fields[1];
  EXPECT_EQ(missing.length, 9999);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(missing.data), 9999), std::string(9999, '\0'));
  EXPECT_EQ(message.verdict.result, UnpackResult::kTooShort);
  // A message without the long fields costs only its own bytes.
  const std::string short_message = message_bytes("30323030 4000000000000000 0000000000000000 30303035 3132333435");
  decoder.decode(reinterpret_cast<const unsigned char*>(short_message.data()), short_message.size(),
                 &message);
  EXPECT_EQ(message.bytes.size(), short_message.size());
}

TEST(Concurrency, TwoThreadsWithTwoDialectsRenderAsOneThreadAlone) {
  const std::vector<Workload> works = {
      workload_of("bitmap.ini", {"purchase", "response", "reversal"}),
      workload_of("dialects/unionpay-pos.ini", {"unionpay-pos"}),
      workload_of("dialects/ebcdic.ini", {"ebcdic"}),
  };
  // What one thread alone renders, masked and not.
  std::vector<std::vector<std::string>> expected(works.size());
  Renderers alone;
  for (size_t w = 0; w < works.size(); ++w) {
    for (const std::string& bytes : works[w].messages) {
      expected[w].push_back(alone.render(works[w].decoder, bytes, false));
      expected[w].push_back(alone.render(works[w].decoder, bytes, true));
    }
  }
  constexpr int kRounds = 200;
  std::vector<int> mismatches(works.size(), 0);
  std::vector<std::thread> threads;
  for (size_t w = 0; w < works.size(); ++w) {
    threads.emplace_back([&, w] {
      Renderers renderers;
      for (int round = 0; round < kRounds; ++round) {
        for (size_t m = 0; m < works[w].messages.size(); ++m) {
          const bool mask = round % 2 == 1;
          if (renderers.render(works[w].decoder, works[w].messages[m], mask) !=
              expected[w][2 * m + (mask ? 1 : 0)]) {
            ++mismatches[w];
          }
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (size_t w = 0; w < works.size(); ++w) EXPECT_EQ(mismatches[w], 0) << "workload " << w;
}

}  // namespace
