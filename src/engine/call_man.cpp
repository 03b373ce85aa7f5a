// The call manager's run loop, steps, events, calls, resets and saved state.
#include "engine/call_man.h"

#include <cstdio>

#include "platform/kivo_error.h"
#include "platform/trace.h"
#include "support/frame_timing.h"
#include "values/functions/sys_func_man.h"
#include "values/param_collection.h"
#include "vfs/vr_file_manager.h"

namespace kivo {

bool TCallManHooks::FileExistsOrAskForDisc(const std::string& name) {
  return TVrFileManager::Instance().Exists(name);
}

TCallMan::TCallMan(TSysFuncMan& funcs, TTimerList& events, TCallManHooks& hooks)
    : funcs_(funcs), events_(events), hooks_(hooks), stack_(funcs.Vars()), previousCallHost_(funcs.Vars().Hosts.Call) {
  Vars().Hosts.Call = this;
}

TCallMan::~TCallMan() {
  TParamCollection& vars = Vars();
  if (vars.Hosts.Call == this) vars.Hosts.Call = previousCallHost_;
  while (!pages_.empty()) {
    // A page's own variable goes with it.
    if (TParamCollectionItem* v = vars.FindVar("\x01" + pages_.back()->Name())) vars.DeleteVar(*v);
    pages_.pop_back();
  }
}

TParamCollection& TCallMan::Vars() { return funcs_.Vars(); }

TPage& TCallMan::LoadPage(const std::string& name, bool moveToFront) {
  for (auto it = pages_.begin(); it != pages_.end(); ++it) {
    if ((*it)->Name() != name) continue;
    if (moveToFront && it != pages_.begin()) pages_.splice(pages_.begin(), pages_, it);
    return **it;  // splicing keeps the iterator valid
  }
  auto page = std::make_unique<TPage>();
  page->LoadPage(name);  // a failure discards the half-read page
  pages_.push_front(std::move(page));
  TPage& loaded = *pages_.front();
  DropPagesBeyondCache();
  return loaded;
}

void TCallMan::DropPagesBeyondCache() {
  TParamCollection& vars = Vars();
  auto it = pages_.end();
  while (pages_.size() > kPageCacheSize && it != pages_.begin()) {
    --it;
    if (it->get() == page_ || it == pages_.begin()) continue;  // never the current or the newest page
    if (TParamCollectionItem* v = vars.FindVar("\x01" + (*it)->Name())) vars.DeleteVar(*v);
    it = pages_.erase(it);
  }
}

void TCallMan::StartPage(const std::string& name) {
  page_ = &LoadPage(name, true);
  pc_ = 0;
  started_ = false;
  arguments_.clear();
  state_ = 0;
  stack_.Clear();
  sender_ = nullptr;
  events_.RemoveLevels(1, eventLevel_);
  eventLevel_ = 2;
}

bool TCallMan::Holds(TExpr& condition, bool whenAbsent) {
  if (condition.Empty()) return whenAbsent;
  condition.Execute(funcs_);
  const TCustomParam* result = condition.Result();
  return result && result->AsBool();
}

std::unique_ptr<TCustomParam> TCallMan::Evaluate(TExpr& expr) {
  if (expr.Empty()) return nullptr;
  expr.Execute(funcs_);
  return expr.TakeResult();
}

int32_t TCallMan::EvaluateInt(TExpr& expr, int32_t fallback) {
  std::unique_ptr<TCustomParam> value = Evaluate(expr);
  return value ? value->AsInt() : fallback;
}

void TCallMan::JumpTo(const std::string& page, int32_t index) {
  page_ = &LoadPage(page, true);
  pc_ = index;
}

TStack& TCallMan::PushCaller(int32_t returnCounter) {
  TStack& frame = stack_.Push();
  frame.pageName = page_ ? page_->Name() : std::string();
  frame.returnCounter = returnCounter;
  frame.continueFlag = continue_;
  frame.sender = sender_;
  return frame;
}

void TCallMan::CallPage(const std::string& page, int32_t start, const std::string& resultVariable,
                        std::vector<std::string> arguments, int32_t returnCounter) {
  TPage& called = LoadPage(page, true);
  TStack& frame = PushCaller(returnCounter);
  frame.resultVariable = resultVariable;
  frame.arguments = std::move(arguments_);
  arguments_ = std::move(arguments);
  if (called.ResultType() != PT_NONE) frame.result = CreateParam(called.ResultType(), &Vars());
  page_ = &called;
  pc_ = start;
}

void TCallMan::Trace(const TCommand& command, bool event) {
  if (!TTrace::Enabled() || (&command == lastTraced_ && !event)) return;
  lastTraced_ = &command;
  char head[16];
  std::snprintf(head, sizeof head, "%.8x", static_cast<unsigned>(FrameTiming().totalTime.load()));
  TTrace::Write(std::string(head) + " : " + (event ? "<Event>" : "") + page_->Name() + "(" +
                std::to_string(command.Line()) + ")");
}

int TCallMan::Step() {
  if (!page_) {
    continue_ = false;  // nothing left to run in this flow
    return 0;
  }
  TCommand* command = page_->Command(pc_);
  if (!command) {
    page_ = nullptr;
    return EndOfPage(false);
  }
  Trace(*command, false);
  if (!started_) {
    if (command->Disabled()) {
      ++pc_;
      return 0;
    }
    command->Begin(*this);
    started_ = true;
  }
  continue_ = command->ContinueFlag();
  bool waiting = command->IsWaitingCommand();
  TPage* pageBefore = page_;
  int32_t pcBefore = pc_;
  try {
    command->Execute(*this, pc_);
  } catch (const EKivoError&) {
    // A failing command is passed over; the counter and page stay as it left them.
  }
  if (page_ != pageBefore || pc_ != pcBefore) started_ = false;
  if (!page_) return EndOfPage(waiting);
  return waiting ? 2 : 0;
}

void TCallMan::AssignResult(const std::string& name, const TCustomParam& value) {
  TParamCollection& vars = Vars();
  TParamCollectionItem* target = vars.FindVar(name);
  if (!target) {
    // An assignment to an unknown name stores nothing, so the result variable is made here: a
    // global string holding the value's text.
    TParamCollectionItem& made = vars.AddVar(PT_STR);
    try {
      made.SetName(name);
    } catch (const EKivoError&) {
      vars.DeleteVar(made);
      return;
    }
    made.Param->SetStr(value.AsString());
    target = &made;
  }
  target->Param->CopyFrom(value);
}

int TCallMan::EndOfPage(bool endedWaiting) {
  if (stack_.Empty()) {
    continue_ = false;
    return 0;
  }
  Vars().DeleteLocals(stack_.Count());
  std::unique_ptr<TStack> frame = stack_.Pop();
  if (!frame->resultVariable.empty() && frame->result) AssignResult(frame->resultVariable, *frame->result);
  page_ = frame->pageName.empty() ? nullptr : &LoadPage(frame->pageName, true);
  pc_ = frame->returnCounter;
  started_ = frame->started;
  continue_ = frame->continueFlag;
  arguments_ = std::move(frame->arguments);
  sender_ = frame->sender;
  if (frame->waitingState && started_ && page_)
    if (TCommand* resumed = page_->Command(pc_)) {
      frame->waitingState->SetPosition(0);
      resumed->LoadWaitingState(*frame->waitingState);
    }
  if (!sender_) return 1;
  return endedWaiting ? 2 : -1;
}

bool TCallMan::StartEvent(int level) {
  TCommand* current = page_ ? page_->Command(pc_) : nullptr;
  if (current && started_ && current->IsWaitingCommand() && current->BlocksEvents()) return false;
  TEventEntry* event = events_.FirstPending();
  if (!event) return false;
  std::string pageFile, label;
  SplitHandlerReference(event->handler, pageFile, label);
  if (!hooks_.FileExistsOrAskForDisc(pageFile)) return false;
  TPage* handler;
  try {
    handler = &LoadPage(pageFile, true);
  } catch (const EKivoError&) {
    return false;  // the event stays queued
  }
  TStack& frame = PushCaller(pc_);
  frame.started = started_;
  frame.arguments = arguments_;
  if (current && started_) {
    frame.waitingState = std::make_unique<TMemoryStream>();
    current->SaveWaitingState(*frame.waitingState);
  }
  page_ = handler;
  pc_ = label.empty() ? 0 : std::max(0, handler->IndexOfLabel(label));
  if (TCommand* first = page_->Command(pc_)) Trace(*first, true);
  started_ = false;
  event->level = level;
  arguments_ = event->arguments;
  sender_ = event->sender;
  state_ = 1;
  return true;
}

bool TCallMan::Run() {
  const TFrameTiming& timing = FrameTiming();
  do {
    if (timing.exitRequested) break;
    switch (state_) {
      case 0:
        if (!StartEvent(1)) Step();
        break;
      case 1: {
        int report = Step();
        if (report == 1) {
          events_.RemoveLevels(1, 1);
          state_ = 0;
          continue_ = true;
        } else if (report == 2) {
          eventLevel_ = 2;
          state_ = 2;
          return true;
        } else if (state_ != 1) {
          continue_ = true;
        }
        break;
      }
      case 2:
        if (StartEvent(eventLevel_)) {
          ++eventLevel_;
          state_ = 3;
        } else {
          state_ = eventLevel_ > 2 ? 3 : 1;
        }
        break;
      default: {
        int report = Step();
        if (report == 1 || report == -1) {
          --eventLevel_;
          events_.RemoveLevels(eventLevel_, eventLevel_);
          if (eventLevel_ <= 2) state_ = 2;
        } else if (report == 2) {
          state_ = 2;
          return true;
        }
        break;
      }
    }
  } while (continue_ || state_ != 0);
  return true;
}

void TCallMan::Reset(const std::string& page, int32_t start) {
  hooks_.ResetScene();
  Vars().ClearVariables();
  hooks_.ResetDatabase();
  hooks_.ResetHistoryFormats();
  StartPage(page);
  pc_ = start;
}

void TCallMan::PCReset(const std::string& page, int32_t start, bool allLevels) {
  TParamCollection& vars = Vars();
  if (allLevels) {
    for (int depth = stack_.Count(); depth >= 0; --depth) vars.DeleteLocals(depth);
    for (int i = stack_.Count() - 1; i >= 0; --i) {
      TStack& frame = stack_.Frame(i);
      if (frame.sender || !frame.started || frame.pageName.empty()) continue;
      try {
        TPage& framePage = LoadPage(frame.pageName, false);
        if (TCommand* c = framePage.Command(frame.returnCounter)) c->FinishAtOnce(*this);
      } catch (const EKivoError&) {
      }
    }
    StartPage(page);
    pc_ = start;
    events_.Clear();
    return;
  }
  int point = -1;
  for (int i = 0; i < stack_.Count() && point < 0; ++i)
    if (stack_.Frame(i).sender) point = i;
  if (point < 0 && sender_) point = stack_.Count();
  TStack* redirected = nullptr;
  for (int i = point - 1; i >= 0 && !redirected; --i)
    if (!stack_.Frame(i).sender) {
      redirected = &stack_.Frame(i);
      vars.DeleteLocals(i);
    }
  if (redirected) {
    redirected->pageName = page;
    redirected->returnCounter = start;
    redirected->started = false;
    redirected->resultVariable.clear();
    redirected->arguments.clear();
    redirected->waitingState.reset();
    ++pc_;
  } else {
    JumpTo(page, start);
  }
  events_.RemoveRunning();
}

bool TCallMan::DeleteStack(int depth) {
  if (depth < 0 || depth >= stack_.Count()) return false;
  Vars().DeleteLocals(depth);
  stack_.RemoveAt(depth);
  Vars().LowerLocalsAbove(depth);
  return true;
}

TCustomParam* TCallMan::CurrentResult() { return stack_.Empty() ? nullptr : stack_.Top().result.get(); }

std::string TCallMan::ParamStr(int index) {
  return index >= 0 && index < ParamCount() ? arguments_[static_cast<size_t>(index)] : std::string();
}

std::string TCallMan::Sender() {
  return state_ != 0 && sender_ && sender_->alive ? sender_->name : std::string();
}

void TCallMan::SaveState(TStream& stream) const {
  TBinaryWriter w(stream);
  w.String(page_ ? page_->Name() : std::string());
  w.Int32(pc_);
  w.Bool(continue_);
  w.Bool(started_);
  w.Int32(state_);
  w.String(state_ != 0 && sender_ && sender_->alive ? sender_->name : std::string());
  WriteStrings(w, arguments_);
  stack_.Save(w);
  w.Int32(eventLevel_);
  if (started_ && page_)
    if (TCommand* c = page_->Command(pc_)) c->SaveWaitingState(stream);
}

void TCallMan::LoadState(TStream& stream, int version) {
  TBinaryReader r(stream);
  std::string pageName = r.String();
  pc_ = r.Int32();
  continue_ = r.Bool();
  started_ = r.Bool();
  state_ = r.Int32();
  std::string senderName = r.String();
  sender_ = senderName.empty() ? nullptr : hooks_.FindSender(senderName);
  arguments_ = ReadStrings(r);
  stack_.Load(r, [this](const std::string& name) { return hooks_.FindSender(name); });
  eventLevel_ = version >= 116 ? r.Int32() : 2;
  page_ = pageName.empty() ? nullptr : &LoadPage(pageName, true);
  if (started_ && page_)
    if (TCommand* c = page_->Command(pc_)) c->LoadWaitingState(stream);
}

}  // namespace kivo
