// HanToZen / ZenToHan: ASCII, symbols, katakana with voiced marks, and what is dropped.
#include "support/han_zen.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(HanToZen, Conversions) {
  struct Case { const char* in; const char* out; };
  const Case cases[] = {
      {"Az09", "\x82\x60\x82\x9a\x82\x4f\x82\x58"},
      {" !\"'\\`~|", "\x81\x40\x81\x49\x81\x68\x81\x66\x81\x8f\x81\x65\x81\x60\x81\x62"},
      {"\xb6\xde", "\x83\x4b"},                  // ka + voiced mark: ga
      {"\xb3\xde", "\x83\x45\x81\x4a"},          // u + voiced mark: two characters
      {"\xca\xdf\xca\xde\xca", "\x83\x70\x83\x6f\x83\x6e"},  // pa, ba, ha
      {"\xc5\xde", "\x83\x69\x81\x4a"},          // na takes no mark
      {"\xb6\xdf", "\x83\x4a\x81\x4b"},          // ka takes no semi-voiced mark
      {"\xa1\xa2\xa3\xa4\xa5\xb0\xa6\xdd\xaf", "\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45\x81\x5b\x83\x92\x83\x93\x83\x62"},
      {"\xde", "\x81\x4a"},
      {"a\tb\r\n\x7f\x80\xa0" "c", "\x82\x81\x82\x82\x82\x83"},  // control bytes, 0x7F, 0x80, 0xA0 dropped
      {"\x88\x9f\x83\x41", "\x88\x9f\x83\x41"},  // double-byte kept
  };
  for (const Case& c : cases) EXPECT_EQ(HanToZen(c.in), c.out) << c.in;
}

TEST(ZenToHan, Conversions) {
  struct Case { const char* in; const char* out; };
  const Case cases[] = {
      {"\x88\x9f\x82\x50\x8a\xbf\x82\x51", "12"},        // kanji dropped, full-width digits kept
      {"\x83\x4b\x83\x70\x83\x45", "\xb6\xde\xca\xdf\xb3"},  // ga, pa, u
      {"\x81\x67\x81\x68", "\"\""},                     // both double quotes
      {"\x82\xa0" "abc\xb1", "abc\xb1"},               // hiragana dropped, single bytes kept
      {"\x81\x40\x81\x5b\x81\x4a", " \xb0\xde"},
      {"\x83\x94", ""},                                  // vu has no half-width form of its own
  };
  for (const Case& c : cases) EXPECT_EQ(ZenToHan(c.in), c.out) << c.in;
}

TEST(HanZen, EveryConvertibleCharacterRoundTrips) {
  std::string all;
  for (int b = 0x20; b <= 0x7E; ++b) all += static_cast<char>(b);
  for (int b = 0xA1; b <= 0xDF; ++b) all += static_cast<char>(b);
  all += "\xb6\xde\xcc\xdf";
  EXPECT_EQ(ZenToHan(HanToZen(all)), all);
}

}  // namespace
}  // namespace kivo
