// Helpers of the tests of the window's decoding layer.
#include "tests/window_test_support.h"

#include "gtest/gtest.h"
#include "window_decode/decode_request.h"
#include "window_decode/error_report.h"
#include "window_decode/field_defs_loader.h"

int define_fields(const std::string& definition_lines) {
  return parse_field_defs(definition_lines);
}

Report decode_hex(const std::string& hex_text) {
  Report report;
  const DecodeOutcome outcome = decode_request(hex_text, &report);
  EXPECT_TRUE(outcome == DecodeOutcome::kUnpacked || outcome == DecodeOutcome::kUnpackFailed)
      << "not decoded: " << hex_text;
  return report;
}

namespace {

std::vector<std::string> recorded_errors;

void record_error(const char* message) { recorded_errors.push_back(message); }

}  // namespace

ErrorRecorder::ErrorRecorder() {
  recorded_errors.clear();
  set_error_reporter(record_error);
}

ErrorRecorder::~ErrorRecorder() { set_error_reporter(nullptr); }

const std::vector<std::string>& ErrorRecorder::messages() const { return recorded_errors; }
