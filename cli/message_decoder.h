// The steps between a source's message and its decoded form, the same for
// every source: hexadecimal text to bytes, the skipped header dropped, the
// message cut to what a decode reads, the decode, and masking. Every
// problem is named on standard error, with a hint where one helps, and
// counted for the closing summary.
#ifndef CLI_MESSAGE_DECODER_H_
#define CLI_MESSAGE_DECODER_H_

#include <string>

#include "cli/message_source.h"
#include "cli/message_writer.h"
#include "cli/run_tally.h"
#include "decode/decoded_message.h"
#include "decode/decoder.h"
#include "decode/message_text.h"

// What to do with every message besides decoding it.
struct DecodeSteps {
  size_t skip = 0;              // bytes dropped from the front of every message
  bool mask = false;            // hide card data
  bool note_trailing = false;   // name bytes after the last field on standard error
  bool whole_input = false;     // the input is one text: suggest --each-line for its other lines
};

class MessageDecoder {
 public:
  // Decodes with `decoder`, which must outlive it.
  MessageDecoder(const DecodeSteps& steps, const Decoder& decoder)
      : steps_(steps), decoder_(decoder) {}

  // Decodes `message`, noting on standard error what was cut, left over or
  // refused. After kUnpacked or kUnpackFailed, decoded() holds the result
  // until the next call, and byte_count() the bytes it was decoded from;
  // after a refusal, refusal() says what was wrong.
  DecodeOutcome decode(const SourceMessage& message);

  // Takes `message` through the steps before the decode: its text made
  // bytes, the skipped header dropped, the message cut to what a decode
  // reads, with the same notes. Returns true when bytes() holds
  // byte_count() bytes to decode, until the next call or until `message`
  // changes; false after refusing it.
  bool prepare(const SourceMessage& message);

  const DecodedMessage& decoded() const { return decoded_; }
  const unsigned char* bytes() const { return bytes_to_decode_; }
  size_t byte_count() const { return byte_count_; }
  const Refusal& refusal() const { return refusal_; }
  const RunTally& tally() const { return tally_; }

 private:
  // Refuses the message with `outcome` after noting `text`.
  DecodeOutcome refuse(const MessageOrigin& origin, DecodeOutcome outcome, const std::string& text);
  // Fills the place of the first character of `message` that is no
  // hexadecimal digit into refusal_ and tells it: "line 1, column 5: 'G'
  // is not a hexadecimal digit".
  std::string describe_non_hex(const SourceMessage& message);
  // Notes the hints for a text with a character that is no hexadecimal
  // digit, the first of them naming it when `name_character`.
  void hint_non_hex(const SourceMessage& message, bool name_character);
  // Notes and counts the bytes after the last field.
  void note_trailing(const SourceMessage& message);

  DecodeSteps steps_;
  const Decoder& decoder_;
  std::string bytes_;
  TextPosition non_hex_;
  DecodedMessage decoded_;
  const unsigned char* bytes_to_decode_ = nullptr;
  size_t byte_count_ = 0;
  Refusal refusal_;
  RunTally tally_;
};

// Writes `text` on standard error as a note, after the place `origin` names.
void note(const MessageOrigin& origin, const std::string& text);

#endif  // CLI_MESSAGE_DECODER_H_
