// The properties of a definition file: their names, where they may stand,
// and the words of their values, for reading a dialect and for writing it
// out again.
#ifndef DECODE_DIALECT_PROPERTIES_H_
#define DECODE_DIALECT_PROPERTIES_H_

// What one property sets.
enum class Setting { kLength, kData, kUnit, kAlign, kPad, kMask, kHeader, kBitmap, kSecondary,
                     kEbcdic, kCount };

// Where a property may stand.
enum Scope : unsigned { kFieldLine = 1, kMessageLine = 2 };

// One property: its name, where it may stand, and its values in words for
// the message that names a value not understood.
struct PropertyName {
  const char* name;
  Setting setting;
  unsigned scopes;
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

// The name of `setting`.
const char* setting_name(Setting setting);

// The word of value `code` of `setting`, or nullptr.
const char* value_word(Setting setting, int code);

#endif  // DECODE_DIALECT_PROPERTIES_H_
