// The project file's fields in file order, with their version gates; one list for both directions.
#include "engine/project_setting.h"

#include "platform/kivo_error.h"
#include "support/binary_io.h"

namespace kivo {
namespace {

const char kUnsupportedVersion[] =
    "\x82\xB1\x82\xCC\x83o\x81[\x83W\x83\x87\x83\x93\x82\xC9\x82\xCD\x91\xCE\x89\x9E\x82\xB5\x82\xC4\x82\xA2\x82\xDC"
    "\x82\xB9\x82\xF1";  // このバージョンには対応していません

void SerializeVariable(TRecordIO& io, TInitialVariable& v) {
  io.Byte(v.type);
  io.String(v.name);
  switch (v.type) {
    case TInitialVariable::Integer: io.Int32(v.intValue); break;
    case TInitialVariable::Float: io.ExtendedValue(v.floatValue); break;
    case TInitialVariable::Boolean: io.Bool(v.boolValue); break;
    case TInitialVariable::String: io.String(v.stringValue); break;
    default: break;  // other types carry no value
  }
}

// Everything after the version.
void SerializeFields(TRecordIO& io, TProjectSetting& s) {
  io.String(s.title);
  io.Int32(s.screenWidth);
  io.Int32(s.screenHeight);
  io.Int32(s.fullScreenWidthHint);
  io.Int32(s.fullScreenHeightHint);
  io.String(s.startPage);
  io.String(s.exitPage, {.since = 110});
  io.String(s.registryKey);
  io.Int32(s.imageSeed);
  io.Bool(s.writeStatusFile, {.since = 104});
  io.Bool(s.idleYield, {.since = 106});
  io.String(s.mediaExtensions, {.since = 109});
  io.Bool(s.pauseWhenInactive, {.since = 113});
  io.Bool(s.startFlag, {.since = 114});
  io.Bool(s.toolbarVisible, {.since = 116});
  io.String(s.discPrompt);
  io.String(s.quitNotice);
  if (io.Reading()) {
    // A name and a type byte at least per record.
    int32_t count = io.Reader().Count(5);
    s.initialVariables.assign(static_cast<size_t>(count), {});
  } else {
    io.Writer().Int32(static_cast<int32_t>(s.initialVariables.size()));
  }
  for (TInitialVariable& v : s.initialVariables) SerializeVariable(io, v);
  if (io.Reading())
    s.folderDiscs.LoadFromStream(io.Reader().Stream());
  else
    s.folderDiscs.SaveToStream(io.Writer().Stream());
}

}  // namespace

void TProjectSetting::LoadFromStream(TStream& stream) {
  TBinaryReader reader(stream);
  *this = TProjectSetting{};
  version = reader.Int32();
  if (version > kNewestVersion) throw EKivoError(kUnsupportedVersion);
  TRecordIO io(reader, version);
  SerializeFields(io, *this);
}

void TProjectSetting::SaveToStream(TStream& stream) const {
  TBinaryWriter writer(stream);
  writer.Int32(version);
  TRecordIO io(writer, version);
  SerializeFields(io, const_cast<TProjectSetting&>(*this));
}

}  // namespace kivo
