// Messages read back from hex dumps: those the real xxd, hexdump and od
// print, logs holding several of them, and hostile lines.
#include "cli/hexdump_source.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/dump_line.h"
#include "gtest/gtest.h"
#include "tests/process_support.h"

namespace {

using std::string_literals::operator""s;

struct Message {
  std::string bytes;
  size_t full_length;
  long line;
  bool operator==(const Message& other) const {
    return bytes == other.bytes && full_length == other.full_length && line == other.line;
  }
};

// The messages of the dumps in `text`; the notes go to `notes`.
std::vector<Message> messages_of(const std::string& text, size_t byte_limit = 1999,
                                 std::string* notes = nullptr) {
  std::FILE* file = std::tmpfile();
  std::FILE* note_file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  HexdumpSource source(file, byte_limit, note_file);
  std::vector<Message> messages;
  SourceMessage message;
  while (source.next(&message)) {
    EXPECT_FALSE(message.is_text);
    messages.push_back({message.content, message.full_length, message.origin.line});
  }
  if (notes != nullptr) {
    notes->resize(static_cast<size_t>(std::ftell(note_file)));
    std::rewind(note_file);
    notes->resize(std::fread(&(*notes)[0], 1, notes->size(), note_file));
  }
  std::fclose(note_file);
  std::fclose(file);
  return messages;
}

// The standard output of the shell command `command`, which must succeed.
std::string output_of(const std::string& command) {
  std::FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  char buffer[4096];
  for (size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    output.append(buffer, count);
  }
  EXPECT_EQ(pclose(pipe), 0) << command;
  return output;
}

// A binary file of the sample `name`, made by xxd from its hexadecimal text,
// in a scratch file of the running test: tests run side by side.
std::string sample_binary(const std::string& name) {
  const std::string path = scratch_path((name + ".bin").c_str());
  output_of("xxd -r -p '" SOURCE_DIR "/examples/" + name + ".hex' > '" + path + "'");
  return path;
}

TEST(DumpLine, ReadsTheBytesOfEachFormAndNeverTheCharacterColumn) {
  const struct {
    const char* text;
    uint32_t offset;
    std::string bytes;
  } cases[] = {
      {"00000010: 3032 3030 2020 3334  0200  34", 0x10, "0200  34"},
      {"00000180: 30 30 00 20                    00. ", 0x180, "00\0 "s},
      {"00000010  30 32 30 30 20 20 33 34  35 36                    |0200  3456|", 0x10,
       "0200  3456"},
      {"000180 30 32 30 30 3c 3e 20 00                          >0200<> .<", 0x180,
       "0200<> \0"s},
      {"  0A0: 3C 46 81  <F.\r", 0xa0, "<F\x81"},
      {"0000:\t61 62\t6162", 0, "ab"},
      // tcpdump -X, Wireshark's copy as hex dump, and a dump behind a log prefix.
      {"\t0x0010:  3032 3030 7238  0200r8", 0x10, "0200r8"},
      {"0010   30 32 30 30 72 38 00 81  0e c0   0200r8....", 0x10, "0200r8\0\x81\x0e\xc0"s},
      {"2026-12-07 09:30:15.123 DEBUG [io] 0020: 30 32  02", 0x20, "02"},
  };
  DumpLine line;
  for (const auto& c : cases) {
    EXPECT_EQ(parse_dump_line(c.text, &line), DumpLineKind::kBytes) << c.text;
    EXPECT_EQ(line.offset, c.offset) << c.text;
    EXPECT_EQ(line.bytes, c.bytes) << c.text;
  }
  EXPECT_EQ(parse_dump_line(" * \r", &line), DumpLineKind::kRepeat);
  EXPECT_EQ(parse_dump_line("000018a", &line), DumpLineKind::kEnd);
  EXPECT_EQ(line.offset, 0x18au);
  // Bare digits are bytes (xxd -p); up to 8 of them may also be a length.
  EXPECT_EQ(parse_dump_line("0000018a", &line), DumpLineKind::kDigits);
  EXPECT_EQ(line.offset, 0x18au);
  EXPECT_TRUE(line.may_be_length);
  EXPECT_EQ(parse_dump_line("3032303072 \r", &line), DumpLineKind::kDigits);
  EXPECT_EQ(line.bytes, "0200r");
  EXPECT_FALSE(line.may_be_length);
}

TEST(DumpLine, RefusesEveryOtherLine) {
  const char* const lines[] = {
      "",
      "2026-12-07 09:30:15 sent 398 bytes",
      "09:30:15 ok",
      "0000: 303",                 // odd digit count
      "0000: 3032 303",            // odd group
      "0000: 30,31",               // not a separator
      "0000:",                     // no bytes
      "0000: zz",                  // not hex
      "0000000 3230 3030",         // hexdump's little-endian words
      "00000000  30 31  |01",      // unclosed character column
      "000000 30 31 >01|",         // mismatched character column
      "00000000  |01|",            // no bytes
      "123456789: 30 31",          // offset of 9 digits
      "0: 30 31",                  // offset of 1 digit
      "0000-30 31",                // no separator after the offset
      "**",
      "303230307",                 // bare digits, an odd count
      "0x: 30 31",                 // tcpdump's prefix without digits
      "INFO 20: 30 31",            // behind a prefix, an offset of 2 digits
      "a b c d e f g h i 0000: 30 31",  // a prefix of too many words
  };
  DumpLine line;
  for (const char* text : lines) {
    EXPECT_EQ(parse_dump_line(text, &line), DumpLineKind::kNone) << text;
    EXPECT_TRUE(line.bytes.empty()) << text;
  }
}

TEST(HexdumpSource, GivesBackTheSampleBytesFromEachTool) {
  for (const char* name : {"purchase", "response", "reversal"}) {
    const std::string binary = sample_binary(name);
    const std::string bytes = output_of("cat '" + binary + "'");
    for (const char* command : {"xxd", "xxd -g1 -u", "hexdump -C", "od -A x -t x1z"}) {
      EXPECT_EQ(messages_of(output_of(std::string(command) + " '" + binary + "'")),
                (std::vector<Message>{{bytes, bytes.size(), 1}}))
          << command << " " << name;
    }
  }
}

TEST(HexdumpSource, PlainDigitsOfXxdAndTheFormsOfTcpdumpAndWireshark) {
  const std::string purchase = sample_binary("purchase");
  const std::string bytes = output_of("cat '" + purchase + "'");
  // xxd -p: a blank line, or any line that is not bare digits, ends a message.
  const std::string plain = output_of("xxd -p '" + purchase + "'");
  const long lines = std::count(plain.begin(), plain.end(), '\n');
  EXPECT_EQ(messages_of(plain + "\n" + plain + "done\n" + plain + "00000000: 3032\n"),
            (std::vector<Message>{{bytes, bytes.size(), 1},
                                  {bytes, bytes.size(), lines + 2},
                                  {bytes, bytes.size(), 2 * lines + 3},
                                  {"02", 2, 3 * lines + 3}}));
  EXPECT_EQ(messages_of("\t0x0000:  3032 3030 7238 0081  0200r8..\n"
                        "\t0x0008:  0ec0                0e\n"
                        "0000   30 32 30 30 72 38   0200r8\n"
                        "0006   00 81                   ..\n"),
            (std::vector<Message>{{"0200r8\0\x81\x0e\xc0"s, 10, 1}, {"0200r8\0\x81"s, 8, 3}}));
}

TEST(HexdumpSource, RepeatedLinesMarkedByAStar) {
  const std::string binary = scratch_path("repeats.bin");
  output_of("{ head -c 20 '" + sample_binary("purchase") + "'; head -c 100 /dev/zero; " +
            "printf cd; head -c 38 /dev/zero; } > '" + binary + "'");
  const std::string bytes = output_of("cat '" + binary + "'");
  for (const char* command : {"xxd -a", "hexdump -C", "od -A x -t x1z"}) {
    const std::string dump = output_of(std::string(command) + " '" + binary + "'");
    ASSERT_NE(dump.find("\n*\n"), std::string::npos) << command;
    EXPECT_EQ(messages_of(dump), (std::vector<Message>{{bytes, 160, 1}})) << command;
    EXPECT_EQ(messages_of(dump, 50), (std::vector<Message>{{bytes.substr(0, 50), 160, 1}}))
        << command;
  }
}

TEST(HexdumpSource, ALogWithDumpsBetweenOtherLines) {
  const std::string purchase = sample_binary("purchase"), response = sample_binary("response");
  const std::string parts[] = {
      "2026-12-07 09:30:15 sent:\r\n",
      output_of("xxd '" + purchase + "'"),
      "2026-12-07 09:30:16 received:\n",
      output_of("hexdump -C '" + response + "'"),
      output_of("od -A x -t x1z '" + purchase + "'"),  // follows the closing length line
      output_of("xxd -g1 '" + response + "'"),         // its offset starts again at 0
      "done\n",
  };
  const std::string purchase_bytes = output_of("cat '" + purchase + "'");
  const std::string response_bytes = output_of("cat '" + response + "'");
  std::string log;
  std::vector<long> first_lines;
  for (const std::string& part : parts) {
    first_lines.push_back(std::count(log.begin(), log.end(), '\n') + 1);
    log += part;
  }
  std::string notes;
  EXPECT_EQ(messages_of(log, 1999, &notes),
            (std::vector<Message>{{purchase_bytes, purchase_bytes.size(), first_lines[1]},
                                  {response_bytes, response_bytes.size(), first_lines[3]},
                                  {purchase_bytes, purchase_bytes.size(), first_lines[4]},
                                  {response_bytes, response_bytes.size(), first_lines[5]}}));
  EXPECT_EQ(notes, "");
}

TEST(HexdumpSource, AnOffsetThatDoesNotFollowOnStartsANewMessage) {
  std::string notes;
  EXPECT_EQ(messages_of("0000: 30 31 32 33\n"
                        "0004: 34 35\n"
                        "0010: 36 37\n"  // a gap
                        "0012: 38\n"
                        "0002: 39\n"     // an overlap
                        "0000: 41\n",
                        1999, &notes),
            (std::vector<Message>{{"012345", 6, 1}, {"678", 3, 3}, {"9", 1, 5}, {"A", 1, 6}}));
  EXPECT_EQ(notes,
            "line 3: dump starts at offset 0x10, not 0\n"
            "line 5: dump starts at offset 0x2, not 0\n");
}

TEST(HexdumpSource, HostileDumps) {
  // A repeat up to the largest offset keeps only the byte limit.
  const std::string pattern = "ABCDEFGHIJKLMNOP";
  std::string repeated;
  while (repeated.size() < 1999) repeated += pattern;
  repeated.resize(1999);
  EXPECT_EQ(messages_of("00000000  41 42 43 44 45 46 47 48  49 4a 4b 4c 4d 4e 4f 50  |A|\n"
                        "*\n"
                        "fffffff0  51                                       |Q|\n"
                        "fffffff1\n"),
            (std::vector<Message>{{repeated, 0xfffffff1u, 1}}));

  // A line over the limit is not a dump line, though its head within the
  // limit would be one that follows on.
  std::string long_line = "0001:";
  while (long_line.size() + 3 <= kDumpLineLimit) long_line += " 42";
  long_line.resize(kDumpLineLimit, ' ');
  long_line += " 42";
  EXPECT_EQ(messages_of("0000: 41\n" + long_line + "\n0001: 43\n"),
            (std::vector<Message>{{"A", 1, 1}, {"C", 1, 3}}));

  // Stray and doubled stars, a star at the end, closing lengths that do not fit.
  EXPECT_EQ(messages_of("*\n0000: 41\n*\n*\n0000: 42\n*\n"),
            (std::vector<Message>{{"A", 1, 2}, {"B", 1, 5}}));
  EXPECT_EQ(messages_of("0008\n0000  41  |A|\n0008\n0001  42  |B|\n"),
            (std::vector<Message>{{"A", 1, 2}, {"B", 1, 4}}));
}

}  // namespace
