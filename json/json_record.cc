// Writing JSON values as a record for JavaScript.
#include "json/json_record.h"

#include <cstring>
#include <utility>

namespace {

// A writer forgets its names and shapes when it has defined more than
// these, which no message's JSON needs, so that its memory and that of
// its reader stay bounded whatever it writes.
constexpr uint32_t kMaxNames = 1 << 12;
constexpr uint32_t kMaxShapes = 1 << 12;

// The largest number written in one word.
constexpr long kMaxSmallNumber = (1L << 28) - 1;

// The size of the table of cached names when it is first made.
constexpr size_t kFirstNameTableSize = 64;

// Where the name written from `address` is looked for first in a table of
// `size` slots, a power of two: Fibonacci hashing, as addresses share
// their low bits.
size_t name_slot(const char* address, size_t size) {
  const uint64_t hashed = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(address)) *
                          0x9E3779B97F4A7C15u;
  return static_cast<size_t>(hashed >> 40) & (size - 1);
}

bool is_ascii(std::string_view text) {
  for (const char ch : text) {
    if (static_cast<unsigned char>(ch) >= 0x80) return false;
  }
  return true;
}

// Appends `count` items at `items`, as the bytes of this machine: a record
// is read on the same machine, and WebAssembly is little-endian.
template <typename Item>
void append_items(const Item* items, size_t count, std::string* out) {
  if (count > 0) out->append(reinterpret_cast<const char*>(items), count * sizeof(Item));
}

// Whether `text` is `cached`, compared eight bytes at a time: names are
// compared for every time they are written, and a library call compares
// a byte at a time.
bool is_same_text(const std::string& cached, std::string_view text) {
  if (cached.size() != text.size()) return false;
  size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    uint64_t left;
    uint64_t right;
    std::memcpy(&left, cached.data() + at, sizeof left);
    std::memcpy(&right, text.data() + at, sizeof right);
    if (left != right) return false;
  }
  for (; at < text.size(); ++at) {
    if (cached[at] != text[at]) return false;
  }
  return true;
}

}  // namespace

JsonRecord::JsonRecord() : names_(kFirstNameTableSize) { forget_all(); }

void JsonRecord::start(std::string* record) {
  out_ = record;
  words_end_ = 0;
  definitions_.clear();
  ascii_size_ = 0;
  utf8_.clear();
  open_.clear();
  shape_ = 0;
  if (name_count_ > kMaxNames || shape_count_ > kMaxShapes) {
    forget_all();
    definitions_.push_back(static_cast<uint32_t>(JsonRecordKind::kForget));
  }
}

void JsonRecord::forget_all() {
  // Only the root: the object without keys.
  parents_.assign(1, 0);
  keys_.assign(1, std::string());
  literals_.assign(1, nullptr);
  ids_.assign(1, -1);
  children_.assign(1, std::vector<uint32_t>());
  last_child_.assign(1, 0);
  shape_count_ = 0;
  names_.assign(kFirstNameTableSize, CachedName());
  cached_names_ = 0;
  key_names_.clear();
  name_count_ = 0;
}

void JsonRecord::finish() {
  const uint32_t counts[4] = {static_cast<uint32_t>(words_end_),
                              static_cast<uint32_t>(definitions_.size()),
                              static_cast<uint32_t>(ascii_size_), static_cast<uint32_t>(utf8_.size())};
  append_items(counts, 4, out_);
  append_items(words_.data(), words_end_, out_);
  append_items(definitions_.data(), definitions_.size(), out_);
  append_items(ascii_.data(), ascii_size_, out_);
  append_items(utf8_.data(), utf8_.size(), out_);
  out_ = nullptr;
}

void JsonRecord::open() {
  open_.push_back(Open{words_end_, shape_});
  shape_ = 0;
  word(0);  // its kind and argument, once they are known
  word(0);  // its size
}

void JsonRecord::close(JsonRecordKind kind, uint32_t argument) {
  const Open& container = open_.back();
  words_[container.head] = static_cast<uint32_t>(kind) | argument << 4;
  words_[container.head + 1] = static_cast<uint32_t>(words_end_ - container.head - 2);
  shape_ = container.outer_shape;
  open_.pop_back();
}

void JsonRecord::end_object() { close(JsonRecordKind::kObject, shape_id(shape_)); }

void JsonRecord::end_array() {
  // Its values counted by stepping over them, which costs less than
  // counting each value as it is written.
  uint32_t count = 0;
  for (size_t at = open_.back().head + 2; at < words_end_; ++count) {
    switch (static_cast<JsonRecordKind>(words_[at] & 15)) {
      case JsonRecordKind::kArray:
      case JsonRecordKind::kObject:
        at += 2 + words_[at + 1];
        break;
      case JsonRecordKind::kAscii:
      case JsonRecordKind::kUtf8:
        at += 2;
        break;
      case JsonRecordKind::kWideNumber:
        at += 3;
        break;
      default:
        at += 1;
        break;
    }
  }
  close(JsonRecordKind::kArray, count);
}

