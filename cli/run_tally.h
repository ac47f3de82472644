// What one run of iso8583dump decoded, refused and lost, and the closing
// summary that tells it on standard error when anything went missing.
#ifndef CLI_RUN_TALLY_H_
#define CLI_RUN_TALLY_H_

#include <cstdint>

struct RunTally {
  long decoded = 0;  // messages that unpacked
  long failed = 0;   // messages whose unpack ended with a failure line
  long refused = 0;  // messages refused before decoding
  long cut = 0;      // messages cut to what a decode reads
  // Bytes left out: after the last field, beyond what a decode reads, and
  // lost or dropped from a capture's streams.
  uint64_t bytes_dropped = 0;
  uint64_t bytes_lost = 0;  // missing from a capture
  // Of the dropped ones, the bytes dropped before the first message boundary of a
  // connection that started before the capture: expected, not an error.
  uint64_t bytes_dropped_expected = 0;
};

// Writes, when anything was refused, cut or dropped, the closing summary
// on standard error:
//   iso8583dump: 12 messages: 9 decoded, 1 failed, 2 refused; 1 cut; 120 bytes lost; 340 bytes dropped
void write_closing_summary(const char* program, const RunTally& tally);

#endif  // CLI_RUN_TALLY_H_
