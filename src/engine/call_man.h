// TCallMan: runs script pages frame by frame — the program counter, the call stack, event
// handlers with their nesting levels, and the state saved with a game.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "engine/call_stack.h"
#include "engine/event_list.h"
#include "engine/page.h"
#include "values/system_hosts.h"

namespace kivo {

class TParamCollection;
class TSysFuncMan;

// What the call manager needs from the project, the scene and the main window. The defaults
// are what a player without those parts does.
class TCallManHooks {
public:
  virtual ~TCallManHooks() = default;
  // The project's check before Jump, Call and events: the file is there, or its disc was given.
  virtual bool FileExistsOrAskForDisc(const std::string& name);
  // Terminate: the exit flag is already set; the main window should close.
  virtual void RequestClose() {}
  virtual void ResetScene() {}
  virtual void ResetDatabase() {}
  virtual void ResetHistoryFormats() {}
  virtual void ClearReadText() {}
  virtual void ClearHistory() {}
  // The scene object of that name, for senders restored from a saved game.
  virtual TSender FindSender(const std::string&) { return nullptr; }
};

class TCallMan : public TCallHost {
public:
  static constexpr size_t kPageCacheSize = 10;

  TCallMan(TSysFuncMan& funcs, TTimerList& events, TCallManHooks& hooks);
  ~TCallMan() override;

  void StartPage(const std::string& name);
  // The cached page of that name, or the page loaded and cached; loading errors propagate.
  TPage& LoadPage(const std::string& name, bool moveToFront = true);
  // One frame's run.
  bool Run();
  // One command; its report (0, 1, -1, 2) as the run loop reads it.
  int Step();

  // What commands work with.
  TSysFuncMan& Funcs() { return funcs_; }
  TParamCollection& Vars();
  TCallManHooks& Hooks() { return hooks_; }
  TTimerList& Events() { return events_; }
  TStackList& Stack() { return stack_; }
  TPage* CurrentPage() const { return page_; }
  int32_t ProgramCounter() const { return pc_; }
  bool Started() const { return started_; }
  bool Continue() const { return continue_; }
  void SetContinue(bool value) { continue_ = value; }
  int State() const { return state_; }
  int EventLevel() const { return eventLevel_; }
  const std::vector<std::string>& Arguments() const { return arguments_; }
  const TSender& SenderObject() const { return sender_; }

  // A condition: absent expressions answer `whenAbsent`; otherwise the flag reading of the value
  // (no value counts as false).
  bool Holds(TExpr& condition, bool whenAbsent);
  // The expression's value, or null when it yields none.
  std::unique_ptr<TCustomParam> Evaluate(TExpr& expr);
  int32_t EvaluateInt(TExpr& expr, int32_t fallback);

  // The current page ends (Exit): the caller resumes in the next step.
  void EndPage() { page_ = nullptr; }
  // Makes the page current (most recent) with the counter at index.
  void JumpTo(const std::string& page, int32_t index);
  void CallPage(const std::string& page, int32_t start, const std::string& resultVariable,
                std::vector<std::string> arguments, int32_t returnCounter);
  void Reset(const std::string& page, int32_t start);
  void PCReset(const std::string& page, int32_t start, bool allLevels);

  // The system variables' view.
  TCustomParam* CurrentResult() override;
  int ParamCount() override { return static_cast<int>(arguments_.size()); }
  std::string ParamStr(int index) override;
  std::string Sender() override;
  int StackCount() override { return stack_.Count(); }
  bool DeleteStack(int depth) override;

  void SaveState(TStream& stream) const;
  void LoadState(TStream& stream, int version);

private:
  // A frame for the running page: its name, where to return, its continue flag and sender.
  TStack& PushCaller(int32_t returnCounter);
  bool StartEvent(int level);
  int EndOfPage(bool endedWaiting);
  void AssignResult(const std::string& name, const TCustomParam& value);
  void Trace(const TCommand& command, bool event);
  void DropPagesBeyondCache();

  TSysFuncMan& funcs_;
  TTimerList& events_;
  TCallManHooks& hooks_;
  std::list<std::unique_ptr<TPage>> pages_;  // most recent first
  TPage* page_ = nullptr;
  int32_t pc_ = 0;
  bool continue_ = false;
  TStackList stack_;
  bool started_ = false;
  std::vector<std::string> arguments_;
  int state_ = 0;
  TSender sender_;
  int eventLevel_ = 2;
  const TCommand* lastTraced_ = nullptr;
  TCallHost* previousCallHost_;
};

}  // namespace kivo
