// Removal of the blanks that people put into definition lines: spaces,
// carriage returns and line feeds. (Message text has blanks of its own,
// tabs among them: see hex_text_to_bytes.)
#ifndef DECODE_STRIP_BLANKS_H_
#define DECODE_STRIP_BLANKS_H_

// Removes, in place, every space (0x20), carriage return (0x0D) and line
// feed (0x0A) of the zero-terminated `text`, keeping the order of the other
// characters; tabs stay. Returns `text`.
char* strip_blanks(char* text);

#endif  // DECODE_STRIP_BLANKS_H_
