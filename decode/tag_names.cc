// The report's tag dictionary, and its index by tag made when compiling.
#include "decode/tag_names.h"

#include <string>

#include "decode/hex_text.h"

constexpr TagName report_tag_names[kTagNameRows] = {
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

// An element's tag as one number: its bytes, and whether it has two.
constexpr int tag_key(const unsigned char* bytes, int length) {
  return length == 2 ? 0x10000 | bytes[0] << 8 | bytes[1] : bytes[0];
}

// The dictionary indexed by tag, made from its text when compiling, so
// that an element's tag is found without rendering it or comparing it with
// every row: an open-addressing table of the filled rows, each found under
// its tag as the first of the rows holding it, with the lengths of the
// names.
class DictionaryIndex {
 public:
  constexpr DictionaryIndex() : slots_(), name_lengths_() {
    for (Slot& slot : slots_) slot = Slot{kEmpty, kFilledTagNames};
    for (int row = kFilledTagNames - 1; row >= 0; --row) {
      const char* text = report_tag_names[row].tag;
      const int length = text[2] == '\0' ? 1 : 2;
      unsigned char bytes[2] = {};
      for (int k = 0; k < length; ++k) {
        bytes[k] = static_cast<unsigned char>(hex_digit_value(text[2 * k]) * 16 +
                                              hex_digit_value(text[2 * k + 1]));
      }
      const int key = tag_key(bytes, length);
      int at = key & kMask;
      while (slots_[at].key != kEmpty && slots_[at].key != key) at = (at + 1) & kMask;
      slots_[at] = Slot{key, row};  // an earlier row overwrites a later one
    }
    for (int row = 0; row < kTagNameRows; ++row) {
      name_lengths_[row] = std::char_traits<char>::length(report_tag_names[row].name);
    }
  }

  int row_of(int key) const {
    for (int at = key & kMask;; at = (at + 1) & kMask) {
      if (slots_[at].key == key) return slots_[at].row;
      if (slots_[at].key == kEmpty) return kFilledTagNames;
    }
  }

  size_t name_length(int row) const { return name_lengths_[row]; }

 private:
  struct Slot {
    int key;
    int row;
  };
  // Four times the filled rows, so that probes stay short.
  static constexpr int kSlots = 128;
  static constexpr int kMask = kSlots - 1;
  static constexpr int kEmpty = -1;

  Slot slots_[kSlots];
  size_t name_lengths_[kTagNameRows];
};

constexpr DictionaryIndex kDictionaryIndex;

}  // namespace

int tag_name_row(const TlvElement& element) {
  return kDictionaryIndex.row_of(tag_key(element.tag, element.tag_length));
}

size_t tag_name_length(int row) { return kDictionaryIndex.name_length(row); }

std::string_view tag_name_text(const TlvElement& element) {
  const int row = tag_name_row(element);
  return std::string_view(report_tag_names[row].name, kDictionaryIndex.name_length(row));
}
