// Finding a layout's parts.
#include "decode/layout.h"

const PartDef* Layout::numbered(int number) const {
  for (const PartDef& part : parts) {
    if (part.number == number) return &part;
  }
  return nullptr;
}

const PartDef* Layout::keyed(const std::string& key) const {
  for (const PartDef& part : parts) {
    if (part.key == key) return &part;
  }
  return nullptr;
}
