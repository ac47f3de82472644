// Loading the window decoder's definitions: bitmap.ini, read once at
// start-up from the current directory.
#ifndef WINDOW_DECODE_FIELD_DEFS_LOADER_H_
#define WINDOW_DECODE_FIELD_DEFS_LOADER_H_

#include <string_view>

// Reads the definition file at `path` into the window decoder and empties
// field_values. Returns 0 when the file was read, or -1 when it cannot be
// opened or read (after reporting "fopen error", with errno telling the
// reporter why; nothing is defined then) or when a line ended the reading
// as invalid (the lines before it keep their definitions). A property that
// is not understood is reported too, as "PATH:LINE: reason".
int load_field_defs(const char* path = "bitmap.ini");

// The same for the contents of a definition file already in memory.
int parse_field_defs(std::string_view contents, std::string_view path = "bitmap.ini");

#endif  // WINDOW_DECODE_FIELD_DEFS_LOADER_H_
