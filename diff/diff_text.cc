// Writing the differences of two messages for people.
#include "diff/diff_text.h"

#include <string_view>

#include "decode/hex_text.h"
#include "decode/report.h"
#include "encoding/cp936_to_utf8.h"
#include "explain/explain_report.h"
#include "explain/field_name_text.h"
#include "fields/field_meaning.h"

namespace {

// The words of each change, by Change.
constexpr std::string_view kChangeWords[] = {"only in A", "only in B", "changed"};

// The separator of the parts of a line.
constexpr std::string_view kColumn = " | ";

// The room a comparison's text starts with.
constexpr size_t kExpectedLength = 1024;

// The marks of A's and B's values, as diff writes them.
constexpr char kMarkA = '-';
constexpr char kMarkB = '+';

void write_indent(int depth, ReportWriter* out) {
  out->repeat(' ', 2 * static_cast<size_t>(depth));
}

// Starts the line of a value at `depth`: "  - ".
void begin_value_line(int depth, char mark, ReportWriter* out) {
  write_indent(depth + 1, out);
  out->write(mark);
  out->write(' ');
}

void end_place_line(const Difference& difference, ReportWriter* out) {
  out->write(kColumn);
  out->write(kChangeWords[static_cast<int>(difference.change)]);
  out->write('\n');
}

class DiffTextWriter {
 public:
  DiffTextWriter(const MessageDiff& diff, ReportWriter* out) : diff_(diff), out_(*out) {}

  void write(const Difference& difference) {
    switch (difference.kind) {
      case PlaceKind::kHeader:
        out_.write("Header");
        end_place_line(difference, &out_);
        for_each_side(difference, [this](const DecodedMessage& message) {
          render_hex(message.header, static_cast<size_t>(message.header_length),
                     out_.claim(2 * static_cast<size_t>(message.header_length)));
        });
        break;
      case PlaceKind::kTypeIndicator:
        out_.write("Message type indicator");
        end_place_line(difference, &out_);
        for_each_side(difference, [this](const DecodedMessage& message) {
          write_field_value(message.type_indicator, &shown_, &utf8_, &out_);
          if (explain_type_indicator(message, &meaning_)) write_meaning(meaning_.meaning);
        });
        break;
      case PlaceKind::kField:
        write_field(difference);
        break;
      case PlaceKind::kChipElement:
        write_chip_element(difference);
        break;
      case PlaceKind::kPart:
        write_part(difference);
        break;
      case PlaceKind::kResult:
        out_.write("Result");
        end_place_line(difference, &out_);
        for_each_side(difference, [this](const DecodedMessage& message) {
          out_.write(verdict_in_words(message.verdict));
        });
        break;
    }
  }

 private:
  // Writes the value line of each side that has the place, after its
  // mark, with what `write_value` writes of its message.
  template <typename WriteValue>
  void for_each_side(const Difference& difference, WriteValue write_value) {
    if (difference.change != Change::kOnlyInB) {
      begin_value_line(0, kMarkA, &out_);
      write_value(diff_.a());
      out_.write('\n');
    }
    if (difference.change != Change::kOnlyInA) {
      begin_value_line(0, kMarkB, &out_);
      write_value(diff_.b());
      out_.write('\n');
    }
  }

  void write_meaning(std::string_view meaning) {
    if (meaning.empty()) return;
    out_.write(kColumn);
    out_.write(meaning);
  }

  // Writes `name` (from a definition file) after a column, when it has one.
  void write_name(std::string_view name) {
    if (name.empty()) return;
    out_.write(kColumn);
    utf8_.clear();
    append_text_as_utf8(name, &utf8_);
    out_.write(utf8_);
  }

  void write_field(const Difference& difference) {
    const bool in_a = difference.change != Change::kOnlyInB;
    const DecodedMessage& named = in_a ? diff_.a() : diff_.b();
    out_.write("Field ");
    out_.write(std::to_string(difference.field));
    const std::string& name = (in_a ? names_a_ : names_b_).name(*named.dialect, difference.field);
    if (!name.empty()) {
      out_.write(kColumn);
      out_.write(name);
    }
    end_place_line(difference, &out_);
    if (difference.inner) return;
    for_each_side(difference, [this, &difference](const DecodedMessage& message) {
      const DecodedField& field = *message.find(difference.field);
      write_field_value(field, &shown_, &utf8_, &out_);
      if (explain_field(message, field, &meaning_)) write_meaning(meaning_.meaning);
      if (field.misfit < 0) return;
      out_.write('\n');
      write_indent(2, &out_);
      out_.write("does not fit its layout: ");
      out_.write(message.misfits[static_cast<size_t>(field.misfit)].reason);
    });
  }

