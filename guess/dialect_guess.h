// The guess of a message's dialect: every candidate dialect reads the
// message as it stands and behind every framing that fits it, and the
// readings are ranked by how completely and how plausibly they read it.
// Over many messages the counts add up, so that one ranking speaks for a
// whole input.
#ifndef GUESS_DIALECT_GUESS_H_
#define GUESS_DIALECT_GUESS_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "decode/unpack.h"
#include "guess/message_checks.h"

// A dialect the guess tries.
struct Candidate {
  std::string name;        // "unionpay-pos", a path; "bitmap.ini+secondary=flagged" for a variant
  std::string defs;        // what --defs takes to read it: "unionpay-pos", a path
  bool preferred = false;  // the user's own file, ranked before the others
  // Whether these are the definitions of the candidate before it, read
  // with the secondary bitmap only when bit 1 flags it (secondary=flagged).
  bool flagged_variant = false;
  int header_length = 0;  // the bytes its header takes in front of the type indicator
};

// What one candidate behind one framing made of the messages it read.
struct Reading {
  int candidate = 0;  // its index in candidates()
  int framing = 0;    // its index in kFramings
  int overhead = 0;   // the framing's bytes in front of the last message read
  long messages = 0;  // messages read: those the framing fitted
  long complete = 0;  // of them, those unpacked with no byte left over
  long fields = 0;    // the fields stored, over all of them
  CheckTally checks;
  // How the first message not read completely ended: its verdict and the
  // bytes it was read from (more than the verdict's end_offset when it
  // unpacked with bytes left over); has_incomplete says whether there was
  // one.
  bool has_incomplete = false;
  UnpackVerdict first_incomplete;
  size_t first_byte_count = 0;
};

class DialectGuess {
 public:
  DialectGuess();
  ~DialectGuess();
  DialectGuess(const DialectGuess&) = delete;
  DialectGuess& operator=(const DialectGuess&) = delete;

  // Adds the candidate `name`, what --defs takes to read it, from the
  // definition file `definitions`; and when its secondary bitmap is always
  // read, also its variant that reads it only when flagged, named `name`
  // with "+secondary=flagged". A dialect the same as one added before is
  // left out. Returns false, adding nothing, when a line of `definitions`
  // ends the reading as invalid or holds a property not understood.
  bool add_candidate(const std::string& name, std::string_view definitions, bool preferred);

  const std::vector<Candidate>& candidates() const { return candidates_; }

  // Reads the `count` bytes at `bytes` (kMinMessageBytes or more) with
  // every candidate: as they stand, and behind each framing that fits
  // them and leaves kMinMessageBytes or more. A candidate with a header
  // reads a TPDU as part of it, so it is tried behind the lengths only.
  void read(const unsigned char* bytes, size_t count);

  // The messages read so far.
  long messages() const { return messages_; }

  // Forgets the messages read, keeping the candidates.
  void clear_counts();

  // The readings of at least one message, best first: those that read
  // more messages completely, then those with fewer failed checks, then
  // with more passed checks, then the preferred candidates, then by
  // candidate name and framing.
  std::vector<Reading> ranking() const;

 private:
  struct Reader;

  // Adds `dialect`, which --defs `defs` reads, as the candidate `name`,
  // unless a candidate reads messages as it does.
  void add_dialect(const std::string& name, const std::string& defs, const Dialect& dialect,
                   bool preferred, bool flagged_variant);

  std::vector<Candidate> candidates_;
  std::vector<std::unique_ptr<Reader>> readers_;  // one for each candidate
  std::vector<std::string> dialects_;             // each candidate's definitions, as written out
  std::vector<Reading> readings_;                 // candidate by framing
  long messages_ = 0;
  CheckRoom room_;
};

// Whether `reading` read every one of `messages` messages completely (and
// there was at least one).
inline bool reads_completely(const Reading& reading, long messages) {
  return messages > 0 && reading.complete == messages;
}

#endif  // GUESS_DIALECT_GUESS_H_
