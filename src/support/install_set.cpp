// TKivoInstallSet: the "install.dat" layout.
#include "support/install_set.h"

#include "platform/kivo_error.h"
#include "platform/paths.h"
#include "support/binary_io.h"
#include "support/sjis.h"

namespace kivo {

namespace {

std::vector<std::string> ReadStrings(TBinaryReader& r, bool skipEmpty) {
  int32_t count = r.Count(4);
  std::vector<std::string> out;
  out.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    std::string s = r.String();
    if (!skipEmpty || !s.empty()) out.push_back(std::move(s));
  }
  return out;
}

void WriteStrings(TBinaryWriter& w, const std::vector<std::string>& strings) {
  w.Int32(static_cast<int32_t>(strings.size()));
  for (const std::string& s : strings) w.String(s);
}

// Up to version 99 the values are 4 bytes, read into the low half of the 8-byte slot.
int64_t ReadValue(TBinaryReader& r, int version) {
  return version > 99 ? r.Int64() : static_cast<int64_t>(r.UInt32());
}

}  // namespace

void TKivoInstallSet::LoadFromStream(TStream& stream) {
  // Read into a fresh set so a damaged file leaves this one as it was.
  TKivoInstallSet loaded;
  loaded.Read(stream);
  *this = std::move(loaded);
}

void TKivoInstallSet::Read(TStream& stream) {
  TBinaryReader r(stream);
  int64_t start = stream.Position();
  int version = 0;
  char mark[2] = {0, 0};
  if (stream.Read(mark, 2) == 2 && mark[0] == 'i' && mark[1] == 's') {
    std::string digits = r.FixedText(3);
    for (char c : digits) {
      if (c < '0' || c > '9') throw EKivoError("install.dat: bad version \"" + digits + "\"");
    }
    version = std::stoi(digits);
  } else {
    stream.SetPosition(start);
  }

  DiscIndex = r.Int32();
  Title = r.String();
  for (std::string& s : Strings4) s = r.String();
  ByteA = r.Byte();
  String8 = r.String();
  ByteB = r.Byte();
  int32_t entryCount = r.Count(version > 99 ? 32 : 16);
  String11 = r.String();
  IntC = r.Int32();
  ByteD = r.Byte();
  ByteE = r.Byte();
  for (std::string& s : Strings13) s = r.String();
  Entries.resize(static_cast<size_t>(entryCount));
  for (auto& entry : Entries) {
    for (int64_t& v : entry) v = ReadValue(r, version);
  }
  for (int64_t& v : Values16) v = ReadValue(r, version);
  ByteF = r.Byte();
  if (version > 100) ByteG = r.Byte();
  if (version > 101) Files = ReadStrings(r, true);
  if (version > 102) AllInstalled = r.Byte();
  if (version > 103) ByteH = r.Byte();
  if (version > 104) ByteI = r.Byte();
  if (version > 105) Strings23 = ReadStrings(r, false);
  if (version > 106) String24 = r.String();
  if (version > 107) {
    for (std::string& s : Strings25) s = r.String();
  }
  loadedVersion_ = version;
}

void TKivoInstallSet::SaveToStream(TStream& stream) const {
  TBinaryWriter w(stream);
  w.FixedText("is" + std::to_string(kVersion));
  w.Int32(DiscIndex);
  w.String(Title);
  for (const std::string& s : Strings4) w.String(s);
  w.Byte(ByteA);
  w.String(String8);
  w.Byte(ByteB);
  w.Int32(static_cast<int32_t>(Entries.size()));
  w.String(String11);
  w.Int32(IntC);
  w.Byte(ByteD);
  w.Byte(ByteE);
  for (const std::string& s : Strings13) w.String(s);
  for (const auto& entry : Entries) {
    for (int64_t v : entry) w.Int64(v);
  }
  for (int64_t v : Values16) w.Int64(v);
  w.Byte(ByteF);
  w.Byte(ByteG);
  WriteStrings(w, Files);
  w.Byte(AllInstalled);
  w.Byte(ByteH);
  w.Byte(ByteI);
  WriteStrings(w, Strings23);
  w.String(String24);
  for (const std::string& s : Strings25) w.String(s);
}

void TKivoInstallSet::LoadFromFile(const std::string& path) {
  std::string contents;
  if (!ReadWholeFile(path, contents)) throw EKivoError("Cannot open file \"" + path + "\"");
  TMemoryStream stream(std::vector<uint8_t>(contents.begin(), contents.end()));
  LoadFromStream(stream);
}

void TKivoInstallSet::SaveToFile(const std::string& path) const {
  TMemoryStream stream;
  SaveToStream(stream);
  const auto& bytes = stream.Bytes();
  if (!WriteFileAtomically(path, std::string(bytes.begin(), bytes.end())))
    throw EKivoError("Cannot create file \"" + path + "\"");
}

int TKivoInstallSet::IndexOfFile(std::string_view name) const {
  for (size_t i = 0; i < Files.size(); ++i) {
    if (SjisSameText(Files[i], name)) return static_cast<int>(i);
  }
  return -1;
}

void TKivoInstallSet::AddFile(const std::string& name) {
  if (IndexOfFile(name) < 0) Files.push_back(name);
}

}  // namespace kivo