  void write_chip_element(const Difference& difference) {
    const bool in_a = difference.row_a >= 0;
    const ExplainedElement& named =
        in_a ? diff_.chip_elements_a()[static_cast<size_t>(difference.row_a)]
             : diff_.chip_elements_b()[static_cast<size_t>(difference.row_b)];
    write_indent(difference.depth, &out_);
    const TlvElement& element = named.element;
    render_hex(element.tag, static_cast<size_t>(element.tag_length),
               out_.claim(2 * static_cast<size_t>(element.tag_length)));
    if (named.tag != nullptr) {
      out_.write(kColumn);
      out_.write(named.tag->name);
      out_.write(kColumn);
      out_.write(named.tag->chinese_name);
    }
    end_place_line(difference, &out_);
    if (difference.inner) return;
    if (in_a) {
      write_chip_value(diff_.a(), diff_.chip_elements_a(), difference.row_a, kMarkA,
                       difference.depth);
    }
    if (difference.row_b >= 0) {
      write_chip_value(diff_.b(), diff_.chip_elements_b(), difference.row_b, kMarkB,
                       difference.depth);
    }
  }

  // The value line of the element at `row` of `tree`, field 55 of
  // `message`, with its meaning, its details and the bits it sets.
  void write_chip_value(const DecodedMessage& message, const std::vector<ExplainedElement>& tree,
                        int row, char mark, int depth) {
    const ExplainedElement& explained = tree[static_cast<size_t>(row)];
    const TlvElement& element = explained.element;
    begin_value_line(depth, mark, &out_);
    render_shown_hex(*message.find(55), element.value_offset, element.value_length,
                     out_.claim(2 * static_cast<size_t>(element.value_length)));
    if (explained.has_meaning) write_meaning(explained.meaning.meaning);
    out_.write('\n');
    if (!explained.has_meaning) return;
    for (const std::string& detail : explained.meaning.details) {
      write_indent(depth + 2, &out_);
      out_.write(detail);
      out_.write('\n');
    }
    for (const BitMeaning& bit : explained.meaning.bits) {
      write_indent(depth + 2, &out_);
      out_.write("byte " + std::to_string(bit.byte) + " bit " + std::to_string(bit.bit) + ": ");
      out_.write(bit.meaning);
      out_.write('\n');
    }
  }

  void write_part(const Difference& difference) {
    const bool in_a = difference.row_a >= 0;
    const DecodedPart& named = in_a ? diff_.a().parts[static_cast<size_t>(difference.row_a)]
                                    : diff_.b().parts[static_cast<size_t>(difference.row_b)];
    write_indent(difference.depth, &out_);
    out_.write(difference.place);
    if (named.def != nullptr) write_name(named.def->name);
    end_place_line(difference, &out_);
    if (difference.inner) return;
    if (in_a) write_part_value(diff_.a(), difference.row_a, kMarkA, difference.depth);
    if (difference.row_b >= 0) {
      write_part_value(diff_.b(), difference.row_b, kMarkB, difference.depth);
    }
  }

  // The value line of the part at `index` of `message`: its text in UTF-8
  // when it is printable, else "hex " and its bytes.
  void write_part_value(const DecodedMessage& message, int index, char mark, int depth) {
    const DecodedPart& part = message.parts[static_cast<size_t>(index)];
    begin_value_line(depth, mark, &out_);
    const std::string_view text = shown_value(part, &shown_);
    if (!is_plain(part) || is_printable_cp936(text)) {
      utf8_.clear();
      append_cp936_as_utf8(text, &utf8_);
      out_.write(utf8_);
    } else {
      out_.write("hex ");
      render_shown_hex(part, out_.claim(2 * static_cast<size_t>(part.length)));
    }
    out_.write('\n');
  }

  const MessageDiff& diff_;
  ReportWriter& out_;
  FieldMeaning meaning_;
  FieldNameTexts names_a_;  // the field names of A's dialect
  FieldNameTexts names_b_;  // and of B's
  std::string shown_;       // a masked value
  std::string utf8_;        // a value in UTF-8
};

}  // namespace

void write_diff_text(const MessageDiff& diff, std::string* text) {
  ReportWriter out(text, kExpectedLength);
  DiffTextWriter writer(diff, &out);
  for (const Difference& difference : diff.differences()) writer.write(difference);
}
