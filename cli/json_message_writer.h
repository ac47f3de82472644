// The JSON Lines output: one JSON object a line for every message, with
// the keys that say where it was found.
#ifndef CLI_JSON_MESSAGE_WRITER_H_
#define CLI_JSON_MESSAGE_WRITER_H_

#include "cli/message_writer.h"
#include "json/message_json.h"

class JsonMessageWriter : public MessageWriter {
 public:
  // `explain`: with the meanings of values. `masked`: every object says
  // "masked": true, so that it is not packed.
  JsonMessageWriter(bool explain, bool masked) : masked_(masked), json_(explain) {}

  void write_decoded(const MessageOrigin& origin, size_t byte_count, DecodeOutcome outcome,
                     const DecodedMessage& message, Output* output) override;
  void write_rejected(const MessageOrigin& origin, const Refusal& refusal,
                      Output* output) override;
  // The next message's object carries it as "hint".
  void add_hint(const std::string& hint) override { hint_ = hint; }

 private:
  void begin(const MessageOrigin& origin, Output* output);
  void end(Output* output);

  bool masked_;
  MessageJson json_;
  std::string hint_;
};

#endif  // CLI_JSON_MESSAGE_WRITER_H_
