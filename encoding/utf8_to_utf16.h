// UTF-8 text as UTF-16, the form of JavaScript's strings: a WebAssembly
// caller that hands its text over as UTF-16 spares JavaScript decoding it.
#ifndef ENCODING_UTF8_TO_UTF16_H_
#define ENCODING_UTF8_TO_UTF16_H_

#include <string>
#include <string_view>

// Appends `utf8` to `utf16` as UTF-16 code units, each as two bytes, low
// byte first. A byte that does not start a well-formed character becomes
// U+FFFD.
void append_utf8_as_utf16le(std::string_view utf8, std::string* utf16);

#endif  // ENCODING_UTF8_TO_UTF16_H_
