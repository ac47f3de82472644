// The properties of a definition file: their names, where they may stand,
// and their values, for reading a dialect and for writing it out again.
#ifndef DECODE_DIALECT_PROPERTIES_H_
#define DECODE_DIALECT_PROPERTIES_H_

#include <string>
#include <string_view>

// What one property sets.
enum class Setting {
  kLength, kData, kUnit, kAlign, kPad, kMask,                    // a field's or a part's encoding
  kHeader, kBitmap, kSecondary, kEbcdic,                         // the message
  kLayout, kRepeat, kTag, kTagLength, kPrefix, kMap, kMapBytes,  // a composite's layout
  kMapBit1, kValues, kSeparator, kDelimited,
  kCount
};

// Where a property may stand: on a line of properties alone (the message),
// a field's line, or a part's line.
enum Scope : unsigned { kFieldLine = 1, kMessageLine = 2, kPartLine = 4 };

// What a property's value is.
enum class ValueKind {
  kWord,       // one of the words of kPropertyValues
  kNumber,     // a decimal number from `min` to `max`
  kCharacter,  // one character, or 0x and two hexadecimal digits
};

// One property: its name, where it may stand, its value, and its values in
// words for the message that names a value not understood.
struct PropertyName {
  const char* name;
  Setting setting;
  unsigned scopes;
  ValueKind kind;
  int min;  // kNumber: the smallest value
  int max;  // kNumber: the largest value
  const char* values;
};

// One value in words of a property that takes words, and its code: the
// value of the enumeration it stands for.
struct PropertyValue {
  Setting setting;
  const char* value;
  int code;
};

// The properties, and the values of those that take words.
extern const PropertyName kPropertyNames[];
extern const int kPropertyNameCount;
extern const PropertyValue kPropertyValues[];
extern const int kPropertyValueCount;

// The property that sets `setting`.
const PropertyName& property_of(Setting setting);

// The name of `setting`.
const char* setting_name(Setting setting);

// The word of value `code` of `setting`, or nullptr.
const char* value_word(Setting setting, int code);

// The code of a tag's or a length's coding in a tagged layout: its kind
// (CodingKind) and its count of characters, digits or bytes.
constexpr int coding_code(int kind, int count) { return kind * 16 + count; }

// The properties of one line: each setting's value, or kUnset, and the
// word that set it, for the messages that name it.
struct LineSettings {
  static constexpr int kUnset = -1;
  int value[static_cast<int>(Setting::kCount)];
  std::string_view word[static_cast<int>(Setting::kCount)];

  LineSettings() {
    for (int& each : value) each = kUnset;
  }
  bool has(Setting setting) const { return value[static_cast<int>(setting)] != kUnset; }
  int operator[](Setting setting) const { return value[static_cast<int>(setting)]; }
  // The value of `setting`, or `fallback` when no property set it.
  int get_or(Setting setting, int fallback) const { return has(setting) ? (*this)[setting] : fallback; }
  // "'name=value'": the word that set `setting`, quoted.
  std::string quoted(Setting setting) const {
    return "'" + std::string(word[static_cast<int>(setting)]) + "'";
  }
};

// Whether `word` has the form of a property: a name, '=' and a value.
bool is_property(std::string_view word);

// Whether `name` (in any case) is the name of a property.
bool is_property_name(std::string_view name);

// Reads the property `word` (which has the form of one) of a line of
// `scope` into `settings`; `word` must outlive them. Returns false after
// writing into `reason` what is wrong.
bool read_property(std::string_view word, Scope scope, LineSettings* settings, std::string* reason);

#endif  // DECODE_DIALECT_PROPERTIES_H_
