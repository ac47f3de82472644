// The window program's own limits: what its input box holds, and the
// buffer the bytes of that text are converted into. They stay as they
// are when the library's limits grow.
#ifndef WINDOW_DECODE_WINDOW_LIMITS_H_
#define WINDOW_DECODE_WINDOW_LIMITS_H_

#include <array>
#include <cstddef>

// The most characters of pasted text a request looks at; the input box is
// read into a 4,000-byte buffer, so anything longer is cut to this.
constexpr size_t kInputTextLimit = 3999;

// The size of the buffer that holds one converted message.
constexpr int kMessageCapacity = 4000;

// One converted message, zero-filled after its last byte.
using MessageBytes = std::array<unsigned char, kMessageCapacity>;


#endif  // WINDOW_DECODE_WINDOW_LIMITS_H_
