// The expression executor: run-form reading and writing, temporaries, operations and kind rules.
#include "values/expr/kivo_parser.h"

#include <algorithm>
#include <cstring>

#include "platform/kivo_error.h"
#include "support/binary_io.h"
#include "values/expr/build_parser.h"
#include "values/expr/expr_errors.h"
#include "values/expr/operand_text.h"
#include "values/functions/function_table.h"
#include "values/functions/property_kinds.h"
#include "values/functions/sys_func_man.h"
#include "values/param.h"
#include "values/param_collection.h"
#include "values/param_var.h"
#include "values/value_messages.h"

namespace kivo {

// Every distinct name an operation list mentions (destinations and reference operands) gets a
// slot, so that a name is looked up once per execution instead of once per use. A found
// variable stays cached until a system function runs, since only functions (and the creation
// of temporaries, which are slots themselves) change what a name finds.
//
// The temporaries the compiler names ("____" or "____d_" and a number, "____arg") always belong
// to the execution that writes them: a Calc inside an expression compiles its text with numbers
// from 0 again, and sharing the enclosing expression's "____0" (the Calc text itself) would give
// the inner operation the kind of that string and overwrite it. Other names beginning with
// "____" are used when visible and made when not.
struct TKivoParser::TSlot {
  std::string Name;
  bool Temp = false;
  bool Own = false;
};

struct TKivoParser::TPrepared {
  struct Op {
    int DestSlot = -1;
    std::vector<TCustomParam*> Args;
    std::vector<std::pair<TParamVar*, int>> Refs;
  };
  std::vector<TSlot> Slots;
  std::vector<Op> Ops;
  bool ReturnsArg = false;
  // Per-execution state, reused when the parser is not already running (Calc can nest).
  bool Busy = false;
  std::vector<TParamCollectionItem*> Cache;
  std::vector<std::shared_ptr<TItemAnchor>> Created;
  std::vector<int> CreatedOrder;
  int ArgSlot = -1;
};

struct TKivoParser::TRun {
  TParamCollection& Vars;
  TSysFuncMan& Funcs;
  TParamCollectionItem** Cache;
  std::shared_ptr<TItemAnchor>* Created;
  int* CreatedOrder;
  int CreatedCount = 0;
};

namespace {

bool IsGeneratedTemp(std::string_view name) {
  std::string_view digits;
  if (name == kArgTemp) return true;
  if (name.starts_with(kDimTempPrefix)) digits = name.substr(kDimTempPrefix.size());
  else if (name.starts_with(kTempPrefix)) digits = name.substr(kTempPrefix.size());
  else return false;
  return !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::unique_ptr<TCustomParam> ReadOperand(TBinaryReader& r) {
  uint8_t kind = r.Byte();
  switch (kind) {
    case okInt: {
      auto v = std::make_unique<TParamInt>();
      v->Elements[0] = r.Int32();
      return v;
    }
    case okFloat: {
      auto v = std::make_unique<TParamFloat>();
      v->Elements[0] = r.ExtendedValue();
      return v;
    }
    case okBool: {
      auto v = std::make_unique<TParamFlag>();
      v->Elements[0] = r.Byte();  // kept as read, so saving gives the same bytes
      return v;
    }
    case okString: {
      auto v = std::make_unique<TParamStr>();
      v->Elements[0] = r.String();
      return v;
    }
    default: {
      auto v = std::make_unique<TParamVar>();
      v->VarName = r.String();
      return v;
    }
  }
}

void WriteOperand(TBinaryWriter& w, const TCustomParam& v) {
  if (v.IsReference()) {
    w.Byte(okVariable);
    w.String(static_cast<const TParamVar&>(v).VarName);
    return;
  }
  switch (v.ParamType()) {
    case PT_INT: w.Byte(okInt); w.Int32(v.AsInt()); break;
    case PT_FLOAT: w.Byte(okFloat); w.ExtendedValue(v.AsFloat()); break;
    case PT_BOOL: w.Byte(okBool); w.Byte(static_cast<const TParamFlag&>(v).Elements.at(0)); break;
    default: w.Byte(okString); w.String(v.AsString()); break;
  }
}

std::unique_ptr<TCustomParam> CopyOperand(const TCustomParam& v) {
  if (v.IsReference()) {
    auto copy = std::make_unique<TParamVar>();
    copy->VarName = static_cast<const TParamVar&>(v).VarName;
    return copy;
  }
  std::unique_ptr<TCustomParam> copy = CreateParam(v.ParamType());
  copy->CopySameKind(v);
  return copy;
}

// The text of an operation that cannot run: 不正な式, the destination, the code's name and the
// operands.
[[noreturn]] void BadExpression(const TOpeData& op) {
  std::string text = std::string(kBadExpression) + "\r\n\r\n" + std::string(kDestLabel) + op.Dest +
                     std::string(kOpTypeLabel) + std::string(OpTypeName(op.OpType));
  for (const auto& a : op.Args) text += "\r\n" + a->AsString();
  throw EKivoError(text);
}

size_t OperandsNeeded(uint8_t op) {
  switch (op) {
    case ocTo:
    case ocDimTo: return 1;
    case ocFunc: return 0;
    default: return 2;
  }
}

uint8_t NewTempKind(const TOpeData& op, const std::vector<TCustomParam*>& a) {
  switch (op.OpType) {
    case ocTo: return a[0]->ParamType();
    case ocPlus:
      if (a[0]->ParamType() == PT_STR) return PT_STR;
      [[fallthrough]];
    case ocMinus:
    case ocMul:
    case ocDiv:
      return a[0]->ParamType() == PT_FLOAT || a[1]->ParamType() == PT_FLOAT ? PT_FLOAT : PT_INT;
    case ocEqual:
    case ocBig:
    case ocSmall:
    case ocEBig:
    case ocESmall:
    case ocNEqual: return PT_BOOL;
    case ocComboStr: return PT_STR;
    case ocDimTo: return PT_NONE;
    case ocFunc: {
      if (op.FuncId >= kSysFuncCount) BadExpression(op);
      if (op.FuncId != kFuncGetProp) return SysFuncInfo(op.FuncId).ResultKind;
      int32_t number = a.size() >= 2 ? a[1]->AsInt() : -1;
      if (number < 0 || number >= kPropertyCount) throw EKivoError(std::string(kBadGetPropArgs));
      return PropertyKind(number);
    }
    default: return PT_INT;
  }
}

int Compare(const TCustomParam& a, const TCustomParam& b) {
  switch (a.ParamType()) {
    case PT_STR: {
      int c = a.AsString().compare(b.AsString());
      return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    case PT_FLOAT: {
      Extended x = a.AsFloat(), y = b.AsFloat();
      return x < y ? -1 : x > y ? 1 : 0;
    }
    case PT_BOOL: return static_cast<int>(a.AsBool()) - static_cast<int>(b.AsBool());
    default: {
      int32_t x = a.AsInt(), y = b.AsInt();
      return x < y ? -1 : x > y ? 1 : 0;
    }
  }
}

int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

}  // namespace

TKivoParser::TKivoParser() = default;
TKivoParser::~TKivoParser() = default;

void TKivoParser::LoadRunForm(TStream& stream) {
  ops_.clear();
  prepared_.reset();
  result_.reset();
  TBinaryReader r(stream);
  // An operation takes at least 9 bytes and an operand 2, which bounds both counts.
  int32_t count = r.Count(9);
  std::vector<TOpeData> ops(static_cast<size_t>(count));
  for (TOpeData& op : ops) {
    op.OpType = r.Byte();
    op.Dest = r.String();
    int32_t argCount = r.Count(2);
    if (op.OpType == ocFunc) op.FuncId = r.Byte();
    op.Args.reserve(static_cast<size_t>(argCount));
    for (int32_t i = 0; i < argCount; ++i) op.Args.push_back(ReadOperand(r));
  }
  ops_ = std::move(ops);
}

void TKivoParser::SaveRunForm(TStream& stream) const {
  TBinaryWriter w(stream);
  w.Int32(static_cast<int32_t>(ops_.size()));
  for (const TOpeData& op : ops_) {
    w.Byte(op.OpType);
    w.String(op.Dest);
    w.Int32(static_cast<int32_t>(op.Args.size()));
    if (op.OpType == ocFunc) w.Byte(op.FuncId);
    for (const auto& a : op.Args) WriteOperand(w, *a);
  }
}

void TKivoParser::Assign(const TKivoParser& other) {
  if (&other == this) return;
  std::vector<TOpeData> ops(other.ops_.size());
  for (size_t i = 0; i < ops.size(); ++i) {
    const TOpeData& src = other.ops_[i];
    ops[i].OpType = src.OpType;
    ops[i].Dest = src.Dest;
    ops[i].FuncId = src.FuncId;
    for (const auto& a : src.Args) ops[i].Args.push_back(CopyOperand(*a));
  }
  ops_ = std::move(ops);
  prepared_.reset();
  result_.reset();
}

void TKivoParser::Prepare() {
  auto p = std::make_unique<TPrepared>();
  auto slotOf = [&p](const std::string& name) {
    for (size_t s = 0; s < p->Slots.size(); ++s) {
      if (p->Slots[s].Name == name) return static_cast<int>(s);
    }
    p->Slots.push_back({name, IsTempName(name), IsGeneratedTemp(name)});
    return static_cast<int>(p->Slots.size() - 1);
  };
  p->Ops.resize(ops_.size());
  for (size_t i = 0; i < ops_.size(); ++i) {
    TPrepared::Op& po = p->Ops[i];
    po.DestSlot = slotOf(ops_[i].Dest);
    for (const auto& a : ops_[i].Args) {
      po.Args.push_back(a.get());
      if (a->IsReference()) {
        auto* ref = static_cast<TParamVar*>(a.get());
        po.Refs.emplace_back(ref, slotOf(ref->VarName));
      }
    }
  }
  p->ReturnsArg = !ops_.empty() && ops_.back().OpType == ocTo && ops_.back().Dest == kArgTemp;
  if (p->ReturnsArg) p->ArgSlot = p->Ops.back().DestSlot;
  p->Cache.resize(p->Slots.size());
  p->Created.resize(p->Slots.size());
  p->CreatedOrder.resize(p->Slots.size());
  prepared_ = std::move(p);
}

TParamCollectionItem* TKivoParser::Lookup(int slot, TRun& run) {
  const std::shared_ptr<TItemAnchor>& own = run.Created[slot];
  if (own && own->Item != nullptr) return own->Item;
  TParamCollectionItem*& cached = run.Cache[slot];
  if (cached == nullptr) cached = run.Vars.FindVar(prepared_->Slots[static_cast<size_t>(slot)].Name);
  return cached;
}

void TKivoParser::Execute(TSysFuncMan& funcs) {
  // The last result, if nobody took it, holds the next one when that has the same kind.
  std::unique_ptr<TCustomParam> previous = std::move(result_);
  lastError_.clear();
  if (ops_.empty()) return;
  if (!prepared_) Prepare();
  TPrepared& p = *prepared_;
  const size_t slots = p.Slots.size();

  // A nested run of the same parser gets state of its own.
  std::vector<TParamCollectionItem*> ownCache;
  std::vector<std::shared_ptr<TItemAnchor>> ownCreated;
  std::vector<int> ownOrder;
  const bool nested = p.Busy;
  if (nested) {
    ownCache.resize(slots);
    ownCreated.resize(slots);
    ownOrder.resize(slots);
  } else {
    std::fill(p.Cache.begin(), p.Cache.end(), nullptr);
  }
  TRun run{funcs.Vars(), funcs, nested ? ownCache.data() : p.Cache.data(),
           nested ? ownCreated.data() : p.Created.data(), nested ? ownOrder.data() : p.CreatedOrder.data()};
  p.Busy = true;

  try {
    for (size_t i = 0; i < ops_.size(); ++i) RunOperation(i, run);
  } catch (const EKivoError& e) {
    // A failing operation ends the expression silently; what already ran keeps its effect.
    lastError_ = e.Message();
  } catch (const std::exception& e) {
    lastError_ = e.what();
  }
  if (p.ReturnsArg) {
    // A detached copy of this execution's "____arg", as MakeCopy makes it.
    TParamCollectionItem* arg = Lookup(p.ArgSlot, run);
    uint8_t kind = arg != nullptr && arg->Param != nullptr ? arg->Param->ParamType() : uint8_t{PT_NONE};
    if (kind >= PT_INT && kind <= PT_STR) {
      try {
        result_ = previous != nullptr && previous->ParamType() == kind ? std::move(previous) : CreateParam(kind);
        result_->CopyFrom(*arg->Param);
      } catch (const std::exception& e) {
        result_.reset();
        lastError_ = e.what();
      }
    } else if (arg != nullptr) {
      lastError_ = std::string(kArgTemp) + kMsgBadVariableTail;
    }
  }
  for (int k = run.CreatedCount; k-- > 0;) {
    std::shared_ptr<TItemAnchor>& anchor = run.Created[run.CreatedOrder[k]];
    if (anchor && anchor->Item != nullptr) run.Vars.DeleteVar(*anchor->Item);
    anchor.reset();
  }
  if (!nested) p.Busy = false;
}

void TKivoParser::RunOperation(size_t index, TRun& run) {
  const TOpeData& op = ops_[index];
  const TPrepared::Op& po = prepared_->Ops[index];
  const std::vector<TCustomParam*>& a = po.Args;

  // Reference operands are bound for the duration of this operation only.
  struct Unbind {
    const TPrepared::Op& po;
    ~Unbind() {
      for (const auto& [ref, slot] : po.Refs) ref->ClearTarget();
    }
  } unbind{po};
  for (const auto& [ref, slot] : po.Refs) {
    TParamCollectionItem* item = Lookup(slot, run);
    if (item == nullptr) throw EKivoError(NoSuchVariableText(ref->VarName));
    ref->SetTarget(item);
    // A reference to a reference designates the same element; otherwise element 0.
    ref->ElementIndex = item->Param != nullptr && item->Param->IsReference()
                            ? static_cast<const TParamVar&>(*item->Param).ElementIndex
                            : 0;
  }

  if (op.OpType < ocTo || op.OpType > kOpTypeLast || a.size() < OperandsNeeded(op.OpType)) BadExpression(op);

  const TSlot& destSlot = prepared_->Slots[static_cast<size_t>(po.DestSlot)];
  const std::shared_ptr<TItemAnchor>& own = run.Created[po.DestSlot];
  const bool made = own && own->Item != nullptr;
  if (destSlot.Own ? !made : destSlot.Temp && Lookup(po.DestSlot, run) == nullptr) {
    uint8_t kind = NewTempKind(op, a);
    TParamCollectionItem& item = run.Vars.AddVar(kind);
    try {
      item.SetName(op.Dest);
    } catch (...) {
      run.Vars.DeleteVar(item);
      throw;
    }
    // A slot is listed once even if a function deleted its temporary and it is made again.
    if (!run.Created[po.DestSlot]) run.CreatedOrder[run.CreatedCount++] = po.DestSlot;
    run.Created[po.DestSlot] = item.Anchor();
    run.Cache[po.DestSlot] = &item;
    if (op.OpType == ocDimTo) {
      std::vector<int32_t> indexes;
      for (size_t i = 1; i < a.size(); ++i) indexes.push_back(a[i]->AsInt());
      const std::string name = a[0]->IsReference() ? static_cast<TParamVar*>(a[0])->VarName : a[0]->AsString();
      static_cast<TParamVar&>(*item.Param).BindElement(name, indexes);
    }
  }

  TParamCollectionItem* destItem = Lookup(po.DestSlot, run);
  if (destItem == nullptr || destItem->Param == nullptr) throw EKivoError(NoSuchVariableText(op.Dest));
  TCustomParam& d = *destItem->Param;
  const uint8_t k = d.ParamType();

  switch (op.OpType) {
    case ocTo:
      switch (k) {
        case PT_INT: d.SetInt(a[0]->AsInt()); break;
        case PT_FLOAT: d.SetFloat(a[0]->AsFloat()); break;
        case PT_BOOL: d.SetBool(a[0]->AsBool()); break;
        case PT_STR: d.SetStr(a[0]->AsString()); break;
        default: break;
      }
      break;
    case ocPlus:
    case ocMinus:
    case ocMul:
    case ocDiv:
      if (k == PT_FLOAT) {
        Extended x = a[0]->AsFloat(), y = a[1]->AsFloat(), r = 0;
        switch (op.OpType) {
          case ocPlus: r = x + y; break;
          case ocMinus: r = x - y; break;
          case ocMul: r = x * y; break;
          default:
            if (y == 0) throw EKivoError("Floating point division by zero");
            r = x / y;
            break;
        }
        d.SetFloat(r);
      } else {
        int64_t x = a[0]->AsInt(), y = a[1]->AsInt(), r = 0;
        switch (op.OpType) {
          case ocPlus: r = x + y; break;
          case ocMinus: r = x - y; break;
          case ocMul: r = x * y; break;
          default:
            if (y == 0) throw EKivoError("Division by zero");
            r = x / y;  // in 64 bits, so INT_MIN / -1 wraps instead of trapping
            break;
        }
        d.SetInt(Wrap(r));
      }
      break;
    case ocMod: {
      int64_t x = a[0]->AsInt(), y = a[1]->AsInt();
      if (y == 0) throw EKivoError("Division by zero");
      d.SetInt(Wrap(x % y));
      break;
    }
    case ocOr: d.SetInt(a[0]->AsInt() | a[1]->AsInt()); break;
    case ocAnd: d.SetInt(a[0]->AsInt() & a[1]->AsInt()); break;
    case ocXor: d.SetInt(a[0]->AsInt() ^ a[1]->AsInt()); break;
    case ocShiftL:
      d.SetInt(static_cast<int32_t>(static_cast<uint32_t>(a[0]->AsInt()) << (a[1]->AsInt() & 31)));
      break;
    case ocShiftR:
      d.SetInt(static_cast<int32_t>(static_cast<uint32_t>(a[0]->AsInt()) >> (a[1]->AsInt() & 31)));
      break;
    case ocComboStr: d.SetStr(a[0]->AsString() + a[1]->AsString()); break;
    case ocEqual:
    case ocNEqual:
    case ocBig:
    case ocSmall:
    case ocEBig:
    case ocESmall: {
      bool answer;
      if (a[0]->ParamType() == PT_STR && (op.OpType == ocEqual || op.OpType == ocNEqual)) {
        answer = (a[0]->AsString() == a[1]->AsString()) == (op.OpType == ocEqual);
      } else {
        int c = Compare(*a[0], *a[1]);
        switch (op.OpType) {
          case ocEqual: answer = c == 0; break;
          case ocNEqual: answer = c != 0; break;
          case ocBig: answer = c > 0; break;
          case ocSmall: answer = c < 0; break;
          case ocEBig: answer = c >= 0; break;
          default: answer = c <= 0; break;
        }
      }
      d.SetBool(answer);
      break;
    }
    case ocFunc: {
      if (op.FuncId >= kSysFuncCount) BadExpression(op);
      // The function may add or remove variables: forget every cached look-up afterwards.
      struct Forget {
        TRun& run;
        size_t n;
        ~Forget() { std::fill(run.Cache, run.Cache + n, nullptr); }
      } forget{run, prepared_->Slots.size()};
      run.Funcs.Call(d, op.FuncId, a);
      break;
    }
    case ocDimTo: break;  // bound when the temporary was created
    default: BadExpression(op);
  }
}

bool RunText(const std::string& text, TSysFuncMan& funcs) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<uint8_t>(text[b]) <= 0x20) ++b;
  while (e > b && static_cast<uint8_t>(text[e - 1]) <= 0x20) --e;
  if (b == e) return false;
  if (funcs.RunTextDepth >= TSysFuncMan::kMaxRunTextDepth) return false;
  TMemoryStream stream;
  try {
    TBuildKivoParser builder;
    builder.Compile(text.substr(b, e - b));
    builder.WriteRunForm(stream);
  } catch (const EKivoError&) {
    return false;
  }
  stream.SetPosition(0);
  TKivoParser parser;
  parser.LoadRunForm(stream);
  ++funcs.RunTextDepth;
  parser.Execute(funcs);
  --funcs.RunTextDepth;
  return true;
}

}  // namespace kivo
