// The field 55 decoder and its tag dictionary.
#include "decode/field55.h"

#include <cstring>

#include "decode/field_table.h"

const TagName tag_names[kTagNameRows] = {
    {"9F26", "\xD3\xA6\xD3\xC3\xC3\xDC\xCE\xC4"},                          // 应用密文
    {"9F27", "\xC3\xDC\xCE\xC4\xD0\xC5\xCF\xA2\xCA\xFD\xBE\xDD"},          // 密文信息数据
    {"9F10", "\xB7\xA2\xBF\xA8\xD0\xD0\xD3\xA6\xD3\xC3\xCA\xFD\xBE\xDD"},  // 发卡行应用数据
    {"9F37", "\xB2\xBB\xBF\xC9\xD4\xA4\xD6\xAA\xCA\xFD"},                  // 不可预知数
    {"9F36", "\xD3\xA6\xD3\xC3\xBD\xBB\xD2\xD7\xBC\xC6\xCA\xFD\xC6\xF7"},  // 应用交易计数器
    {"95", "\xD6\xD5\xB6\xCB\xD1\xE9\xD6\xA4\xBD\xE1\xB9\xFB"},            // 终端验证结果
    {"9A", "\xBD\xBB\xD2\xD7\xC8\xD5\xC6\xDA"},                            // 交易日期
    {"9C", "\xBD\xBB\xD2\xD7\xC0\xE0\xD0\xCD"},                            // 交易类型
    {"9F02", "\xCA\xDA\xC8\xA8\xBD\xF0\xB6\xEE"},                          // 授权金额
    {"5F2A", "\xBD\xBB\xD2\xD7\xBB\xF5\xB1\xD2\xB4\xFA\xC2\xEB"},          // 交易货币代码
    {"82", "\xD3\xA6\xD3\xC3\xBD\xBB\xBB\xA5\xCC\xD8\xD5\xF7"},            // 应用交互特征
    {"9F1A", "\xD6\xD5\xB6\xCB\xB9\xFA\xBC\xD2\xB4\xFA\xC2\xEB"},          // 终端国家代码
    {"9F03", "\xC6\xE4\xCB\xFC\xBD\xF0\xB6\xEE"},                          // 其它金额
    {"9F33", "\xD6\xD5\xB6\xCB\xD0\xD4\xC4\xDC"},                          // 终端性能
    {"9F34", "\xB3\xD6\xBF\xA8\xC8\xCB\xD1\xE9\xD6\xA4\xB7\xBD\xB7\xA8\xBD\xE1\xB9\xFB"},  // 持卡人验证方法结果
    {"9F35", "\xD6\xD5\xB6\xCB\xC0\xE0\xD0\xCD"},                          // 终端类型
    {"9F1E", "\xBD\xD3\xBF\xDA\xC9\xE8\xB1\xB8\xD0\xF2\xC1\xD0\xBA\xC5"},  // 接口设备序列号
    {"84", "\xD7\xA8\xD3\xC3\xCE\xC4\xBC\xFE\xC3\xFB\xB3\xC6"},            // 专用文件名称
    {"9F09", "\xD3\xA6\xD3\xC3\xB0\xE6\xB1\xBE\xBA\xC5"},                  // 应用版本号
    {"9F41", "\xBD\xBB\xD2\xD7\xD0\xF2\xC1\xD0\xBC\xC6\xCA\xFD\xC6\xF7"},  // 交易序列计数器
    {"9F91", "\xB7\xA2\xBF\xA8\xD0\xD0\xC8\xCF\xD6\xA4\xCA\xFD\xBE\xDD"},  // 发卡行认证数据
    {"9F71", "\xB7\xA2\xBF\xA8\xD0\xD0\xBD\xC5\xB1\xBE" "1"},              // 发卡行脚本1
    {"9F72", "\xB7\xA2\xBF\xA8\xD0\xD0\xBD\xC5\xB1\xBE 2"},                // 发卡行脚本 2
    {"DF31", "\xB7\xA2\xBF\xA8\xB7\xBD\xBD\xC5\xB1\xBE\xBD\xE1\xB9\xFB"},  // 发卡方脚本结果
    {"9F74", "\xB5\xE7\xD7\xD3\xCF\xD6\xBD\xF0\xB7\xA2\xBF\xA8\xD0\xD0\xCA\xDA\xC8\xA8\xC2\xEB"},  // 电子现金发卡行授权码
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
};

