// The closing summary of a run.
#include "cli/run_tally.h"

#include <string>

#include "cli/status_line.h"

namespace {

// "1 message", "2 messages".
std::string counted(uint64_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

void write_closing_summary(const char* program, const RunTally& tally) {
  if (tally.refused == 0 && tally.cut == 0 && tally.bytes_dropped == 0 && tally.bytes_lost == 0) {
    return;
  }
  std::string line = std::string(program) + ": " +
                     counted(static_cast<uint64_t>(tally.decoded + tally.failed + tally.refused),
                             "message") +
                     ": " + std::to_string(tally.decoded) + " decoded, " +
                     std::to_string(tally.failed) + " failed, " + std::to_string(tally.refused) +
                     " refused";
  if (tally.cut > 0) line += "; " + std::to_string(tally.cut) + " cut";
  if (tally.bytes_lost > 0) line += "; " + counted(tally.bytes_lost, "byte") + " lost";
  if (tally.bytes_dropped > 0) {
    line += "; " + counted(tally.bytes_dropped, "byte") + " dropped";
    if (tally.bytes_dropped_expected > 0) {
      line += " (" + std::to_string(tally.bytes_dropped_expected) +
              " before the first message of connections already running)";
    }
  }
  write_note(line);
}
