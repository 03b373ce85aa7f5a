// The string functions: conversion to text, byte and character substrings, search, case, trimming.
#include <algorithm>
#include <climits>

#include "platform/kivo_error.h"
#include "support/han_zen.h"
#include "support/sjis.h"
#include "values/functions/sys_func_man.h"
#include "values/param.h"
#include "values/value_convert.h"

namespace kivo {

namespace {

// Results a script can make large on purpose (padding, repetition, replacement) are capped, so
// a typo cannot exhaust memory.
constexpr size_t kMaxResultBytes = 16u << 20;
constexpr int kMaxDigits = 4096;

void CheckSize(const TFuncCall& call, size_t bytes) {
  if (bytes > kMaxResultBytes) throw EKivoError(std::string(call.Name()) + ": result too long");
}

// The digits argument is used as the precision of a "%.<digits>d" format, read as text.
int Digits(const TFuncCall& call, int i, char conversion) {
  const std::string text = call.Str(i);
  int32_t digits = 0;
  if (!TryStrToInt(text, digits) || digits < 0 || digits > kMaxDigits) {
    throw EKivoError("Format '%." + text + conversion + "' invalid or incompatible with argument");
  }
  return digits;
}

std::string PadDigits(std::string digits, int minimum) {
  if (static_cast<int>(digits.size()) < minimum) digits.insert(0, static_cast<size_t>(minimum) - digits.size(), '0');
  return digits;
}

// Byte substrings count from 1; an index below 1 counts as 1 and a count runs at most to the end.
std::string ByteCopy(const std::string& s, int32_t index, int64_t count) {
  if (index < 1) index = 1;
  if (count <= 0 || static_cast<size_t>(index) > s.size()) return "";
  return s.substr(static_cast<size_t>(index) - 1, static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(s.size()))));
}

void ByteDelete(std::string& s, int32_t index, int64_t count) {
  if (index < 1 || static_cast<size_t>(index) > s.size() || count <= 0) return;
  s.erase(static_cast<size_t>(index) - 1, static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(s.size()))));
}

void ByteInsert(const std::string& sub, std::string& s, int32_t index) {
  if (index < 1) index = 1;
  size_t at = std::min(static_cast<size_t>(index) - 1, s.size());
  s.insert(at, sub);
}

// The first occurrence of sub in s that starts on a character boundary at or after byte from.
size_t FindOnBoundary(const std::string& s, const std::string& sub, size_t from) {
  for (size_t i = from; i + sub.size() <= s.size(); i += SjisCharLength(s, i)) {
    if (s.compare(i, sub.size(), sub) == 0) return i;
  }
  return std::string::npos;
}

std::string TrimControls(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<uint8_t>(s[b]) <= 0x20) ++b;
  while (e > b && static_cast<uint8_t>(s[e - 1]) <= 0x20) --e;
  return s.substr(b, e - b);
}

int CompareBytes(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int d = static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i]);
    if (d != 0) return d;
  }
  return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

void IntToStrF(TFuncCall& c) {
  int32_t n = c.Int(0);
  if (!c.Has(1)) return c.ReturnStr(IntToStr(n));
  int digits = Digits(c, 1, 'd');
  std::string magnitude = std::to_string(n < 0 ? -static_cast<int64_t>(n) : static_cast<int64_t>(n));
  c.ReturnStr((n < 0 ? "-" : "") + PadDigits(magnitude, digits));
}

void IntToHexF(TFuncCall& c) {
  uint32_t n = static_cast<uint32_t>(c.Int(0));
  int32_t digits = c.Int(1);
  if (digits > kMaxDigits) throw EKivoError(std::string(c.Name()) + ": result too long");
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", n);
  c.ReturnStr(PadDigits(buffer, digits));
}

void LengthF(TFuncCall& c) { c.ReturnInt(static_cast<int32_t>(c.Str(0).size())); }
void JLengthF(TFuncCall& c) { c.ReturnInt(JLength(c.Str(0))); }

void CopyF(TFuncCall& c) { c.ReturnStr(ByteCopy(c.Str(0), c.Int(1), c.Has(2) ? c.Int(2) : INT64_MAX)); }
void JCopyF(TFuncCall& c) { c.ReturnStr(JCopy(c.Str(0), c.Int(1), c.Has(2) ? c.Int(2) : INT_MAX)); }

void DeleteF(TFuncCall& c) {
  TCustomParam& v = c.Writable(0);
  std::string s = v.AsString();
  ByteDelete(s, c.Int(1), c.Has(2) ? c.Int(2) : INT64_MAX);
  v.SetStr(s);
}

