// JSON values as a compact record that JavaScript turns into objects
// without parsing text (wasm/json_record.js reads it). It takes the calls
// of JsonText (json/json_text.h), so that one writer decides every key and
// value of both forms.
//
// A record is 32-bit little-endian words and two texts:
//   value word count, definition word count, ASCII text bytes, UTF-8 text bytes,
//   the value's words, the definitions' words, the ASCII text, the UTF-8 text.
// A value starts with a word whose low 4 bits are its kind (JsonRecordKind)
// and whose other 28 bits its argument:
//   kNumber n                n from 0 to 2^28 - 1
//   kWideNumber, low, high   any other number, as 64 bits
//   kAscii length, offset    characters of the ASCII text
//   kUtf8 length, offset     bytes of the UTF-8 text, decoded alone
//   kName id                 a string defined before
//   kBoolean 0 or 1
//   kArray count, size       `count` values follow, in `size` words
//   kObject shape, size      the values of the shape's keys follow, in order, in `size` words
// The definitions, read before the value, give the names and shapes that
// this record uses first; later records of the same writer use them too:
//   kNewName quoted, length, offset   the next name: bytes of the UTF-8 text,
//                                     JSON text of a string when `quoted`
//   kNewShape count, keys...          the next shape: the name ids of its keys
//   kForget                           every name and shape defined so far is gone
// Names are the strings written by json_string(), which are a few
// constant texts such as the field names of a dialect, and keys.
#ifndef JSON_JSON_RECORD_H_
#define JSON_JSON_RECORD_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

enum class JsonRecordKind : uint32_t {
  kNumber,
  kWideNumber,
  kAscii,
  kUtf8,
  kName,
  kBoolean,
  kArray,
  kObject,
  kNewName,
  kNewShape,
  kForget,
};

class JsonRecord {
 public:
  JsonRecord();

  // Starts a record at the end of `record`.
  void start(std::string* record);
  // Ends it: `record` then holds exactly what was written.
  void finish();

  void begin_object() { open(); }
  void end_object();
  void begin_array() { open(); }
  void end_array();

  // A key of the object being written.
  void key(std::string_view name);
  // The same for a key written as a string literal, known by its address
  // once it has been seen: a literal's address holds no other text.
  template <size_t kSize>
  void key(const char (&name)[kSize]) {
    const uint32_t last = last_child_[shape_];
    if (literals_[last] == name) {
      shape_ = last;
    } else {
      literal_key(name, kSize - 1);
    }
  }

  void number(long value);
  void boolean(bool value) { word(JsonRecordKind::kBoolean, value ? 1 : 0); }

  // A UTF-8 text as a string value.
  void string(std::string_view utf8);

  // Makes room for a string value of `length` ASCII characters and
  // returns where they go.
  char* unescaped_string(size_t length) {
    word(JsonRecordKind::kAscii, static_cast<uint32_t>(length));
    word(static_cast<uint32_t>(ascii_size_));
    // The room grows by doubling, and is not cleared for every text.
    if (ascii_size_ + length > ascii_.size()) ascii_.resize(2 * (ascii_size_ + length));
    char* room = ascii_.data() + ascii_size_;
    ascii_size_ += length;
    return room;
  }

  // A string value in JSON form, with its quotes and escapes. It is written
  // once as a name and then by its id, as long as the same text stands at
  // the same address.
  void json_string(std::string_view quoted);

 private:
  // A string defined as a name, by the address it was written from.
  struct CachedName {
    const char* address = nullptr;
    std::string text;
    uint32_t id = 0;
  };
  // An object or array being written, and the shape of the object around it.
  struct Open {
    size_t head;            // the index of its first word
    uint32_t outer_shape;  // the keys of the object it is in, so far
  };

  // Appends a word to the value's words.
  void word(uint32_t value) {
    if (words_end_ == words_.size()) words_.resize(2 * words_end_ + 64);
    words_[words_end_++] = value;
  }
  void word(JsonRecordKind kind, uint32_t argument) {
    word(static_cast<uint32_t>(kind) | argument << 4);
  }
  // The key `name`, of `size` characters, written from a string literal.
  void literal_key(const char* name, size_t size);
  void open();
  // Ends the object or array being written with the word `kind`,
  // `argument`, which it then has.
  void close(JsonRecordKind kind, uint32_t argument);
  // Defines `text` as the next name; returns its id.
  uint32_t define_name(std::string_view text, bool quoted);
  // The id of the name of a key, defined when it is new.
  uint32_t key_name(const std::string& key);
  // The id of `shape`, defined with its keys when it is new.
  uint32_t shape_id(uint32_t shape);
  // Forgets every name and shape, when there are more than a record
  // should carry.
  void forget_all();

  std::string* out_ = nullptr;
  std::vector<uint32_t> words_;  // the room of the value's words, of which words_end_ are written
  size_t words_end_ = 0;
  std::vector<uint32_t> definitions_;
  std::vector<char> ascii_;  // the room of the ASCII text, of which ascii_size_ is written
  size_t ascii_size_ = 0;
  std::vector<char> utf8_;

  // Shapes: an object's keys so far, as a node of the tree of every key
  // sequence written, whose root 0 is the object without keys. By node:
  std::vector<uint32_t> parents_;
  std::vector<std::string> keys_;       // its last key
  // The literal that key was last written from; the root's stays null.
  std::vector<const char*> literals_;
  std::vector<int32_t> ids_;            // its id, once defined; -1 before
  std::vector<std::vector<uint32_t>> children_;
  std::vector<uint32_t> last_child_;    // the child taken last, looked at first
  uint32_t shape_count_ = 0;            // of shapes with an id
  uint32_t shape_ = 0;                  // the keys so far of the object being written

  std::vector<CachedName> names_;  // a hash table by address
  size_t cached_names_ = 0;
  std::unordered_map<std::string, uint32_t> key_names_;
  uint32_t name_count_ = 0;
  std::vector<Open> open_;
};

#endif  // JSON_JSON_RECORD_H_
