// The way back from the parts of a composite field to its data: the parts
// of each layout put together as the walk cuts them apart.
#ifndef PACK_PART_PACKER_H_
#define PACK_PART_PACKER_H_

#include <string>
#include <vector>

#include "decode/dialect.h"
#include "pack/message_packer.h"

// Puts `parts`, the parts of what `id` names, together as `layout` of
// `dialect` lays them out, into the bytes of `value` (for packed digits
// with their length in digits). Parts are ordered by their numbers (and groups) in
// numbered layouts, and taken in the order given in the others. Returns
// false after writing into `error` why not, naming the part.
bool pack_parts(const Dialect& dialect, const Layout& layout, const std::string& id,
                const std::vector<PackPart>& parts, PackValue* value, std::string* error);

#endif  // PACK_PART_PACKER_H_