void JDeleteF(TFuncCall& c) {
  TCustomParam& v = c.Writable(0);
  std::string s = v.AsString();
  JDelete(s, c.Int(1), c.Has(2) ? c.Int(2) : INT_MAX);
  v.SetStr(s);
}

void InsertF(TFuncCall& c) {
  TCustomParam& v = c.Writable(1);
  std::string s = v.AsString();
  ByteInsert(c.Str(0), s, c.Int(2));
  v.SetStr(s);
}

void JInsertF(TFuncCall& c) {
  TCustomParam& v = c.Writable(1);
  std::string s = v.AsString();
  JInsert(c.Str(0), s, c.Int(2));
  v.SetStr(s);
}

void CompareStrF(TFuncCall& c) { c.ReturnInt(CompareBytes(c.Str(0), c.Str(1))); }
void CompareTextF(TFuncCall& c) { c.ReturnInt(SjisCompareText(c.Str(0), c.Str(1))); }

void PosF(TFuncCall& c) {
  std::string sub = c.Str(0), s = c.Str(1);
  size_t at = sub.empty() ? std::string::npos : s.find(sub);
  c.ReturnInt(at == std::string::npos ? 0 : static_cast<int32_t>(at) + 1);
}
void JPosF(TFuncCall& c) { c.ReturnInt(JPos(c.Str(0), c.Str(1))); }

void TrimF(TFuncCall& c) { c.ReturnStr(TrimControls(c.Str(0))); }
void JTrimF(TFuncCall& c) { c.ReturnStr(JTrim(c.Str(0))); }

void FixStrF(TFuncCall& c) {
  std::string s = c.Str(0);
  size_t i = 0, last = 0;
  while (i < s.size()) {
    last = i;
    i += SjisCharLength(s, i);
  }
  if (!s.empty() && last == s.size() - 1 && IsLeadByte(s[last])) s.pop_back();
  c.ReturnStr(s);
}

void LowerCaseF(TFuncCall& c) { c.ReturnStr(SjisLowerCase(c.Str(0))); }
void UpperCaseF(TFuncCall& c) { c.ReturnStr(SjisUpperCase(c.Str(0))); }

// Whether the byte at the 1-based index is a single-byte character among the delimiters.
bool IsDelimiterAt(std::string_view delimiters, std::string_view s, int32_t index) {
  if (index < 1 || static_cast<size_t>(index) > s.size()) return false;
  size_t i = static_cast<size_t>(index) - 1;
  bool single = !IsTrailByteAt(s, i) && SjisCharLength(s, i) == 1;
  return single && s[i] != '\0' && delimiters.find(s[i]) != std::string_view::npos;
}

void IsDelimiterF(TFuncCall& c) { c.ReturnBool(IsDelimiterAt(c.Str(0), c.Str(1), c.Int(2))); }

// The offset of the last single-byte character among the delimiters; npos when there is none.
// Double-byte characters are stepped over whole, so a trail byte 0x5C is never taken for "\".
size_t LastDelimiter(std::string_view delimiters, std::string_view s) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < s.size(); i += SjisCharLength(s, i))
    if (SjisCharLength(s, i) == 1 && s[i] != '\0' && delimiters.find(s[i]) != std::string_view::npos) last = i;
  return last;
}

constexpr std::string_view kPathDelimiters = "\\:";
constexpr std::string_view kExtensionDelimiters = ".\\:";

void ExtractFilePathF(TFuncCall& c) {
  std::string s = c.Str(0);
  size_t i = LastDelimiter(kPathDelimiters, s);
  c.ReturnStr(i == std::string::npos ? std::string() : s.substr(0, i + 1));
}

void ExtractFileNameF(TFuncCall& c) {
  std::string s = c.Str(0);
  size_t i = LastDelimiter(kPathDelimiters, s);
  c.ReturnStr(i == std::string::npos ? s : s.substr(i + 1));
}

// The offset of the extension's dot; npos when the last component has none.
size_t ExtensionDot(std::string_view s) {
  size_t i = LastDelimiter(kExtensionDelimiters, s);
  return i != std::string_view::npos && s[i] == '.' ? i : std::string_view::npos;
}

void ExtractFileExtF(TFuncCall& c) {
  std::string s = c.Str(0);
  size_t dot = ExtensionDot(s);
  c.ReturnStr(dot == std::string::npos ? std::string() : s.substr(dot));
}

void ChangeFileExtF(TFuncCall& c) {
  std::string s = c.Str(0);
  size_t dot = ExtensionDot(s);
  std::string out = (dot == std::string::npos ? s : s.substr(0, dot)) + c.Str(1);
  CheckSize(c, out.size());
  c.ReturnStr(out);
}

