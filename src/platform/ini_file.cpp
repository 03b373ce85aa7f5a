// INI reading and writing.
#include "platform/ini_file.h"

#include <cstdlib>
#include <strings.h>

#include "platform/paths.h"

namespace kivo {
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) { return ::strcasecmp(a.c_str(), b.c_str()) == 0; }

bool ParseInteger(const std::string& text, long& value) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  char* end = nullptr;
  int base = (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) ? 16 : 10;
  value = std::strtol(t.c_str(), &end, base);
  return end && *end == '\0';
}

}  // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
  std::string contents;
  if (!ReadWholeFile(path_, contents)) return;
  exists_ = true;
  Section* current = nullptr;
  size_t start = 0;
  while (start <= contents.size()) {
    size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    std::string line = Trim(contents.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      std::string name = Trim(line.substr(1, line.size() - 2));
      current = nullptr;
      for (Section& s : sections_)
        if (SameName(s.name, name)) current = &s;
      if (!current) current = &sections_.emplace_back(Section{name, {}});
      continue;
    }
    size_t eq = line.find('=');
    if (!current || eq == std::string::npos) continue;
    current->entries.push_back({Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
  }
}

const TIniFile::Entry* TIniFile::Find(const std::string& section, const std::string& key) const {
  for (const Section& s : sections_) {
    if (!SameName(s.name, section)) continue;
    for (const Entry& e : s.entries)
      if (SameName(e.key, key)) return &e;
  }
  return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
  const Entry* e = Find(section, key);
  return e ? e->value : fallback;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
  const Entry* e = Find(section, key);
  long value;
  return e && ParseInteger(e->value, value) ? static_cast<int>(value) : fallback;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
  const Entry* e = Find(section, key);
  long value;
  return e && ParseInteger(e->value, value) ? value != 0 : fallback;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  for (Section& s : sections_) {
    if (!SameName(s.name, section)) continue;
    for (Entry& e : s.entries)
      if (SameName(e.key, key)) {
        e.value = value;
        return;
      }
    s.entries.push_back({key, value});
    return;
  }
  sections_.push_back({section, {{key, value}}});
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::UpdateFile() const {
  std::string out;
  for (const Section& s : sections_) {
    out += "[" + s.name + "]\r\n";
    for (const Entry& e : s.entries) out += e.key + "=" + e.value + "\r\n";
    out += "\r\n";
  }
  return WriteFileAtomically(path_, out);
}

}  // namespace kivo
