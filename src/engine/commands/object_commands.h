// Commands that work on existing scene objects, text, history, transitions, media and saves.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/commands/command.h"
#include "engine/commands/kind_of.h"

namespace kivo {

class TComFlip : public TKindOf<CK_FLIP, TCommand> {
public:
  TExpr transition, time, direction, objectHandling;
  std::vector<std::unique_ptr<TExpr>> objects;
  TExpr disposeObjects, param1, param2;
  TExpr image;        // pages after 100
  TExpr blockEvents;  // pages after 106

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComGetProp : public TKindOf<CK_GETPROP, TCommand> {
public:
  TExpr object, property;
  std::string resultVariable;

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComSetProp : public TKindOf<CK_SETPROP, TCommand> {
public:
  TExpr object, property, value;

protected:
  void SerializeRecord(TRecordIO& io) override;
};

// Commands whose record is one object expression.
class TComObjectBase : public TCommand {
public:
  TExpr object;

protected:
  void SerializeRecord(TRecordIO& io) override;
};
class TComObjDel : public TKindOf<CK_OBJDEL, TComObjectBase> {};
class TComMenuClose : public TKindOf<CK_MENUCLOSE, TComObjectBase> {};
class TComTextClr : public TKindOf<CK_TEXTCLR, TComObjectBase> {};
class TComMediaPlay : public TKindOf<CK_MEDIAPLAY, TComObjectBase> {};

class TComTextIns : public TKindOf<CK_TEXTINS, TCommand> {
public:
  std::string text;  // the compiled glyph list of the marked-up text
  TExpr window, history, waitForEnd;
  TExpr blockEvents;  // pages after 106

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComMovieStop : public TKindOf<CK_MOVIESTOP, TCommand> {
public:
  TExpr object, fadeTime, wait;
  TExpr blockEvents;  // pages after 106

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComCallHist : public TKindOf<CK_CALLHIST, TCommand> {
public:
  TExpr window, first, count, flag;
  TExpr formatName;  // pages after 110

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComGameSave : public TKindOf<CK_GAMESAVE, TCommand> {
public:
  TExpr slot;
  std::string resumePage;
  int32_t resumeIndex = 0;  // pages after 104
  TExpr title;
  bool ContinueFlag() const override { return false; }

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComGameLoad : public TKindOf<CK_GAMELOAD, TCommand> {
public:
  TExpr slot;
  bool ContinueFlag() const override { return false; }

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComPropMotion : public TKindOf<CK_PROPMOTION, TCommand> {
public:
  std::array<TExpr, 6> parameters;
  TExpr extra;  // pages after 107

protected:
  void SerializeRecord(TRecordIO& io) override;
};

class TComEntryHist : public TKindOf<CK_FORMATHIST, TCommand> {
public:
  TExpr model;
  TExpr formatName;  // pages after 110

protected:
  void SerializeRecord(TRecordIO& io) override;
};

}  // namespace kivo
