// Builds a minimal Windows program file (PE32) carrying one named resource, for the resource-archive tests.
#pragma once

#include <cstdint>
#include <string>

namespace kivo::testkit {

inline std::string MinimalPeWithResource(const std::string& type, const std::string& name, const std::string& data) {
  auto put16 = [](std::string& s, size_t at, uint16_t v) {
    s[at] = static_cast<char>(v);
    s[at + 1] = static_cast<char>(v >> 8);
  };
  auto put32 = [](std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
  };
  const uint32_t sectionRva = 0x1000, rawOffset = 0x200;
  // The resource section: three directory levels, two name strings, one data entry, the data.
  std::string rsrc(0x80, '\0');
  auto addString = [&](const std::string& text) {
    uint32_t at = static_cast<uint32_t>(rsrc.size());
    std::string s(2 + text.size() * 2, '\0');
    put16(s, 0, static_cast<uint16_t>(text.size()));
    for (size_t i = 0; i < text.size(); ++i) s[2 + 2 * i] = text[i];
    rsrc += s;
    while (rsrc.size() % 4) rsrc.push_back('\0');
    return at;
  };
  uint32_t typeName = addString(type), resourceName = addString(name);
  uint32_t dataAt = static_cast<uint32_t>(rsrc.size());
  rsrc += data;
  // Root at 0x00 (the type), name directory at 0x18, language directory at 0x30, leaf at 0x48.
  put16(rsrc, 0x0C, 1);
  put32(rsrc, 0x10, 0x80000000u | typeName);
  put32(rsrc, 0x14, 0x80000000u | 0x18);
  put16(rsrc, 0x18 + 0x0C, 1);
  put32(rsrc, 0x18 + 0x10, 0x80000000u | resourceName);
  put32(rsrc, 0x18 + 0x14, 0x80000000u | 0x30);
  put16(rsrc, 0x30 + 0x0E, 1);
  put32(rsrc, 0x30 + 0x10, 0x411);
  put32(rsrc, 0x30 + 0x14, 0x48);
  put32(rsrc, 0x48, sectionRva + dataAt);
  put32(rsrc, 0x4C, static_cast<uint32_t>(data.size()));

  std::string pe(rawOffset, '\0');
  pe[0] = 'M';
  pe[1] = 'Z';
  put32(pe, 0x3C, 0x40);
  pe.replace(0x40, 4, std::string("PE\0\0", 4));
  put16(pe, 0x44, 0x14C);
  put16(pe, 0x46, 1);
  put16(pe, 0x54, 224);
  size_t optional = 0x58;
  put16(pe, optional, 0x10B);
  put32(pe, optional + 92, 16);
  put32(pe, optional + 96 + 16, sectionRva);
  put32(pe, optional + 96 + 20, static_cast<uint32_t>(rsrc.size()));
  size_t section = optional + 224;
  pe.replace(section, 5, ".rsrc");
  put32(pe, section + 8, static_cast<uint32_t>(rsrc.size()));
  put32(pe, section + 12, sectionRva);
  put32(pe, section + 16, static_cast<uint32_t>(rsrc.size()));
  put32(pe, section + 20, rawOffset);
  return pe + rsrc;
}

}  // namespace kivo::testkit
