// Records of json/json_record.h read back into JSON text, as the npm
// package's JavaScript reads them into objects: the names and shapes that
// one writer defines are kept for its later records. Tests and the fuzz
// target of the C interface compare what it gives with the writer's JSON.
#ifndef TESTS_RECORD_READING_H_
#define TESTS_RECORD_READING_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class RecordReader {
 public:
  // The value of `record` as compact JSON text, written by RapidJSON; an
  // empty string when the record is damaged: too short for its counts, a
  // word of no known kind, a name or shape not defined, a text outside it.
  std::string read(std::string_view record);

 private:
  std::vector<std::string> names_;                // UTF-8
  std::vector<std::vector<uint32_t>> shapes_;  // the name ids of their keys
};

// `json` parsed and written again by RapidJSON, compact; empty when it
// does not parse. Texts written by different writers compare equal this way
// when they hold the same values with the keys in the same order.
std::string canonical_json(std::string_view json);

#endif  // TESTS_RECORD_READING_H_
