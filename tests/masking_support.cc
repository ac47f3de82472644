// Every output form, and the card number check.
#include "tests/masking_support.h"

#include <vector>

#include "decode/field_report.h"
#include "decode/hex_text.h"
#include "encoding/cp936_to_utf8.h"
#include "explain/explain_report.h"
#include "json/message_json.h"

namespace {

std::string hex_of_text(const std::string& text) {
  std::string hex(2 * text.size(), '\0');
  render_hex(reinterpret_cast<const unsigned char*>(text.data()), text.size(), hex.data());
  return hex;
}

}  // namespace

std::string every_output(const DecodedMessage& message) {
  Report report;
  MessageJson json;
  MessageJson explained_json(true);
  write_report(message, &report);
  std::string outputs = report;
  append_cp936_as_utf8(report, &outputs);
  for (MessageJson* form : {&json, &explained_json}) {
    form->begin(&outputs);
    form->add_decoded(message);
    form->end();
  }
  ExplanationWriter().write(message, &outputs);
  return outputs;
}

bool reveals_pan(const std::string& outputs, const std::string& pan) {
  std::vector<std::string> forbidden = {pan.substr(0, 7), pan.substr(pan.size() - 7)};
  if (pan.size() >= 17) forbidden.push_back(pan.substr(6, pan.size() - 10));
  for (const std::string& digits : forbidden) {
    if (outputs.find(digits) != std::string::npos) return true;
    if (outputs.find(hex_of_text(digits)) != std::string::npos) return true;
  }
  return false;
}
