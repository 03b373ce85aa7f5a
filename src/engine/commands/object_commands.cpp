// Records of the object, text, media and save commands.
#include "engine/commands/object_commands.h"

namespace kivo {

void TComFlip::SerializeRecord(TRecordIO& io) {
  ExprField(io, transition);
  ExprField(io, time);
  ExprField(io, direction);
  ExprField(io, objectHandling);
  ExprListField(io, objects);
  ExprField(io, disposeObjects);
  ExprField(io, param1);
  ExprField(io, param2);
  ExprField(io, image, {.since = 101});
  ExprField(io, blockEvents, {.since = 107});
}

void TComGetProp::SerializeRecord(TRecordIO& io) {
  ExprField(io, object);
  ExprField(io, property);
  io.String(resultVariable);
}

void TComSetProp::SerializeRecord(TRecordIO& io) {
  ExprField(io, object);
  ExprField(io, property);
  ExprField(io, value);
}

void TComObjectBase::SerializeRecord(TRecordIO& io) { ExprField(io, object); }

void TComTextIns::SerializeRecord(TRecordIO& io) {
  io.String(text);
  ExprField(io, window);
  ExprField(io, history);
  ExprField(io, waitForEnd);
  ExprField(io, blockEvents, {.since = 107});
}

void TComMovieStop::SerializeRecord(TRecordIO& io) {
  ExprField(io, object);
  ExprField(io, fadeTime);
  ExprField(io, wait);
  ExprField(io, blockEvents, {.since = 107});
}

void TComCallHist::SerializeRecord(TRecordIO& io) {
  ExprField(io, window);
  ExprField(io, first);
  ExprField(io, count);
  ExprField(io, flag);
  ExprField(io, formatName, {.since = 111});
}

void TComGameSave::SerializeRecord(TRecordIO& io) {
  ExprField(io, slot);
  io.String(resumePage);
  io.Int32(resumeIndex, {.since = 105});
  ExprField(io, title);
}

void TComGameLoad::SerializeRecord(TRecordIO& io) { ExprField(io, slot); }

void TComPropMotion::SerializeRecord(TRecordIO& io) {
  for (TExpr& e : parameters) ExprField(io, e);
  ExprField(io, extra, {.since = 108});
}

void TComEntryHist::SerializeRecord(TRecordIO& io) {
  ExprField(io, model);
  ExprField(io, formatName, {.since = 111});
}

}  // namespace kivo
