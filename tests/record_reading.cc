// Reading records back into JSON text.
#include "tests/record_reading.h"

#include <cstring>

#include "json/json_record.h"
#include "rapidjson/document.h"
#include "rapidjson/stringbuffer.h"
#include "rapidjson/writer.h"

namespace {

using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

// Where a record's parts are, each checked to lie within it.
struct RecordParts {
  std::vector<uint32_t> values;
  std::vector<uint32_t> definitions;
  std::string_view ascii;
  std::string_view utf8;
};

bool split_record(std::string_view record, RecordParts* parts) {
  uint32_t counts[4];
  if (record.size() < sizeof counts) return false;
  std::memcpy(counts, record.data(), sizeof counts);
  const uint64_t word_bytes = 4 * (uint64_t{counts[0]} + counts[1]);
  if (sizeof counts + word_bytes + counts[2] + counts[3] != record.size()) return false;
  std::vector<uint32_t> words(counts[0] + counts[1]);
  if (!words.empty()) std::memcpy(words.data(), record.data() + sizeof counts, word_bytes);
  parts->values.assign(words.begin(), words.begin() + counts[0]);
  parts->definitions.assign(words.begin() + counts[0], words.end());
  parts->ascii = record.substr(sizeof counts + word_bytes, counts[2]);
  parts->utf8 = record.substr(sizeof counts + word_bytes + counts[2], counts[3]);
  return true;
}

JsonRecordKind kind_of(uint32_t word) { return static_cast<JsonRecordKind>(word & 15); }

// The text of `length` bytes from `offset` of `text`, or false.
bool text_at(std::string_view text, uint32_t offset, uint32_t length, std::string_view* part) {
  if (offset > text.size() || length > text.size() - offset) return false;
  *part = text.substr(offset, length);
  return true;
}

// Writes the values of a record as JSON.
class RecordValueReader {
 public:
  RecordValueReader(const RecordParts& parts, const std::vector<std::string>& names,
                    const std::vector<std::vector<uint32_t>>& shapes, JsonWriter* writer)
      : parts_(parts), names_(names), shapes_(shapes), writer_(writer) {}

  // Writes the value at `*at`, moving `*at` past it; false when damaged.
  bool value(size_t* at) {
    const std::vector<uint32_t>& words = parts_.values;
    if (*at >= words.size()) return false;
    const uint32_t word = words[(*at)++];
    const uint32_t argument = word >> 4;
    std::string_view text;
    switch (kind_of(word)) {
      case JsonRecordKind::kNumber:
        return writer_->Int64(argument);
      case JsonRecordKind::kWideNumber: {
        if (*at + 2 > words.size()) return false;
        const uint64_t wide = words[*at] | uint64_t{words[*at + 1]} << 32;
        *at += 2;
        return writer_->Int64(static_cast<int64_t>(wide));
      }
      case JsonRecordKind::kAscii:
      case JsonRecordKind::kUtf8:
        if (*at >= words.size()) return false;
        if (!text_at(kind_of(word) == JsonRecordKind::kAscii ? parts_.ascii : parts_.utf8,
                     words[(*at)++], argument, &text)) {
          return false;
        }
        return writer_->String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
      case JsonRecordKind::kName:
        if (argument >= names_.size()) return false;
        return writer_->String(names_[argument].data(),
                               static_cast<rapidjson::SizeType>(names_[argument].size()));
      case JsonRecordKind::kBoolean:
        return writer_->Bool(argument != 0);
      case JsonRecordKind::kArray:
      case JsonRecordKind::kObject:
        return container(word, at);
      default:
        return false;
    }
  }

 private:
  bool container(uint32_t word, size_t* at) {
    const std::vector<uint32_t>& words = parts_.values;
    if (*at >= words.size()) return false;
    const size_t end = *at + 1 + words[*at];
    ++*at;
    if (end > words.size()) return false;
    const uint32_t argument = word >> 4;
    if (kind_of(word) == JsonRecordKind::kArray) {
      writer_->StartArray();
      for (uint32_t k = 0; k < argument; ++k) {
        if (!value(at)) return false;
      }
      writer_->EndArray();
    } else {
      if (argument >= shapes_.size()) return false;
      writer_->StartObject();
      for (const uint32_t key : shapes_[argument]) {
        writer_->Key(names_[key].data(), static_cast<rapidjson::SizeType>(names_[key].size()));
        if (!value(at)) return false;
      }
      writer_->EndObject();
    }
    // The size must span exactly the values.
    return *at == end;
  }

  const RecordParts& parts_;
  const std::vector<std::string>& names_;
  const std::vector<std::vector<uint32_t>>& shapes_;
  JsonWriter* writer_;
};

}  // namespace

std::string RecordReader::read(std::string_view record) {
  RecordParts parts;
  if (!split_record(record, &parts)) return std::string();
  const std::vector<uint32_t>& words = parts.definitions;
  for (size_t at = 0; at < words.size();) {
    const uint32_t word = words[at++];
    switch (kind_of(word)) {
      case JsonRecordKind::kNewName: {
        std::string_view text;
        if (at + 2 > words.size() || !text_at(parts.utf8, words[at + 1], words[at], &text)) {
          return std::string();
        }
        at += 2;
        if ((word >> 4) == 0) {
          names_.emplace_back(text);
          break;
        }
        rapidjson::Document quoted;
        quoted.Parse(text.data(), text.size());
        if (quoted.HasParseError() || !quoted.IsString()) return std::string();
        names_.emplace_back(quoted.GetString(), quoted.GetStringLength());
        break;
      }
      case JsonRecordKind::kNewShape: {
        const uint32_t count = word >> 4;
        if (count > words.size() - at) return std::string();
        std::vector<uint32_t> keys(words.begin() + at, words.begin() + at + count);
        for (const uint32_t key : keys) {
          if (key >= names_.size()) return std::string();
        }
        shapes_.push_back(std::move(keys));
        at += count;
        break;
      }
      case JsonRecordKind::kForget:
        names_.clear();
        shapes_.clear();
        break;
      default:
        return std::string();
    }
  }
  rapidjson::StringBuffer text;
  JsonWriter writer(text);
  RecordValueReader reader(parts, names_, shapes_, &writer);
  size_t at = 0;
  if (!reader.value(&at) || at != parts.values.size()) return std::string();
  return std::string(text.GetString(), text.GetSize());
}

std::string canonical_json(std::string_view json) {
  rapidjson::Document document;
  document.Parse(json.data(), json.size());
  if (document.HasParseError()) return std::string();
  rapidjson::StringBuffer text;
  JsonWriter writer(text);
  document.Accept(writer);
  return std::string(text.GetString(), text.GetSize());
}
