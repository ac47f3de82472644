// Writing the JSON of a guess.
#include "guess/guess_json.h"

#include "encoding/cp936_to_utf8.h"
#include "guess/decode_options.h"
#include "guess/framing.h"
#include "json/json_text.h"

namespace {

void write_checks(const CheckTally& checks, JsonText* json) {
  json->begin_object();
  for (int kind = 0; kind < kCheckCount; ++kind) {
    json->key(kCheckNames[kind]);
    json->begin_object();
    json->key("passed");
    json->number(checks.passed[kind]);
    json->key("failed");
    json->number(checks.failed[kind]);
    json->end_object();
  }
  json->end_object();
}

void write_first_incomplete(const Reading& reading, JsonText* json) {
  const UnpackVerdict& verdict = reading.first_incomplete;
  json->begin_object();
  json->key("result");
  json->string(unpack_result_name(verdict.result));
  if (verdict.result == UnpackResult::kUnpacked) {
    json->key("trailing");
    json->number(static_cast<long>(reading.first_byte_count) - verdict.end_offset);
  }
  json->end_object();
}

void write_reading(const DialectGuess& guess, const Reading& reading, JsonText* json) {
  std::string name;
  append_text_as_utf8(guess.candidates()[static_cast<size_t>(reading.candidate)].name, &name);
  json->begin_object();
  json->key("dialect");
  json->string(name);
  json->key("framing");
  json->string(kFramings[reading.framing].name);
  json->key("framing_bytes");
  json->number(reading.overhead);
  json->key("messages");
  json->number(reading.messages);
  json->key("complete");
  json->number(reading.complete);
  json->key("fields");
  json->number(reading.fields);
  json->key("passed");
  json->number(reading.checks.total_passed());
  json->key("failed");
  json->number(reading.checks.total_failed());
  json->key("checks");
  write_checks(reading.checks, json);
  if (reading.has_incomplete) {
    json->key("first_incomplete");
    write_first_incomplete(reading, json);
  }
  json->end_object();
}

}  // namespace

void write_guess_json(const DialectGuess& guess, const std::vector<Reading>& ranking, size_t skip,
                      std::string* text) {
  JsonText json;
  json.start(text);
  json.begin_object();
  json.key("messages");
  json.number(guess.messages());
  const bool complete = !ranking.empty() && reads_completely(ranking.front(), guess.messages());
  json.key("complete");
  json.boolean(complete);
  if (complete) {
    std::string utf8;
    append_text_as_utf8(decode_options(guess, ranking.front(), skip), &utf8);
    json.key("options");
    json.string(utf8);
  }
  json.key("readings");
  json.begin_array();
  for (const Reading& reading : ranking) write_reading(guess, reading, &json);
  json.end_array();
  json.end_object();
  json.finish();
}
