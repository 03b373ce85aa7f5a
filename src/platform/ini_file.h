// INI files ("[Section]" and "Key=Value" lines) read and written the way the Windows profile calls do:
// sections and keys compare case-insensitively, the first occurrence wins, values are trimmed.
#pragma once

#include <string>
#include <vector>

namespace kivo {

class TIniFile {
public:
  // Reads the file if it exists; a missing file is an empty one.
  explicit TIniFile(std::string path);

  bool Exists() const { return exists_; }
  std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
  // Decimal or "0x" hexadecimal; anything else gives the fallback.
  int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
  // "0" is false, any other integer true; non-numbers give the fallback.
  bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  // Writes the file back (atomically); false when that failed.
  bool UpdateFile() const;

private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  const Entry* Find(const std::string& section, const std::string& key) const;

  std::string path_;
  bool exists_ = false;
  std::vector<Section> sections_;
};

}  // namespace kivo
