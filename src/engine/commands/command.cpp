// The command base: head, record streaming and the default operations.
#include "engine/commands/command.h"

#include <cstring>

namespace kivo {

void ExprField(TRecordIO& io, TExpr& expr, Gate gate) {
  if (!io.Has(gate)) return;
  if (io.Reading())
    expr.LoadRunForm(io.Reader().Stream());
  else
    expr.SaveRunForm(io.Writer().Stream());
}

// Argument lists: an int32 count, then that many expressions.
void ExprListField(TRecordIO& io, std::vector<std::unique_ptr<TExpr>>& list) {
  if (io.Reading()) {
    int32_t count = io.Reader().Count(4);  // an empty expression is its int32 count
    list.clear();
    for (int32_t i = 0; i < count; ++i) list.push_back(std::make_unique<TExpr>());
  } else {
    io.Writer().Int32(static_cast<int32_t>(list.size()));
  }
  for (auto& e : list) ExprField(io, *e);
}

void TCommand::Create(const TPage&) {}

void TCommand::SetHead(int32_t indent, bool disabled, bool continueFlag, int32_t line) {
  indent_ = indent;
  disabled_ = disabled;
  continue_ = continueFlag;
  line_ = line;
}

void TCommand::Serialize(TRecordIO& io) {
  io.Int32(indent_);
  io.Bool(disabled_);
  io.Bool(continue_);
  io.Int32(line_);
  SerializeRecord(io);
}

void TCommand::Execute(TCallMan&, int32_t& programCounter) { ++programCounter; }

void WriteWaitingTag(TStream& stream, int version) {
  int v = ((version % 1000) + 1000) % 1000;
  char tag[7] = {'k', 'i', 'v', 'o', static_cast<char>('0' + v / 100), static_cast<char>('0' + v / 10 % 10),
                 static_cast<char>('0' + v % 10)};
  stream.WriteBuffer(tag, 7);
}

int ReadWaitingTag(TStream& stream) {
  int64_t start = stream.Position();
  char tag[7];
  if (stream.Read(tag, 7) == 7 && std::memcmp(tag, "kivo", 4) == 0) {
    bool digits = true;
    for (int i = 4; i < 7; ++i) digits = digits && tag[i] >= '0' && tag[i] <= '9';
    if (digits) return (tag[4] - '0') * 100 + (tag[5] - '0') * 10 + (tag[6] - '0');
  }
  stream.SetPosition(start);
  return 0;
}

}  // namespace kivo
