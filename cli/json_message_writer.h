// The JSON Lines output: one JSON object a line for every message, with
// the keys that say where it was found.
#ifndef CLI_JSON_MESSAGE_WRITER_H_
#define CLI_JSON_MESSAGE_WRITER_H_

#include "cli/message_writer.h"
#include "json/message_json.h"

// `Json` writes each object: MessageJson as JSON text, MessageRecord as
// a record for JavaScript.
template <class Json>
class BasicJsonMessageWriter : public MessageWriter {
 public:
  // `explain`: with the meanings of values. `masked`: every object says
  // "masked": true, so that it is not packed.
  BasicJsonMessageWriter(bool explain, bool masked) : masked_(masked), json_(explain) {}

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
  Json json_;
  std::string hint_;
};

// JSON Lines.
using JsonMessageWriter = BasicJsonMessageWriter<MessageJson>;
// Each object as a record.
using RecordMessageWriter = BasicJsonMessageWriter<MessageRecord>;

extern template class BasicJsonMessageWriter<MessageJson>;
extern template class BasicJsonMessageWriter<MessageRecord>;

#endif  // CLI_JSON_MESSAGE_WRITER_H_