void JsonRecord::literal_key(const char* name, size_t size) {
  key(std::string_view(name, size));
  literals_[shape_] = name;
}

void JsonRecord::key(std::string_view name) {
  const uint32_t last = last_child_[shape_];
  if (last != 0 && keys_[last] == name) {
    shape_ = last;
    return;
  }
  for (const uint32_t child : children_[shape_]) {
    if (keys_[child] == name) {
      last_child_[shape_] = child;
      shape_ = child;
      return;
    }
  }
  const uint32_t child = static_cast<uint32_t>(parents_.size());
  parents_.push_back(shape_);
  keys_.emplace_back(name);
  literals_.push_back(nullptr);
  ids_.push_back(-1);
  children_.emplace_back();
  last_child_.push_back(0);
  children_[shape_].push_back(child);
  last_child_[shape_] = child;
  shape_ = child;
}

uint32_t JsonRecord::shape_id(uint32_t shape) {
  if (ids_[shape] >= 0) return static_cast<uint32_t>(ids_[shape]);
  std::vector<uint32_t> keys;
  for (uint32_t node = shape; node != 0; node = parents_[node]) keys.push_back(key_name(keys_[node]));
  definitions_.push_back(static_cast<uint32_t>(JsonRecordKind::kNewShape) |
                         static_cast<uint32_t>(keys.size()) << 4);
  definitions_.insert(definitions_.end(), keys.rbegin(), keys.rend());
  ids_[shape] = static_cast<int32_t>(shape_count_);
  return shape_count_++;
}

uint32_t JsonRecord::key_name(const std::string& key) {
  const auto known = key_names_.find(key);
  if (known != key_names_.end()) return known->second;
  const uint32_t id = define_name(key, false);
  key_names_.emplace(key, id);
  return id;
}

uint32_t JsonRecord::define_name(std::string_view text, bool quoted) {
  definitions_.push_back(static_cast<uint32_t>(JsonRecordKind::kNewName) | (quoted ? 1u : 0u) << 4);
  definitions_.push_back(static_cast<uint32_t>(text.size()));
  definitions_.push_back(static_cast<uint32_t>(utf8_.size()));
  utf8_.insert(utf8_.end(), text.begin(), text.end());
  return name_count_++;
}

void JsonRecord::number(long value) {
  if (value >= 0 && value <= kMaxSmallNumber) {
    word(JsonRecordKind::kNumber, static_cast<uint32_t>(value));
    return;
  }
  const auto wide = static_cast<unsigned long long>(static_cast<long long>(value));
  word(JsonRecordKind::kWideNumber, 0);
  word(static_cast<uint32_t>(wide));
  word(static_cast<uint32_t>(wide >> 32));
}

void JsonRecord::string(std::string_view utf8) {
  if (is_ascii(utf8)) {
    utf8.copy(unescaped_string(utf8.size()), utf8.size());
    return;
  }
  word(JsonRecordKind::kUtf8, static_cast<uint32_t>(utf8.size()));
  word(static_cast<uint32_t>(utf8_.size()));
  utf8_.insert(utf8_.end(), utf8.begin(), utf8.end());
}

void JsonRecord::json_string(std::string_view quoted) {
  const size_t mask = names_.size() - 1;
  size_t slot = name_slot(quoted.data(), names_.size());
  while (names_[slot].address != nullptr && names_[slot].address != quoted.data()) {
    slot = (slot + 1) & mask;
  }
  CachedName& cached = names_[slot];
  if (cached.address != nullptr && is_same_text(cached.text, quoted)) {
    word(JsonRecordKind::kName, cached.id);
    return;
  }
  if (cached.address == nullptr) ++cached_names_;
  cached.address = quoted.data();
  cached.text.assign(quoted.data(), quoted.size());
  cached.id = define_name(quoted, true);
  word(JsonRecordKind::kName, cached.id);
  if (2 * cached_names_ > names_.size()) {
    // Rehashed into a table twice the size.
    std::vector<CachedName> old(2 * names_.size());
    old.swap(names_);
    const size_t new_mask = names_.size() - 1;
    for (CachedName& name : old) {
      if (name.address == nullptr) continue;
      size_t at = name_slot(name.address, names_.size());
      while (names_[at].address != nullptr) at = (at + 1) & new_mask;
      names_[at] = std::move(name);
    }
  }
}
