// Half-width / full-width tables and conversions.
#include "support/han_zen.h"

#include <array>
#include <cstdint>

#include "support/sjis.h"

namespace kivo {

namespace {

// Full-width code of every printable ASCII byte 0x20-0x7E.
constexpr std::array<uint16_t, 95> kAsciiZen = [] {
  std::array<uint16_t, 95> t{};
  constexpr uint16_t symbols[] = {
      0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169, 0x816A, 0x8196, 0x817B,  // space - +
      0x8143, 0x817C, 0x8144, 0x815E};                                                                 // , - . /
  for (int i = 0; i < 16; ++i) t[static_cast<size_t>(i)] = symbols[i];
  for (int i = 0; i < 10; ++i) t[static_cast<size_t>(0x30 - 0x20 + i)] = static_cast<uint16_t>(0x824F + i);
  constexpr uint16_t colonToAt[] = {0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197};  // : ; < = > ? @
  for (int i = 0; i < 7; ++i) t[static_cast<size_t>(0x3A - 0x20 + i)] = colonToAt[i];
  for (int i = 0; i < 26; ++i) t[static_cast<size_t>(0x41 - 0x20 + i)] = static_cast<uint16_t>(0x8260 + i);
  constexpr uint16_t bracketToBackquote[] = {0x816D, 0x818F, 0x816E, 0x814F, 0x8151, 0x8165};  // [ \ ] ^ _ `
  for (int i = 0; i < 6; ++i) t[static_cast<size_t>(0x5B - 0x20 + i)] = bracketToBackquote[i];
  for (int i = 0; i < 26; ++i) t[static_cast<size_t>(0x61 - 0x20 + i)] = static_cast<uint16_t>(0x8281 + i);
  constexpr uint16_t braceToTilde[] = {0x816F, 0x8162, 0x8170, 0x8160};  // { | } ~
  for (int i = 0; i < 4; ++i) t[static_cast<size_t>(0x7B - 0x20 + i)] = braceToTilde[i];
  return t;
}();

// Full-width code of every half-width katakana byte 0xA1-0xDF.
constexpr uint16_t kKanaZen[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145,                                          // A1-A5 punctuation
    0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362,  // A6-AF wo, small letters
    0x815B,                                                                          // B0 prolonged sound
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349,                                          // B1-B5 a i u e o
    0x834A, 0x834C, 0x834E, 0x8350, 0x8352,                                          // B6-BA ka row
    0x8354, 0x8356, 0x8358, 0x835A, 0x835C,                                          // BB-BF sa row
    0x835E, 0x8360, 0x8363, 0x8365, 0x8367,                                          // C0-C4 ta row
    0x8369, 0x836A, 0x836B, 0x836C, 0x836D,                                          // C5-C9 na row
    0x836E, 0x8371, 0x8374, 0x8377, 0x837A,                                          // CA-CE ha row
    0x837D, 0x837E, 0x8380, 0x8381, 0x8382,                                          // CF-D3 ma row
    0x8384, 0x8386, 0x8388,                                                          // D4-D6 ya yu yo
    0x8389, 0x838A, 0x838B, 0x838C, 0x838D,                                          // D7-DB ra row
    0x838F, 0x8393,                                                                  // DC-DD wa n
    0x814A, 0x814B};                                                                 // DE-DF voiced marks

constexpr uint8_t kVoiced = 0xDE;
constexpr uint8_t kSemiVoiced = 0xDF;

bool TakesVoiced(uint8_t b) { return (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE); }
bool TakesSemiVoiced(uint8_t b) { return b >= 0xCA && b <= 0xCE; }

// The voiced form follows the plain letter directly; in the ha row the semi-voiced one follows that.
uint16_t ZenOfKana(uint8_t b, uint8_t mark) {
  uint16_t plain = kKanaZen[b - 0xA1];
  if (mark == kVoiced && TakesVoiced(b)) return static_cast<uint16_t>(plain + 1);
  if (mark == kSemiVoiced && TakesSemiVoiced(b)) return static_cast<uint16_t>(plain + 2);
  return plain;
}

void Put(std::string& out, uint16_t code) {
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

// Half-width form (one or two bytes) of a full-width code, or 0 bytes when there is none.
struct THalf {
  uint8_t bytes[2] = {0, 0};
  uint8_t length = 0;
};

constexpr int kZenBase = 0x8140;
constexpr int kZenSpan = 0x8397 - kZenBase;

const std::array<THalf, kZenSpan>& HalfTable() {
  static const std::array<THalf, kZenSpan> table = [] {
    std::array<THalf, kZenSpan> t{};
    auto set = [&](uint16_t code, uint8_t a, uint8_t b, uint8_t length) {
      THalf& h = t[static_cast<size_t>(code - kZenBase)];
      if (h.length == 0) h = THalf{{a, b}, length};
    };
    for (int c = 0x20; c <= 0x7E; ++c) set(kAsciiZen[static_cast<size_t>(c - 0x20)], static_cast<uint8_t>(c), 0, 1);
    set(0x8167, '"', 0, 1);  // the opening double quote has no half-width twin of its own
    for (int b = 0xA1; b <= 0xDF; ++b) {
      uint8_t kana = static_cast<uint8_t>(b);
      set(ZenOfKana(kana, 0), kana, 0, 1);
      if (TakesVoiced(kana)) set(ZenOfKana(kana, kVoiced), kana, kVoiced, 2);
      if (TakesSemiVoiced(kana)) set(ZenOfKana(kana, kSemiVoiced), kana, kSemiVoiced, 2);
    }
    return t;
  }();
  return table;
}

}  // namespace

std::string HanToZen(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (size_t i = 0; i < s.size();) {
    size_t n = SjisCharLength(s, i);
    uint8_t b = static_cast<uint8_t>(s[i]);
    if (n == 2) {
      out.append(s.substr(i, 2));
    } else if (b >= 0x20 && b <= 0x7E) {
      Put(out, kAsciiZen[b - 0x20]);
    } else if (b >= 0xA1 && b <= 0xDF) {
      uint8_t mark = i + 1 < s.size() ? static_cast<uint8_t>(s[i + 1]) : 0;
      uint16_t code = ZenOfKana(b, mark);
      Put(out, code);
      if (code != kKanaZen[b - 0xA1]) n = 2;  // the mark was absorbed
    }
    i += n;
  }
  return out;
}

std::string ZenToHan(std::string_view s) {
  const auto& table = HalfTable();
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    size_t n = SjisCharLength(s, i);
    if (n == 1) {
      out += s[i];
    } else {
      int code = static_cast<uint8_t>(s[i]) * 256 + static_cast<uint8_t>(s[i + 1]);
      if (code >= kZenBase && code < kZenBase + kZenSpan) {
        const THalf& h = table[static_cast<size_t>(code - kZenBase)];
        out.append(reinterpret_cast<const char*>(h.bytes), h.length);
      }
    }
    i += n;
  }
  return out;
}

}  // namespace kivo
