// A decoded message as one JSON object, the form scripts read:
//   {"header": "…", "mti": "0200", "mti_hex": "30323030", "bitmap": "…",
//   "fields": [{"field": 2, "length": 19, "bytes": 19, "hex": "…", "text":
//   "…", "name": "…"}, …], "result": "unpacked", "field55": [{"tag":
//   "9F26", "length": 8, "value": "…", "name": "应用密文"}, …]}
// "length" is a field's length in its own unit (digits for packed numbers),
// "bytes" its size in the message, "hex" its bytes as they stand (pad
// nibbles too), and "text" its value: digits, characters, or hexadecimal
// for binary data.
// Texts are UTF-8, hexadecimal is upper case, and masked nibbles show '*'.
// Explained, it also says what values mean: "mti_meaning", "meaning" (and
// "amount" and "currency") on fields, and on field 55 elements their
// dictionary names "name" and "name_en", "meaning" and "details" for coded
// values, "bits" for the bits set, and "children" inside constructed ones.
// The same objects also come as records that JavaScript builds them from
// (MessageRecord): one writer decides the keys and values of both.
#ifndef JSON_MESSAGE_JSON_H_
#define JSON_MESSAGE_JSON_H_

#include <memory>
#include <string>
#include <string_view>

#include "decode/decoded_message.h"
#include "explain/chip_data_tree.h"
#include "json/json_record.h"
#include "json/json_text.h"

// Builds one JSON object at a time; its keys come in the order added.
// `Sink` writes it: JsonText as text, JsonRecord as a record.
template <class Sink>
class BasicMessageJson {
 public:
  // `explain`: add the meanings of values.
  explicit BasicMessageJson(bool explain = false);
  ~BasicMessageJson();
  BasicMessageJson(const BasicMessageJson&) = delete;
  BasicMessageJson& operator=(const BasicMessageJson&) = delete;

  // Starts a new object at the end of `text`.
  void begin(std::string* text);

  // Adds a key with a number or a UTF-8 text.
  void add(const char* key, long value);
  void add(const char* key, std::string_view utf8_text);

  // Adds a key whose value is true.
  void add_flag(const char* key);

  // Adds a key whose value is true or false.
  void add_boolean(const char* key, bool value);

  // Adds the keys of a decoded message: "header" (when the dialect has
  // one), "mti" (when printable), "mti_hex", "bitmap", "fields", "result"
  // with "field", or "needed" and "available",
  // and "field55" when field 55 was stored. Fields that have a name in the
  // definition file carry it as "name".
  void add_decoded(const DecodedMessage& message);

  // Adds a key whose value is an array of objects: each item is begun by
  // begin_item(), holds the keys added after it, and is ended by
  // end_object().
  void begin_list(const char* key);
  void end_list();
  void begin_item();

  // Adds a key whose value is an object, which holds the keys added until
  // end_object().
  void begin_object(const char* key);
  void end_object();

  // Adds a key with `count` bytes as upper-case hexadecimal.
  void add_hex(const char* key, const unsigned char* bytes, size_t count);

  // Adds a key whose value is the object of `field` of `message` (a data
  // element or its type indicator), as "fields" lists it; explained, with
  // its meaning.
  void add_field(const char* key, const DecodedMessage& message, const DecodedField& field);

  // Adds a key whose value is the object of `part`, as "sub" lists it,
  // but without the parts inside it.
  void add_part(const char* key, const DecodedPart& part);

  // Adds a key whose value is the object of the chip data element
  // `element` of `field55`, as an explained "field55" lists it, but without
  // the elements inside it.
  void add_chip_element(const char* key, const DecodedField& field55,
                        const ExplainedElement& element);

  // Ends the object and returns its text, valid until the text it was
  // appended to changes.
  std::string_view end();

 private:
  struct Writer;
  std::unique_ptr<Writer> writer_;
};

// Messages as JSON text.
using MessageJson = BasicMessageJson<JsonText>;
// Messages as records of json/json_record.h.
using MessageRecord = BasicMessageJson<JsonRecord>;

extern template class BasicMessageJson<JsonText>;
extern template class BasicMessageJson<JsonRecord>;

#endif  // JSON_MESSAGE_JSON_H_
