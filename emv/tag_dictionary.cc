// The chip-data dictionary: one row per tag, sorted by tag, and its index
// by tag.
#include "emv/tag_dictionary.h"

// The Chinese names of the report's 25 tags are the report's own, so both
// outputs name an element alike; the others follow the Chinese banks' and
// PBOC's usage.
constexpr EmvTag emv_tags[] = {
    {0x42, "Issuer Identification Number (IIN)", "发卡行标识号（IIN）"},
    {0x4F, "Application Identifier (AID) - card", "应用标识符（AID）"},
    {0x50, "Application Label", "应用标签"},
    {0x56, "Track 1 Data", "磁道1数据"},
    {0x57, "Track 2 Equivalent Data", "二磁道等效数据"},
    {0x5A, "Application Primary Account Number (PAN)", "应用主账号（PAN）"},
    {0x61, "Application Template", "应用模板"},
    {0x6F, "File Control Information (FCI) Template", "文件控制信息（FCI）模板"},
    {0x70, "READ RECORD Response Message Template", "读记录响应报文模板"},
    {0x71, "Issuer Script Template 1", "发卡行脚本模板1"},
    {0x72, "Issuer Script Template 2", "发卡行脚本模板2"},
    {0x73, "Directory Discretionary Template", "目录自定义模板"},
    {0x77, "Response Message Template Format 2", "响应报文模板格式2"},
    {0x80, "Response Message Template Format 1", "响应报文模板格式1"},
    {0x81, "Amount, Authorised (Binary)", "授权金额（二进制）"},
    {0x82, "Application Interchange Profile (AIP)", "应用交互特征"},
    {0x83, "Command Template", "命令模板"},
    {0x84, "Dedicated File (DF) Name", "专用文件名称"},
    {0x86, "Issuer Script Command", "发卡行脚本命令"},
    {0x87, "Application Priority Indicator", "应用优先指示器"},
    {0x88, "Short File Identifier (SFI)", "短文件标识符（SFI）"},
    {0x89, "Authorisation Code", "授权码"},
    {0x8A, "Authorisation Response Code", "授权响应码"},
    {0x8C, "Card Risk Management Data Object List 1 (CDOL1)", "卡片风险管理数据对象列表1（CDOL1）"},
    {0x8D, "Card Risk Management Data Object List 2 (CDOL2)", "卡片风险管理数据对象列表2（CDOL2）"},
    {0x8E, "Cardholder Verification Method (CVM) List", "持卡人验证方法（CVM）列表"},
    {0x8F, "Certification Authority Public Key Index", "认证中心公钥索引"},
    {0x90, "Issuer Public Key Certificate", "发卡行公钥证书"},
    {0x91, "Issuer Authentication Data", "发卡行认证数据"},
    {0x92, "Issuer Public Key Remainder", "发卡行公钥余项"},
    {0x93, "Signed Static Application Data", "签名的静态应用数据"},
    {0x94, "Application File Locator (AFL)", "应用文件定位器（AFL）"},
    {0x95, "Terminal Verification Results (TVR)", "终端验证结果"},
    {0x97, "Transaction Certificate Data Object List (TDOL)", "交易证书数据对象列表（TDOL）"},
    {0x98, "Transaction Certificate (TC) Hash Value", "交易证书（TC）哈希值"},
    {0x99, "Transaction Personal Identification Number (PIN) Data", "交易个人识别码（PIN）数据"},
    {0x9A, "Transaction Date", "交易日期"},
    {0x9B, "Transaction Status Information (TSI)", "交易状态信息"},
    {0x9C, "Transaction Type", "交易类型"},
    {0x9D, "Directory Definition File (DDF) Name", "目录定义文件（DDF）名称"},
    {0xA5, "File Control Information (FCI) Proprietary Template", "文件控制信息（FCI）专用模板"},
    {0xE1, "Private Template", "私有模板"},
    {0x5F20, "Cardholder Name", "持卡人姓名"},
    {0x5F24, "Application Expiration Date", "应用失效日期"},
    {0x5F25, "Application Effective Date", "应用生效日期"},
    {0x5F28, "Issuer Country Code", "发卡行国家代码"},
    {0x5F2A, "Transaction Currency Code", "交易货币代码"},
    {0x5F2D, "Language Preference", "首选语言"},
    {0x5F30, "Service Code", "服务码"},
    {0x5F34, "Application Primary Account Number (PAN) Sequence Number", "应用主账号序列号"},
    {0x5F36, "Transaction Currency Exponent", "交易货币指数"},
    {0x5F50, "Issuer URL", "发卡行URL"},
    {0x5F53, "International Bank Account Number (IBAN)", "国际银行账号（IBAN）"},
    {0x5F54, "Bank Identifier Code (BIC)", "银行标识代码（BIC）"},
    {0x5F55, "Issuer Country Code (alpha2 format)", "发卡行国家代码（alpha2格式）"},
    {0x5F56, "Issuer Country Code (alpha3 format)", "发卡行国家代码（alpha3格式）"},
    {0x5F57, "Account Type", "账户类型"},
    {0x9F01, "Acquirer Identifier", "收单行标识"},
    {0x9F02, "Amount, Authorised (Numeric)", "授权金额"},
    {0x9F03, "Amount, Other (Numeric)", "其它金额"},
    {0x9F04, "Amount, Other (Binary)", "其它金额（二进制）"},
    {0x9F05, "Application Discretionary Data", "应用自定义数据"},
    {0x9F06, "Application Identifier (AID) - terminal", "应用标识符（AID）-终端"},
    {0x9F07, "Application Usage Control", "应用用途控制"},
    {0x9F08, "Application Version Number (card)", "卡片应用版本号"},
    {0x9F09, "Application Version Number (terminal)", "应用版本号"},
    {0x9F0B, "Cardholder Name Extended", "持卡人姓名扩展"},
    {0x9F0D, "Issuer Action Code - Default", "发卡行行为代码（IAC）-缺省"},
    {0x9F0E, "Issuer Action Code - Denial", "发卡行行为代码（IAC）-拒绝"},
    {0x9F0F, "Issuer Action Code - Online", "发卡行行为代码（IAC）-联机"},
    {0x9F10, "Issuer Application Data", "发卡行应用数据"},
    {0x9F11, "Issuer Code Table Index", "发卡行代码表索引"},
    {0x9F12, "Application Preferred Name", "应用首选名称"},
    {0x9F13, "Last Online Application Transaction Counter (ATC) Register",
     "上次联机应用交易计数器（ATC）寄存器"},
    {0x9F14, "Lower Consecutive Offline Limit", "连续脱机交易下限"},
    {0x9F15, "Merchant Category Code", "商户类别码"},
    {0x9F16, "Merchant Identifier", "商户标识"},
    {0x9F17, "Personal Identification Number (PIN) Try Counter", "PIN尝试计数器"},
    {0x9F18, "Issuer Script Identifier", "发卡行脚本标识"},
    {0x9F19, "Token Requestor ID", "令牌请求方标识"},
    {0x9F1A, "Terminal Country Code", "终端国家代码"},
    {0x9F1B, "Terminal Floor Limit", "终端最低限额"},
    {0x9F1C, "Terminal Identification", "终端标识"},
    {0x9F1D, "Terminal Risk Management Data", "终端风险管理数据"},
    {0x9F1E, "Interface Device (IFD) Serial Number", "接口设备序列号"},
    {0x9F1F, "Track 1 Discretionary Data", "磁道1自定义数据"},
    {0x9F20, "Track 2 Discretionary Data", "磁道2自定义数据"},
    {0x9F21, "Transaction Time", "交易时间"},
    {0x9F22, "Certification Authority Public Key Index (terminal)", "认证中心公钥索引（终端）"},
    {0x9F23, "Upper Consecutive Offline Limit", "连续脱机交易上限"},
    {0x9F24, "Payment Account Reference (PAR)", "支付账户参考（PAR）"},
    {0x9F25, "Last 4 Digits of PAN", "主账号后4位"},
    {0x9F26, "Application Cryptogram", "应用密文"},
    {0x9F27, "Cryptogram Information Data", "密文信息数据"},
    {0x9F2D, "ICC PIN Encipherment Public Key Certificate", "IC卡PIN加密公钥证书"},
    {0x9F2E, "ICC PIN Encipherment Public Key Exponent", "IC卡PIN加密公钥指数"},
    {0x9F2F, "ICC PIN Encipherment Public Key Remainder", "IC卡PIN加密公钥余项"},
    {0x9F32, "Issuer Public Key Exponent", "发卡行公钥指数"},
    {0x9F33, "Terminal Capabilities", "终端性能"},
    {0x9F34, "Cardholder Verification Method (CVM) Results", "持卡人验证方法结果"},
    {0x9F35, "Terminal Type", "终端类型"},
    {0x9F36, "Application Transaction Counter (ATC)", "应用交易计数器"},
    {0x9F37, "Unpredictable Number", "不可预知数"},
    {0x9F38, "Processing Options Data Object List (PDOL)", "处理选项数据对象列表（PDOL）"},
    {0x9F39, "Point-of-Service (POS) Entry Mode", "销售点（POS）输入方式"},
    {0x9F3A, "Amount, Reference Currency", "参考货币金额"},
    {0x9F3B, "Application Reference Currency", "应用参考货币"},
    {0x9F3C, "Transaction Reference Currency Code", "交易参考货币代码"},
    {0x9F3D, "Transaction Reference Currency Exponent", "交易参考货币指数"},
    {0x9F40, "Additional Terminal Capabilities", "附加终端性能"},
    {0x9F41, "Transaction Sequence Counter", "交易序列计数器"},
    {0x9F42, "Application Currency Code", "应用货币代码"},
    {0x9F43, "Application Reference Currency Exponent", "应用参考货币指数"},
    {0x9F44, "Application Currency Exponent", "应用货币指数"},
    {0x9F45, "Data Authentication Code", "数据认证码"},
    {0x9F46, "ICC Public Key Certificate", "IC卡公钥证书"},
    {0x9F47, "ICC Public Key Exponent", "IC卡公钥指数"},
    {0x9F48, "ICC Public Key Remainder", "IC卡公钥余项"},
    {0x9F49, "Dynamic Data Authentication Data Object List (DDOL)",
     "动态数据认证数据对象列表（DDOL）"},
    {0x9F4A, "Static Data Authentication Tag List", "静态数据认证标签列表"},
    {0x9F4B, "Signed Dynamic Application Data", "签名的动态应用数据"},
    {0x9F4C, "ICC Dynamic Number", "IC卡动态数"},
    {0x9F4D, "Log Entry", "日志入口"},
    {0x9F4E, "Merchant Name and Location", "商户名称和位置"},
    {0x9F4F, "Log Format", "日志格式"},
    {0x9F52, "Application Default Action (ADA)", "应用缺省行为（ADA）"},
    {0x9F53, "Consecutive Transaction Limit (International - Currency)",
     "连续脱机交易限制数（国际-货币）"},
    {0x9F54, "Cumulative Total Transaction Amount Limit", "累计脱机交易金额限制数"},
    {0x9F56, "Issuer Authentication Indicator", "发卡行认证指示位"},
    {0x9F5B, "Issuer Script Results", "发卡行脚本结果"},
    {0x9F5D, "Available Offline Spending Amount", "可用脱机消费金额"},
    {0x9F61, "Cardholder ID Number", "持卡人证件号"},
    {0x9F62, "Cardholder ID Type", "持卡人证件类型"},
    {0x9F63, "Card Product Identification Information", "卡产品标识信息"},
    {0x9F66, "Terminal Transaction Qualifiers (TTQ)", "终端交易属性"},
    {0x9F69, "Card Authentication Related Data", "卡片认证相关数据"},
    {0x9F6B, "Card CVM Limit", "卡片CVM限额"},
    {0x9F6C, "Card Transaction Qualifiers (CTQ)", "卡片交易属性"},
    {0x9F6D, "Electronic Cash Reset Threshold", "电子现金重置阈值"},
    {0x9F6E, "Form Factor Indicator (FFI)", "外形因子指示器"},
    {0x9F71, "Issuer Script 1", "发卡行脚本1"},
    {0x9F72, "Issuer Script 2", "发卡行脚本 2"},
    {0x9F74, "Electronic Cash Issuer Authorisation Code", "电子现金发卡行授权码"},
    {0x9F77, "Electronic Cash Balance Limit", "电子现金余额上限"},
    {0x9F78, "Electronic Cash Single Transaction Limit", "电子现金单笔交易限额"},
    {0x9F79, "Electronic Cash Balance", "电子现金余额"},
    {0x9F7A, "Electronic Cash Terminal Support Indicator", "电子现金终端支持指示器"},
    {0x9F7B, "Electronic Cash Terminal Transaction Limit", "电子现金终端交易限额"},
    {0x9F7C, "Customer Exclusive Data (CED)", "客户专有数据"},
    {0x9F91, "Issuer Authentication Data (proprietary)", "发卡行认证数据"},
    {0xBF0C, "File Control Information (FCI) Issuer Discretionary Data",
     "文件控制信息（FCI）发卡行自定义数据"},
    {0xDF31, "Issuer Script Results", "发卡方脚本结果"},
};

