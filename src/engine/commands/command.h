// TCommand: one command of a script page — the common head, the record stream and the
// operations the call manager drives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/binary_io.h"
#include "values/expr/kivo_parser.h"

namespace kivo {

class TCallMan;
class TPage;

// The command kinds, by their stored codes.
enum TCommandKind : int {
  CK_IF = 0, CK_ELSEIF, CK_ELSE, CK_LABEL, CK_JUMP, CK_CALL, CK_EXIT, CK_WAIT, CK_BOXNEW, CK_IMGNEW,
  CK_MESNEW, CK_TIMER, CK_MOVIE, CK_FLIP, CK_CALC, CK_VARNEW, CK_VARDEL, CK_GETPROP, CK_SETPROP, CK_OBJDEL,
  CK_TEXTINS, CK_MOVIESTOP, CK_CLRHIST, CK_CINEMA, CK_CAPTION, CK_MENU, CK_MENUCLOSE, CK_COMMENT, CK_TEXTCLR,
  CK_CALLHIST, CK_BUTTON, CK_WHILE, CK_WHILEINIT, CK_WHILELOOP, CK_BREAK, CK_CONTINUE, CK_PARTICLENEW,
  CK_FIRENEW, CK_GAMESAVE, CK_GAMELOAD, CK_PCRESET, CK_RESET, CK_SOUND, CK_EDITNEW, CK_MEMONEW, CK_TERMINATE,
  CK_DOEVENT, CK_CLRREAD, CK_MAPIMGNEW, CK_WAVENEW, CK_TILENEW, CK_SLIDERNEW, CK_SCROLLBARNEW, CK_GAUGENEW,
  CK_CGCAPTION, CK_MEDIAPLAY, CK_PREVMENUNEW, CK_PROPMOTION, CK_FORMATHIST, CK_SAVECABINET, CK_LOADCABINET,
};
constexpr int kCommandKindCount = 61;

// One expression field of a record; empty when the author left it blank.
using TExpr = TKivoParser;
void ExprField(TRecordIO& io, TExpr& expr, Gate gate = {});
// An int32 count, then that many expressions.
void ExprListField(TRecordIO& io, std::vector<std::unique_ptr<TExpr>>& list);

class TCommand {
public:
  TCommand() = default;
  virtual ~TCommand() = default;
  TCommand(const TCommand&) = delete;
  TCommand& operator=(const TCommand&) = delete;

  virtual int Kind() const = 0;
  virtual bool ContinueFlag() const { return continue_; }
  virtual bool Disabled() const { return disabled_; }
  virtual void SetDisabled(bool disabled) { disabled_ = disabled; }
  // Whether events may not start while this command waits.
  virtual bool BlocksEvents() const { return false; }
  // Called once after the command is made for a page, before its record is read.
  virtual void Create(const TPage& owner);
  virtual bool MatchesLabel(const std::string&) const { return false; }

  // The head then the kind's record, in the page's version.
  void Serialize(TRecordIO& io);

  virtual void Begin(TCallMan&) {}
  // Runs the command; the base moves on to the next one.
  virtual void Execute(TCallMan& callMan, int32_t& programCounter);
  virtual void SaveWaitingState(TStream&) {}
  virtual void LoadWaitingState(TStream&) {}
  virtual void FinishAtOnce(TCallMan&) {}
  virtual bool IsWaitingCommand() const { return false; }

  int32_t Indent() const { return indent_; }
  int32_t Line() const { return line_; }
  bool StoredContinue() const { return continue_; }
  bool StoredDisabled() const { return disabled_; }
  void SetHead(int32_t indent, bool disabled, bool continueFlag, int32_t line);

protected:
  // The fields after the head.
  virtual void SerializeRecord(TRecordIO&) {}

private:
  int32_t indent_ = 0;
  bool disabled_ = false;
  bool continue_ = false;
  int32_t line_ = 0;
};

// A command without behaviour of its own beyond moving on.
class TComRuntime : public TCommand {};

// Waiting-state streams begin with "kivo" and a three-digit version.
void WriteWaitingTag(TStream& stream, int version = 100);
// The version after the tag, or 0 (with the stream rewound) when there is no tag.
int ReadWaitingTag(TStream& stream);

}  // namespace kivo