void IsPathDelimiterF(TFuncCall& c) { c.ReturnBool(IsDelimiterAt("\\", c.Str(0), c.Int(1))); }

void AddBackSlashF(TFuncCall& c) {
  std::string s = c.Str(0);
  if (!IsDelimiterAt("\\", s, static_cast<int32_t>(s.size()))) s += '\\';
  c.ReturnStr(s);
}

void StringOfCharF(TFuncCall& c) {
  std::string s = c.Str(0);
  int32_t n = c.Int(1);
  std::string out;
  if (n > 0 && !s.empty()) {
    CheckSize(c, s.size() * static_cast<size_t>(n));
    out.reserve(s.size() * static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) out += s;
  }
  c.ReturnStr(out);
}

void StringReplaceF(TFuncCall& c) {
  const std::string s = c.Str(0), old = c.Str(1), replacement = c.Str(2);
  const bool all = c.Bool(3, false), ignoreCase = c.Bool(4, false);
  if (old.empty()) return c.ReturnStr(s);
  // Matching in the folded text keeps byte offsets: the case rule never changes a length.
  const std::string hay = ignoreCase ? SjisUpperCase(s) : s;
  const std::string needle = ignoreCase ? SjisUpperCase(old) : old;
  std::string out;
  size_t from = 0;
  for (;;) {
    size_t at = FindOnBoundary(hay, needle, from);
    if (at == std::string::npos) break;
    out.append(s, from, at - from);
    out += replacement;
    CheckSize(c, out.size());
    from = at + needle.size();
    if (!all) break;
  }
  out.append(s, from, std::string::npos);
  CheckSize(c, out.size());
  c.ReturnStr(out);
}

void HanToZenF(TFuncCall& c) { c.ReturnStr(HanToZen(c.Str(0))); }
void ZenToHanF(TFuncCall& c) { c.ReturnStr(ZenToHan(c.Str(0))); }

void AddDelimiterF(TFuncCall& c) {
  std::string s = c.Str(1);
  c.ReturnStr(s.empty() ? s : s + c.Str(0));
}

void StrToIntDefF(TFuncCall& c) { c.ReturnInt(StrToIntDef(c.Str(0), c.Int(1))); }
void StrToFloatDefF(TFuncCall& c) { c.ReturnFloat(StrToFloatDef(c.Str(0), c.Float(1))); }

void ChrF(TFuncCall& c) { c.ReturnStr(std::string(1, static_cast<char>(c.Int(0) & 0xFF))); }
void OrdF(TFuncCall& c) {
  std::string s = c.Str(0);
  c.ReturnInt(s.empty() ? 0 : static_cast<uint8_t>(s[0]));
}

}  // namespace

void RegisterStringFunctions(TSysFuncMan& man) {
  man.SetHandler(0, IntToStrF);
  man.SetHandler(1, IntToHexF);
  man.SetHandler(5, LengthF);
  man.SetHandler(6, JLengthF);
  man.SetHandler(7, CopyF);
  man.SetHandler(8, JCopyF);
  man.SetHandler(9, DeleteF);
  man.SetHandler(10, JDeleteF);
  man.SetHandler(11, InsertF);
  man.SetHandler(12, JInsertF);
  man.SetHandler(13, CompareStrF);
  man.SetHandler(14, CompareTextF);
  man.SetHandler(15, PosF);
  man.SetHandler(16, JPosF);
  man.SetHandler(17, TrimF);
  man.SetHandler(18, JTrimF);
  man.SetHandler(64, FixStrF);
  man.SetHandler(73, LowerCaseF);
  man.SetHandler(74, UpperCaseF);
  man.SetHandler(75, ExtractFilePathF);
  man.SetHandler(76, ExtractFileNameF);
  man.SetHandler(77, ExtractFileExtF);
  man.SetHandler(78, IsPathDelimiterF);
  man.SetHandler(79, AddBackSlashF);
  man.SetHandler(80, ChangeFileExtF);
  man.SetHandler(81, IsDelimiterF);
  man.SetHandler(82, StringOfCharF);
  man.SetHandler(83, StringReplaceF);
  man.SetHandler(85, HanToZenF);
  man.SetHandler(86, ZenToHanF);
  man.SetHandler(133, AddDelimiterF);
  man.SetHandler(138, StrToIntDefF);
  man.SetHandler(139, StrToFloatDefF);
  man.SetHandler(152, ChrF);
  man.SetHandler(153, OrdF);
}

}  // namespace kivo
