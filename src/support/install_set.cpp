// TKivoInstallSet: the "install.dat" layout.
#include "support/install_set.h"

#include "platform/kivo_error.h"
#include "platform/paths.h"
#include "support/binary_io.h"
#include "support/sjis.h"

namespace kivo {

namespace {

void StringList(TRecordIO& io, std::vector<std::string>& strings, bool skipEmpty, Gate gate) {
  if (!io.Has(gate)) return;
  if (!io.Reading()) {
    io.Writer().Int32(static_cast<int32_t>(strings.size()));
    for (const std::string& s : strings) io.Writer().String(s);
    return;
  }
  int32_t count = io.Reader().Count(4);
  strings.clear();
  strings.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    std::string s = io.Reader().String();
    if (!skipEmpty || !s.empty()) strings.push_back(std::move(s));
  }
}

// Up to version 99 the values are 4 bytes, read into the low half of the 8-byte slot.
void Value(TRecordIO& io, int64_t& v) {
  if (io.Reading() && io.Version() <= 99) {
    v = static_cast<int64_t>(io.Reader().UInt32());
  } else {
    io.Int64(v);
  }
}

}  // namespace

void TKivoInstallSet::Fields(TRecordIO& io) {
  io.Int32(DiscIndex);
  io.String(Title);
  for (std::string& s : Strings4) io.String(s);
  io.Byte(ByteA);
  io.String(String8);
  io.Byte(ByteB);
  int32_t entryCount = static_cast<int32_t>(Entries.size());
  if (io.Reading()) {
    entryCount = io.Reader().Count(io.Version() > 99 ? 32 : 16);
  } else {
    io.Int32(entryCount);
  }
  io.String(String11);
  io.Int32(IntC);
  io.Byte(ByteD);
  io.Byte(ByteE);
  for (std::string& s : Strings13) io.String(s);
  Entries.resize(static_cast<size_t>(entryCount));
  for (auto& entry : Entries) {
    for (int64_t& v : entry) Value(io, v);
  }
  for (int64_t& v : Values16) Value(io, v);
  io.Byte(ByteF);
  io.Byte(ByteG, {.since = 101});
  StringList(io, Files, true, {.since = 102});  // empty names are dropped on reading
  io.Byte(AllInstalled, {.since = 103});
  io.Byte(ByteH, {.since = 104});
  io.Byte(ByteI, {.since = 105});
  StringList(io, Strings23, false, {.since = 106});
  io.String(String24, {.since = 107});
  for (std::string& s : Strings25) io.String(s, {.since = 108});
}

void TKivoInstallSet::LoadFromStream(TStream& stream) {
  // Read into a fresh set so a damaged file leaves this one as it was.
  TKivoInstallSet loaded;
  TBinaryReader r(stream);
  int64_t start = stream.Position();
  char mark[2] = {0, 0};
  if (stream.Read(mark, 2) == 2 && mark[0] == 'i' && mark[1] == 's') {
    std::string digits = r.FixedText(3);
    for (char c : digits) {
      if (c < '0' || c > '9') throw EKivoError("install.dat: bad version \"" + digits + "\"");
    }
    loaded.loadedVersion_ = std::stoi(digits);
  } else {
    stream.SetPosition(start);
  }
  TRecordIO io(r, loaded.loadedVersion_);
  loaded.Fields(io);
  *this = std::move(loaded);
}

void TKivoInstallSet::SaveToStream(TStream& stream) const {
  TBinaryWriter w(stream);
  w.FixedText("is" + std::to_string(kVersion));
  TRecordIO io(w, kVersion);
  // The field list takes its fields by reference for both directions; writing works on a copy.
  TKivoInstallSet copy = *this;
  copy.Fields(io);
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
