// Records of the flow-control commands, and the Wait command's waiting state.
#include "engine/commands/flow_commands.h"

namespace kivo {

void TComIfBase::SerializeRecord(TRecordIO& io) { ExprField(io, condition); }

void TComLabelBase::SerializeRecord(TRecordIO& io) { io.String(name); }

void TComJump::SerializeRecord(TRecordIO& io) {
  io.String(page);
  io.Int32(target);
  ExprField(io, condition);
}

void TComCall::SerializeRecord(TRecordIO& io) {
  io.String(page);
  io.Int32(start);
  io.String(resultVariable);
  ExprField(io, condition);
  ExprListField(io, arguments);
}

void TComExitBase::SerializeRecord(TRecordIO& io) { ExprField(io, condition); }

void TComLoopJump::SerializeRecord(TRecordIO& io) {
  TComExitBase::SerializeRecord(io);
  io.Int32(target);
}

void TComWait::SerializeRecord(TRecordIO& io) {
  ExprField(io, condition);
  ExprField(io, time);
  ExprField(io, blockEvents, {.since = 107});
}

void TComWait::SaveWaitingState(TStream& stream) {
  WriteWaitingTag(stream);
  TBinaryWriter w(stream);
  w.Int32(remaining);
  w.Int32(skipFirst);
  w.Bool(blocks_);
}

void TComWait::LoadWaitingState(TStream& stream) {
  int version = ReadWaitingTag(stream);
  TBinaryReader r(stream);
  remaining = r.Int32();
  skipFirst = r.Int32();
  blocks_ = version >= 100 ? r.Bool() : false;
}

void TComCalc::SerializeRecord(TRecordIO& io) { ExprField(io, statement); }

void TComVarNew::SerializeRecord(TRecordIO& io) {
  io.String(name);
  io.Byte(type);
  ExprField(io, initialValue);
  io.Byte(scope);
}

void TComVarDel::SerializeRecord(TRecordIO& io) { io.String(name); }

void TComWhile::SerializeRecord(TRecordIO& io) {
  ExprField(io, condition);
  io.Int32(loopEnd);
}

void TComWhileInitBase::SerializeRecord(TRecordIO& io) { ExprField(io, statement); }

void TComWhileLoop::SerializeRecord(TRecordIO& io) {
  TComWhileInitBase::SerializeRecord(io);
  io.Int32(loopHead);
}

void TComPCResetBase::SerializeRecord(TRecordIO& io) {
  io.String(page);
  io.Int32(start);
  io.Byte(flag);
}

}  // namespace kivo