namespace {

// Room for an element line besides its value text: the sequence number,
// tag, length, padding, name and brackets.
constexpr size_t kTagLineOverhead = 80;

// The room a listing starts with: a typical field 55 fits.
constexpr size_t kExpectedListingLength = 2048;

// Renders `count` bytes as upper-case hexadecimal text, as "%02X" each.
void render_hex(const unsigned char* bytes, int count, char* text) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (int k = 0; k < count; ++k) {
    *text++ = kDigits[bytes[k] >> 4];
    *text++ = kDigits[bytes[k] & 0x0F];
  }
  *text = '\0';
}

// `tag_text` must be zero-filled after its text, as the dictionary's tags
// are, so that comparing all their bytes at once compares the texts.
const char* name_of_tag(const char (&tag_text)[sizeof(TagName::tag)]) {
  for (int row = 0; row < kFilledTagNames; ++row) {
    if (std::memcmp(tag_names[row].tag, tag_text, sizeof tag_text) == 0) return tag_names[row].name;
  }
  return tag_names[kFilledTagNames].name;
}

// Writes the line of one element, as the format
// "Tag-%02d:%-04s[%02d]:%-20s [%s]\r\n" gives it with the sequence
// number, the tag text, the value length, the value text and the name.
// Spelled out piece by piece, as it is written for every element.
void write_tag_line(const unsigned char* tag_bytes, int tag_length, const unsigned char* value,
                    int value_length, int sequence, ReportWriter* writer) {
  char tag_text[sizeof(TagName::tag)] = {};
  char value_text[2 * kMaxTagValueLength + 1];
  render_hex(tag_bytes, tag_length, tag_text);
  render_hex(value, value_length, value_text);
  const char* name = name_of_tag(tag_text);
  writer->write("Tag-");
  writer->zero_filled_decimal(sequence, 2);
  writer->write(':');
  writer->padded(tag_text, 2 * static_cast<size_t>(tag_length), 4, true, ' ');
  writer->write('[');
  writer->zero_filled_decimal(value_length, 2);
  writer->write("]:");
  writer->padded(value_text, 2 * static_cast<size_t>(value_length), 20, true, ' ');
  writer->write(" [");
  writer->write(name, std::strlen(name));
  writer->write("]\r\n");
}

}  // namespace

void append_tag_line(const unsigned char* tag_bytes, int tag_length, const unsigned char* value,
                     int value_length, int sequence, Report* report) {
  ReportWriter writer(report, kTagLineOverhead + 2 * static_cast<size_t>(value_length));
  write_tag_line(tag_bytes, tag_length, value, value_length, sequence, &writer);
}

int decode_field55(const std::vector<unsigned char>& data, int length, Report* report) {
  if (field_values[55].number != 55) return 0;
  // Bytes past the field's storage read as zero, like the unused storage.
  auto byte_at = [&data](int position) -> unsigned char {
    return position >= 0 && static_cast<size_t>(position) < data.size() ? data[position] : 0;
  };
  ReportWriter writer(report, kExpectedListingLength);
  // "=======55域子域解析=========" (field 55 sub-fields)
  writer.write("=======55\xD3\xF2\xD7\xD3\xD3\xF2\xBD\xE2\xCE\xF6=========\r\n");
  int position = 0;
  int sequence = 0;
  while (position < length) {
    ++sequence;
    unsigned char tag[2] = {byte_at(position), 0};
    const int tag_length = (tag[0] & 0x1F) == 0x1F ? 2 : 1;
    if (tag_length == 2) tag[1] = byte_at(position + 1);
    position += tag_length;

    int value_length = byte_at(position);
    if ((value_length & 0x80) == 0) {
      position += 1;
    } else {
      const int count = value_length & 0x0F;
      if (count < 1 || count > 2) break;
      value_length = 0;
      for (int k = 1; k <= count; ++k) value_length = (value_length << 8) | byte_at(position + k);
      position += 1 + count;
    }
    if (value_length > kMaxTagValueLength) break;

    unsigned char value[kMaxTagValueLength];
    for (int k = 0; k < value_length; ++k) value[k] = byte_at(position + k);
    position += value_length;
    write_tag_line(tag, tag_length, value, value_length, sequence, &writer);
  }
  // "=======55域子域解析结束=======" (end of field 55 sub-fields)
  writer.write("=======55\xD3\xF2\xD7\xD3\xD3\xF2\xBD\xE2\xCE\xF6\xBD\xE1\xCA\xF8=======\r\n");
  return 0;
}
