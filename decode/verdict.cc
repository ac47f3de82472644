// The names of the unpack's endings.
#include "decode/verdict.h"

namespace {

struct ResultName {
  UnpackResult result;
  const char* name;
};
constexpr ResultName kResultNames[] = {
    {UnpackResult::kUnpacked, "unpacked"},
    {UnpackResult::kTooShort, "too_short"},
    {UnpackResult::kFieldNotDefined, "field_not_defined"},
    {UnpackResult::kLengthTooLong, "length_too_long"},
    {UnpackResult::kLengthInvalid, "length_invalid"},
    {UnpackResult::kHeaderTooLong, "header_too_long"},
    {UnpackResult::kBitmapNotHex, "bitmap_not_hex"},
    {UnpackResult::kLengthNotDigits, "length_not_digits"},
};

}  // namespace

const char* unpack_result_name(UnpackResult result) {
  for (const ResultName& row : kResultNames) {
    if (row.result == result) return row.name;
  }
  return "";
}