constexpr int emv_tag_count = sizeof emv_tags / sizeof emv_tags[0];

int emv_tag_code(const unsigned char tag[2], int tag_length) {
  const int expected_length = (tag[0] & 0x1F) == 0x1F ? 2 : 1;
  if (tag_length != expected_length) return 0;
  return tag_length == 1 ? tag[0] : tag[0] << 8 | tag[1];
}

namespace {

// The dictionary by code, made when compiling: an open-addressing table of
// row numbers, so that a tag is found in a probe or two.
class TagIndex {
 public:
  constexpr TagIndex() : rows_() {
    for (short& row : rows_) row = kEmpty;
    for (int row = 0; row < emv_tag_count; ++row) {
      int at = slot_of(emv_tags[row].code);
      while (rows_[at] != kEmpty) at = (at + 1) & kMask;
      rows_[at] = static_cast<short>(row);
    }
  }

  const EmvTag* find(int code) const {
    for (int at = slot_of(code);; at = (at + 1) & kMask) {
      if (rows_[at] == kEmpty) return nullptr;
      if (emv_tags[rows_[at]].code == code) return &emv_tags[rows_[at]];
    }
  }

 private:
  // More than three times the rows, so that probes stay short.
  static constexpr int kSlots = 512;
  static constexpr int kMask = kSlots - 1;
  static constexpr short kEmpty = -1;
  static_assert(3 * emv_tag_count < kSlots, "the tag index is too small");

  static constexpr int slot_of(int code) { return (code ^ code >> 7) & kMask; }

  short rows_[kSlots];
};

constexpr TagIndex kTagIndex;

}  // namespace

const EmvTag* find_emv_tag(const unsigned char tag[2], int tag_length) {
  return kTagIndex.find(emv_tag_code(tag, tag_length));
}
