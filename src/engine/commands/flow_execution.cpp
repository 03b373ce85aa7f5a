// What the flow-control, variable and reset commands do when the call manager runs them.
// Conditions of Jump, Call, Exit, Break and Continue left blank hold (the command is then
// unconditional); those of If, Elseif and While must be true.
#include "engine/call_man.h"
#include "engine/commands/flow_commands.h"
#include "platform/kivo_error.h"
#include "support/frame_timing.h"
#include "values/param_collection.h"

namespace kivo {

namespace {

// Moves past every command after `from` that is nested deeper than `indent`.
void SkipDeeper(const TPage& page, int32_t indent, int32_t& pc) {
  while (const TCommand* c = page.Command(pc)) {
    if (c->Indent() <= indent) break;
    ++pc;
  }
}

}  // namespace

void TComIf::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  if (cm.Holds(condition, false)) return;
  const TPage& page = *cm.CurrentPage();
  while (TCommand* c = page.Command(pc)) {
    if (c->Indent() > Indent()) {
      ++pc;
    } else if (c->Indent() < Indent()) {
      return;
    } else if (c->Kind() == CK_ELSEIF) {
      // A false Elseif passes the scan on to the next Elseif or Else of the chain.
      ++pc;
      if (cm.Holds(static_cast<TComElseif*>(c)->condition, false)) return;
    } else {
      if (c->Kind() == CK_ELSE) ++pc;
      return;
    }
  }
}

void TComElseif::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  SkipDeeper(*cm.CurrentPage(), Indent(), pc);
}

void TComElse::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  SkipDeeper(*cm.CurrentPage(), Indent(), pc);
}

void TComJump::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  if (!cm.Holds(condition, true)) return;
  // A Jump without a page name stays on the current page.
  std::string target = page.empty() ? cm.CurrentPage()->Name() : page;
  if (page.empty() || cm.Hooks().FileExistsOrAskForDisc(target)) cm.JumpTo(target, this->target);
}

void TComCall::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  if (!cm.Holds(condition, true)) return;
  std::string target = page.empty() ? cm.CurrentPage()->Name() : page;
  if (!page.empty() && !cm.Hooks().FileExistsOrAskForDisc(target)) return;
  std::vector<std::string> values;
  for (auto& argument : arguments)
    if (std::unique_ptr<TCustomParam> v = cm.Evaluate(*argument)) values.push_back(v->AsString());
  cm.CallPage(target, start, resultVariable, std::move(values), pc);
}

void TComExit::Execute(TCallMan& cm, int32_t& pc) {
  if (cm.Holds(condition, true))
    cm.EndPage();
  else
    ++pc;
}

void TComBreak::Execute(TCallMan& cm, int32_t& pc) {
  if (!cm.Holds(condition, true)) {
    ++pc;
  } else if (target < 0) {
    cm.EndPage();
  } else {
    pc = target;
  }
}

void TComContinue::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  if (!cm.Holds(condition, true)) return;
  if (target < 0)
    cm.EndPage();
  else
    pc = target;
}

void TComWhile::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  if (!cm.Holds(condition, false)) pc = loopEnd;
}

void TComWhileInit::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  cm.Evaluate(statement);
}

void TComWhileLoop::Execute(TCallMan& cm, int32_t& pc) {
  pc = loopHead;
  cm.Evaluate(statement);
}

void TComCalc::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  cm.Evaluate(statement);
}

void TComWait::Begin(TCallMan& cm) {
  remaining = cm.EvaluateInt(time, 0);
  skipFirst = 1;
  blocks_ = cm.Holds(blockEvents, false);
}

void TComWait::Execute(TCallMan& cm, int32_t& pc) {
  if (!cm.Holds(condition, true)) {
    ++pc;
    return;
  }
  if (remaining != 0) {
    if (skipFirst) {
      skipFirst = 0;
    } else {
      remaining -= FrameTiming().frameDelta;
      if (remaining <= 0) {
        ++pc;
        return;
      }
    }
  }
  cm.SetContinue(false);
}

void TComVarNew::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  cm.Vars().DeclareVariable(name, type, scope, [&] { return cm.Evaluate(initialValue); });
}

void TComVarDel::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  if (TParamCollectionItem* v = cm.Vars().FindVar(name)) cm.Vars().DeleteVar(*v);
}

void TComReset::Execute(TCallMan& cm, int32_t&) { cm.Reset(page, start); }

void TComPCReset::Execute(TCallMan& cm, int32_t&) { cm.PCReset(page, start, flag != 0); }

void TComTerminate::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  FrameTiming().exitRequested = true;
  cm.Hooks().RequestClose();
}

void TComClrRead::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  cm.Hooks().ClearReadText();
}

void TComClrHist::Execute(TCallMan& cm, int32_t& pc) {
  ++pc;
  cm.Hooks().ClearHistory();
}

}  // namespace kivo
