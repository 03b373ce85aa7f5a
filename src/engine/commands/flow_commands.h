// The flow-control, variable and reset commands: their records and fixed flags.
#pragma once

#include <string>
#include <vector>

#include "engine/commands/command.h"
#include "engine/commands/kind_of.h"

namespace kivo {

class TComIfBase : public TCommand {
public:
  TExpr condition;

protected:
  void SerializeRecord(TRecordIO& io) override;
};
class TComIf : public TKindOf<CK_IF, TComIfBase> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};
// Reached only by falling out of the block before it: skips its own block.
class TComElseif : public TKindOf<CK_ELSEIF, TComIfBase> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};

class TComElse : public TKindOf<CK_ELSE, TCommand> {
public:
  bool ContinueFlag() const override { return true; }
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};

class TComLabelBase : public TCommand {
public:
  std::string name;

protected:
  void SerializeRecord(TRecordIO& io) override;
};
class TComLabel : public TKindOf<CK_LABEL, TComLabelBase> {
public:
  bool MatchesLabel(const std::string& label) const override { return label == name; }
};
// A comment keeps its text in the label's field, but is never a jump target and never runs.
class TComComment : public TKindOf<CK_COMMENT, TComLabelBase> {
public:
  bool Disabled() const override { return true; }
};

class TComJump : public TKindOf<CK_JUMP, TCommand> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
  std::string page;
  int32_t target = 0;
  TExpr condition;

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComCall : public TKindOf<CK_CALL, TCommand> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
  std::string page;
  int32_t start = 0;
  std::string resultVariable;
  TExpr condition;
  std::vector<std::unique_ptr<TExpr>> arguments;

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComExitBase : public TCommand {
public:
  TExpr condition;

protected:
  void SerializeRecord(TRecordIO& io) override;
};
class TComExit : public TKindOf<CK_EXIT, TComExitBase> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};

// Break and Continue: an Exit with a jump target (negative: the page ends).
class TComLoopJump : public TComExitBase {
public:
  int32_t target = 0;

protected:
  void SerializeRecord(TRecordIO& io) override;
};
class TComBreak : public TKindOf<CK_BREAK, TComLoopJump> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};
class TComContinue : public TKindOf<CK_CONTINUE, TComLoopJump> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};

class TComWait : public TKindOf<CK_WAIT, TCommand> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
  TExpr condition;
  TExpr time;
  TExpr blockEvents;  // pages after 106

  void Begin(TCallMan& callMan) override;
  bool BlocksEvents() const override { return blocks_; }
  bool IsWaitingCommand() const override { return true; }
  void SaveWaitingState(TStream& stream) override;
  void LoadWaitingState(TStream& stream) override;

  // The waiting state: what is left of the time, whether the arming frame is still to come.
  int32_t remaining = 0;
  int32_t skipFirst = 0;

protected:
  void SerializeRecord(TRecordIO& io) override;
  bool blocks_ = false;
};

class TComCalc : public TKindOf<CK_CALC, TCommand> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
  TExpr statement;

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComVarNew : public TKindOf<CK_VARNEW, TCommand> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
  std::string name;
  uint8_t type = 0;
  TExpr initialValue;
  uint8_t scope = 0;  // 0 global, 1 auto-destroyed, 2 local, 3 status

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComVarDel : public TKindOf<CK_VARDEL, TCommand> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
  std::string name;

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComWhile : public TKindOf<CK_WHILE, TCommand> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
  TExpr condition;
  int32_t loopEnd = 0;

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComWhileInitBase : public TComRuntime {
public:
  TExpr statement;
  bool ContinueFlag() const override { return true; }

protected:
  void SerializeRecord(TRecordIO& io) override;
};
class TComWhileInit : public TKindOf<CK_WHILEINIT, TComWhileInitBase> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};

class TComWhileLoop : public TKindOf<CK_WHILELOOP, TComWhileInitBase> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
  int32_t loopHead = 0;

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComPCResetBase : public TCommand {
public:
  std::string page;
  int32_t start = 0;
  uint8_t flag = 0;  // PCReset: all levels

protected:
  void SerializeRecord(TRecordIO& io) override;
};
class TComPCReset : public TKindOf<CK_PCRESET, TComPCResetBase> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};
class TComReset : public TKindOf<CK_RESET, TComPCResetBase> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};

class TComDoEvent : public TKindOf<CK_DOEVENT, TCommand> {
public:
  bool ContinueFlag() const override { return false; }
  bool IsWaitingCommand() const override { return true; }
};

class TComTerminate : public TKindOf<CK_TERMINATE, TCommand> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};
class TComClrRead : public TKindOf<CK_CLRREAD, TCommand> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};
class TComClrHist : public TKindOf<CK_CLRHIST, TCommand> {
public:
  void Execute(TCallMan& callMan, int32_t& programCounter) override;
};

}  // namespace kivo
