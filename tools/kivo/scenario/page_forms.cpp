// The field tables of the 61 kinds.
#include "page_forms.h"

#include <array>

#include "engine/commands/command_factory.h"
#include "engine/commands/component_commands.h"
#include "engine/commands/flow_commands.h"
#include "engine/commands/object_commands.h"

namespace kivo::scenario {
namespace {

template <class C, class M>
TField Field(const char* name, TFieldType type, M C::*member, Gate gate = {}, TByteNames names = TByteNames::None) {
  return {name, type, [member](TCommand& c) -> void* { return &(static_cast<C&>(c).*member); }, gate, names};
}

TField Expr(const char* name, TExpr TComExitBase::*m) { return Field(name, TFieldType::Expr, m); }

TKindForm MakeForm(int kind) {
  using T = TFieldType;
  TKindForm f;
  switch (kind) {
    case CK_IF:
    case CK_ELSEIF:
      f.main = "condition";
      f.fields = {Field("condition", T::Expr, &TComIfBase::condition)};
      break;
    case CK_LABEL:
      f.main = "name";
      f.restOfLine = true;
      f.fields = {Field("name", T::Str, &TComLabelBase::name)};
      break;
    case CK_COMMENT:
      f.main = "text";
      f.restOfLine = true;
      f.fields = {Field("text", T::Str, &TComLabelBase::name)};
      break;
    case CK_JUMP:
      f.main = "page";
      f.fields = {Field("page", T::Str, &TComJump::page), Field("target", T::Int, &TComJump::target),
                  Field("if", T::Expr, &TComJump::condition)};
      f.labelField = "target";
      f.labelPage = "page";
      break;
    case CK_CALL:
      f.main = "page";
      f.fields = {Field("page", T::Str, &TComCall::page), Field("start", T::Int, &TComCall::start),
                  Field("result", T::Str, &TComCall::resultVariable), Field("if", T::Expr, &TComCall::condition),
                  Field("args", T::ExprList, &TComCall::arguments)};
      f.labelField = "start";
      f.labelPage = "page";
      break;
    case CK_EXIT:
      f.main = "if";
      f.fields = {Expr("if", &TComExitBase::condition)};
      break;
    case CK_BREAK:
    case CK_CONTINUE:
      f.main = "if";
      f.fields = {Expr("if", &TComExitBase::condition), Field("target", T::Int, &TComLoopJump::target)};
      f.loop = kind == CK_BREAK ? TLoopIndex::Break : TLoopIndex::Continue;
      f.loopField = "target";
      break;
    case CK_WAIT:
      f.main = "time";
      f.fields = {Field("time", T::Expr, &TComWait::time), Field("if", T::Expr, &TComWait::condition),
                  Field("blockEvents", T::Expr, &TComWait::blockEvents, {.since = 107})};
      break;
    case CK_FLIP:
      f.main = "transition";
      f.fields = {Field("transition", T::Expr, &TComFlip::transition), Field("time", T::Expr, &TComFlip::time),
                  Field("direction", T::Expr, &TComFlip::direction),
                  Field("handling", T::Expr, &TComFlip::objectHandling),
                  Field("objects", T::ExprList, &TComFlip::objects),
                  Field("dispose", T::Expr, &TComFlip::disposeObjects), Field("param1", T::Expr, &TComFlip::param1),
                  Field("param2", T::Expr, &TComFlip::param2),
                  Field("image", T::Expr, &TComFlip::image, {.since = 101}),
                  Field("blockEvents", T::Expr, &TComFlip::blockEvents, {.since = 107})};
      break;
    case CK_CALC:
      f.main = "statement";
      f.fields = {Field("statement", T::Expr, &TComCalc::statement)};
      break;
    case CK_VARNEW:
      f.main = "name";
      f.fields = {Field("name", T::Str, &TComVarNew::name),
                  Field("type", T::Byte, &TComVarNew::type, {}, TByteNames::Type),
                  Field("value", T::Expr, &TComVarNew::initialValue),
                  Field("scope", T::Byte, &TComVarNew::scope, {}, TByteNames::Scope)};
      break;
    case CK_VARDEL:
      f.main = "name";
      f.fields = {Field("name", T::Str, &TComVarDel::name)};
      break;
    case CK_GETPROP:
      f.main = "object";
      f.fields = {Field("object", T::Expr, &TComGetProp::object), Field("property", T::Expr, &TComGetProp::property),
                  Field("result", T::Str, &TComGetProp::resultVariable)};
      break;
    case CK_SETPROP:
      f.main = "object";
      f.fields = {Field("object", T::Expr, &TComSetProp::object), Field("property", T::Expr, &TComSetProp::property),
                  Field("value", T::Expr, &TComSetProp::value)};
      break;
    case CK_OBJDEL:
    case CK_MENUCLOSE:
    case CK_TEXTCLR:
    case CK_MEDIAPLAY:
      f.main = "object";
      f.fields = {Field("object", T::Expr, &TComObjectBase::object)};
      break;
    case CK_TEXTINS:
      f.fields = {Field("text", T::Text, &TComTextIns::text), Field("window", T::Expr, &TComTextIns::window),
                  Field("history", T::Expr, &TComTextIns::history), Field("wait", T::Expr, &TComTextIns::waitForEnd),
                  Field("blockEvents", T::Expr, &TComTextIns::blockEvents, {.since = 107})};
      break;
    case CK_MOVIESTOP:
      f.main = "object";
      f.fields = {Field("object", T::Expr, &TComMovieStop::object), Field("fade", T::Expr, &TComMovieStop::fadeTime),
                  Field("wait", T::Expr, &TComMovieStop::wait),
                  Field("blockEvents", T::Expr, &TComMovieStop::blockEvents, {.since = 107})};
      break;
    case CK_CALLHIST:
      f.main = "window";
      f.fields = {Field("window", T::Expr, &TComCallHist::window), Field("first", T::Expr, &TComCallHist::first),
                  Field("count", T::Expr, &TComCallHist::count), Field("flag", T::Expr, &TComCallHist::flag),
                  Field("format", T::Expr, &TComCallHist::formatName, {.since = 111})};
      break;
    case CK_GAMESAVE:
      f.main = "slot";
      f.fields = {Field("slot", T::Expr, &TComGameSave::slot), Field("page", T::Str, &TComGameSave::resumePage),
                  Field("index", T::Int, &TComGameSave::resumeIndex, {.since = 105}),
                  Field("title", T::Expr, &TComGameSave::title)};
      f.labelField = "index";
      f.labelPage = "page";
      break;
    case CK_GAMELOAD:
      f.main = "slot";
      f.fields = {Field("slot", T::Expr, &TComGameLoad::slot)};
      break;
    case CK_PCRESET:
    case CK_RESET:
      f.main = "page";
      f.fields = {Field("page", T::Str, &TComPCResetBase::page), Field("start", T::Int, &TComPCResetBase::start),
                  Field("flag", T::Byte, &TComPCResetBase::flag)};
      f.labelField = "start";
      f.labelPage = "page";
      break;
    case CK_PROPMOTION:
      for (size_t i = 0; i < 6; ++i) {
        std::string name = "p" + std::to_string(i + 1);
        f.fields.push_back({name, T::Expr, [i](TCommand& c) -> void* {
                              return &static_cast<TComPropMotion&>(c).parameters[i];
                            }, {}, TByteNames::None});
      }
      f.fields.push_back(Field("extra", T::Expr, &TComPropMotion::extra, {.since = 108}));
      break;
    case CK_FORMATHIST:
      f.main = "model";
      f.fields = {Field("model", T::Expr, &TComEntryHist::model),
                  Field("format", T::Expr, &TComEntryHist::formatName, {.since = 111})};
      break;
    case CK_SAVECABINET:
    case CK_LOADCABINET:
      f.component = true;
      f.fields = {Field("target", T::Expr, &TComCabinet::target), Field("items", T::ExprList, &TComCabinet::items)};
      break;
    case CK_WHILE:
      f.main = "condition";
      f.fields = {Field("condition", T::Expr, &TComWhile::condition), Field("loopEnd", T::Int, &TComWhile::loopEnd)};
      f.loop = TLoopIndex::End;
      f.loopField = "loopEnd";
      break;
    case CK_WHILEINIT:
      f.main = "statement";
      f.fields = {Field("statement", T::Expr, &TComWhileInitBase::statement)};
      break;
    case CK_WHILELOOP:
      f.main = "statement";
      f.fields = {Field("statement", T::Expr, &TComWhileInitBase::statement),
                  Field("loopHead", T::Int, &TComWhileLoop::loopHead)};
      f.loop = TLoopIndex::Head;
      f.loopField = "loopHead";
      break;
    default:
      f.component = dynamic_cast<TComComponent*>(CreateCommand(kind).get()) != nullptr;
      break;
  }
  return f;
}

struct TByteName {
  TByteNames names;
  int value;
  const char* text;
};
constexpr TByteName kByteNames[] = {
    {TByteNames::Type, 0, "ref"},       {TByteNames::Type, 0, "none"},     {TByteNames::Type, 1, "int"},      {TByteNames::Type, 2, "float"},
    {TByteNames::Type, 3, "flag"},      {TByteNames::Type, 4, "string"},   {TByteNames::Scope, 0, "global"},
    {TByteNames::Scope, 1, "auto"},     {TByteNames::Scope, 2, "local"},   {TByteNames::Scope, 3, "status"},
};

}  // namespace

const TField* TKindForm::Find(const std::string& name) const {
  for (const TField& f : fields)
    if (f.name == name) return &f;
  return nullptr;
}

const TKindForm& KindForm(int kind) {
  static const std::array<TKindForm, kCommandKindCount> forms = [] {
    std::array<TKindForm, kCommandKindCount> all;
    for (int k = 0; k < kCommandKindCount; ++k) all[static_cast<size_t>(k)] = MakeForm(k);
    return all;
  }();
  return forms.at(static_cast<size_t>(kind));
}

int ByteValueByName(TByteNames names, const std::string& text) {
  for (const TByteName& b : kByteNames)
    if (b.names == names && text == b.text) return b.value;
  return -1;
}

std::string ByteValueName(TByteNames names, int value) {
  for (const TByteName& b : kByteNames)
    if (b.names == names && b.value == value) return b.text;
  return std::to_string(value);
}

std::vector<int32_t> LoopIndexes(const std::vector<int>& kinds, const std::vector<int32_t>& indents) {
  const size_t n = kinds.size();
  std::vector<int32_t> result(n, 0);
  struct TLoop {
    size_t head, tail;
  };
  std::vector<TLoop> loops;
  std::vector<char> headed(n, 0);
  for (size_t w = 0; w < n; ++w) {
    if (kinds[w] != CK_WHILE) continue;
    size_t j = w + 1;
    while (j < n && indents[j] > indents[w]) ++j;
    if (j < n && indents[j] == indents[w] && kinds[j] == CK_WHILELOOP && !headed[j]) {
      loops.push_back({w, j});
      headed[j] = 1;
      result[w] = static_cast<int32_t>(j + 1);
      result[j] = static_cast<int32_t>(w);
    } else {
      result[w] = kUnpaired;
    }
  }
  for (size_t i = 0; i < n; ++i) {
    if (kinds[i] == CK_WHILELOOP && !headed[i]) result[i] = kUnpaired;
    if (kinds[i] != CK_BREAK && kinds[i] != CK_CONTINUE) continue;
    const TLoop* inner = nullptr;
    for (const TLoop& l : loops)
      if (l.head < i && i < l.tail && (!inner || l.head > inner->head)) inner = &l;
    if (!inner) result[i] = -1;
    else result[i] = static_cast<int32_t>(kinds[i] == CK_BREAK ? inner->tail + 1 : inner->tail);
  }
  return result;
}

}  // namespace kivo::scenario
