// Reading input in constant memory: lines kept up to a limit, whatever
// their real length, across the reader's buffer boundaries.
#include "cli/line_reader.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace {

// A reader over `contents`, held in a temporary file.
class ReaderOver {
 public:
  explicit ReaderOver(const std::string& contents) : reader_(new LineReader) {
    reader_->file = std::tmpfile();
    std::fwrite(contents.data(), 1, contents.size(), reader_->file);
    std::rewind(reader_->file);
  }
  ~ReaderOver() { std::fclose(reader_->file); }
  LineReader* get() { return reader_.get(); }

 private:
  std::unique_ptr<LineReader> reader_;
};

struct Line {
  std::string kept;
  size_t full_length;
  bool operator==(const Line& other) const {
    return kept == other.kept && full_length == other.full_length;
  }
};

std::vector<Line> all_lines(const std::string& contents, size_t limit) {
  ReaderOver reader(contents);
  std::vector<Line> lines;
  Line line;
  while (read_line(reader.get(), limit, &line.kept, &line.full_length) == 0) lines.push_back(line);
  return lines;
}

TEST(ReadLine, SplitsAtLineFeeds) {
  EXPECT_EQ(all_lines("ab\n\ncd\r\nef", 100),
            (std::vector<Line>{{"ab", 2}, {"", 0}, {"cd\r", 3}, {"ef", 2}}));
  EXPECT_TRUE(all_lines("", 100).empty());
}

TEST(ReadLine, KeepsTheHeadOfALongLineAndCountsTheRest) {
  EXPECT_EQ(all_lines("abcdefgh\nxy\n", 3), (std::vector<Line>{{"abc", 8}, {"xy", 2}}));
}

TEST(ReadLine, LinesSpanningTheBufferBoundary) {
  const std::string first(sizeof(LineReader::buffer) - 3, 'a');
  const std::string second(10, 'b');
  const std::string huge(3 * sizeof(LineReader::buffer), 'c');
  EXPECT_EQ(all_lines(first + "\n" + second + "\n" + huge + "\nz", 3999),
            (std::vector<Line>{{first.substr(0, 3999), first.size()},
                               {second, second.size()},
                               {huge.substr(0, 3999), huge.size()},
                               {"z", 1}}));
}

TEST(ReadAll, KeepsTheHeadOfTheWholeText) {
  ReaderOver reader("ab\ncd\n" + std::string(100000, 'e'));
  std::string head;
  size_t full_length = 0;
  EXPECT_EQ(read_all(reader.get(), 5, &head, &full_length), 0);
  EXPECT_EQ(head, "ab\ncd");
  EXPECT_EQ(full_length, 100006u);
}

}  // namespace
