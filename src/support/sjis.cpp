// Shift-JIS character rules and the J* string routines.
#include "support/sjis.h"

#include <algorithm>

#include "platform/kivo_error.h"

namespace kivo {

namespace {

template <char (*Fold)(char)>
std::string FoldCase(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size();) {
    size_t n = SjisCharLength(out, i);
    if (n == 1) out[i] = Fold(out[i]);
    i += n;
  }
  return out;
}

// 0-based byte offset of character n (1-based); s.size() when n lies past the end.
size_t CharOffset(std::string_view s, int n) {
  size_t i = 0;
  for (int k = 1; k < n && i < s.size(); ++k) i += SjisCharLength(s, i);
  return i;
}

bool IsSpaceAt(std::string_view s, size_t i, size_t n) {
  return (n == 1 && s[i] == ' ') || (n == 2 && s[i] == '\x81' && s[i + 1] == '\x40');
}

}  // namespace

std::string SjisLowerCase(std::string_view s) { return FoldCase<AsciiLower>(s); }
std::string SjisUpperCase(std::string_view s) { return FoldCase<AsciiUpper>(s); }

int SjisCompareText(std::string_view a, std::string_view b) {
  // Folding never changes a lead byte, so up to the first difference both texts have the same
  // character structure and a's walk serves for both.
  size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common;) {
    size_t n = SjisCharLength(a, i);
    for (size_t k = 0; k < n && i + k < common; ++k) {
      uint8_t x = static_cast<uint8_t>(n == 1 ? AsciiLower(a[i]) : a[i + k]);
      uint8_t y = static_cast<uint8_t>(n == 1 ? AsciiLower(b[i]) : b[i + k]);
      if (x != y) return x < y ? -1 : 1;
    }
    i += n;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool SjisSameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    if (IsLeadByte(a[i]) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      i += 2;
    } else {
      if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
      ++i;
    }
  }
  return true;
}

bool IsTrailByteAt(std::string_view s, size_t i) {
  if (i == 0 || i >= s.size()) return false;
  // The nearest preceding non-lead byte always ends a character, so the lead bytes between it and
  // i pair up from there: an odd run makes byte i a trail byte.
  size_t j = i;
  while (j > 0 && IsLeadByte(s[j - 1])) --j;
  return (i - j) % 2 == 1;
}

int JLength(std::string_view s) {
  int count = 0;
  for (size_t i = 0; i < s.size(); i += SjisCharLength(s, i)) ++count;
  return count;
}

int JCharToByte(std::string_view s, int n) { return static_cast<int>(CharOffset(s, n)) + 1; }

bool IsTrailByte(std::string_view s, int i) {
  if (i < 1 || static_cast<size_t>(i) > s.size()) throw EKivoError("Illegal Index");
  return IsTrailByteAt(s, static_cast<size_t>(i - 1));
}

int JCharAt(std::string_view s, int n) {
  if (n < 1) return 0;
  size_t i = CharOffset(s, n);
  if (i >= s.size()) return 0;
  if (SjisCharLength(s, i) == 2) return static_cast<uint8_t>(s[i]) * 256 + static_cast<uint8_t>(s[i + 1]);
  return static_cast<uint8_t>(s[i]);
}

std::string JCopy(std::string_view s, int index, int count) {
  size_t start = CharOffset(s, index);
  if (start >= s.size()) return "";
  size_t end = start + SjisCharLength(s, start);
  for (int k = 1; k < count && end < s.size(); ++k) end += SjisCharLength(s, end);
  return std::string(s.substr(start, end - start));
}

int JPos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  int position = 1;
  for (size_t i = 0; i < s.size(); i += SjisCharLength(s, i), ++position) {
    if (s.compare(i, sub.size(), sub) == 0) return position;
  }
  return 0;
}

void JInsert(std::string_view sub, std::string& s, int index) {
  s.insert(CharOffset(s, index), sub);
}

void JDelete(std::string& s, int index, int count) {
  size_t start = CharOffset(s, index);
  if (start >= s.size() || count <= 0) return;
  size_t end = start;
  for (int k = 0; k < count && end < s.size(); ++k) end += SjisCharLength(s, end);
  s.erase(start, end - start);
}

std::string FetchToken(std::string& s, std::string_view delimiters) {
  for (size_t i = 0; i < s.size();) {
    size_t n = SjisCharLength(s, i);
    if (n == 1 && delimiters.find(s[i]) != std::string_view::npos) {
      std::string token = s.substr(0, i);
      s.erase(0, i + 1);
      return token;
    }
    i += n;
  }
  std::string token;
  token.swap(s);
  return token;
}

void JTrimLeft(std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    size_t n = SjisCharLength(s, i);
    if (!IsSpaceAt(s, i, n)) break;
    i += n;
  }
  s.erase(0, i);
}

void JTrimRight(std::string& s) {
  // Walk forwards: from the end alone a 0x40 cannot be told from the trail of a space.
  size_t keep = 0;
  for (size_t i = 0; i < s.size();) {
    size_t n = SjisCharLength(s, i);
    if (!IsSpaceAt(s, i, n)) keep = i + n;
    i += n;
  }
  s.erase(keep);
}

std::string JTrim(std::string_view s) {
  std::string out(s);
  JTrimRight(out);
  JTrimLeft(out);
  return out;
}

}  // namespace kivo
