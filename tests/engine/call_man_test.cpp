// The call manager over pages built in the test: conditions, loops, calls, waits, events, traces,
// resets and the saved state.
#include <gtest/gtest.h>

#include "engine/call_man.h"
#include "platform/trace.h"
#include "script_builder.h"
#include "support/frame_timing.h"
#include "testkit/temp_folder.h"
#include "values/functions/sys_func_man.h"
#include "values/param_collection.h"
#include "vfs/vr_file_manager.h"

namespace kivo {
namespace {

using testing::TScript;

class CallManTest : public ::testing::Test {
protected:
  CallManTest() {
    FrameTiming().Reset();
    FrameTiming().frameDelta = 15;
    TVrFileManager::Instance().SetBaseFolder(folder.Path());
  }

  void Save(TScript& script) { script.SaveTo(folder.File(script.Page().Name())); }
  void Start(TScript& main) {
    Save(main);
    cm.StartPage(main.Page().Name());
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      FrameTiming().totalTime += FrameTiming().frameDelta;
      cm.Run();
    }
  }
  // Declares global variables with a value (assignments never create variables).
  void Declare(std::initializer_list<std::pair<const char*, const char*>> values) {
    for (auto [name, value] : values) {
      if (!vars.FindVar(name)) vars.AddVar(PT_INT).SetName(name);
      RunText(std::string(name) + " = " + value, funcs);
    }
  }
  std::string Var(const std::string& name) {
    TParamCollectionItem* v = vars.FindVar(name);
    return v ? v->Param->AsString() : "<none>";
  }

  testkit::TempFolder folder;
  TParamCollection vars;
  TSysFuncMan funcs{vars};
  TTimerList events;
  TCallManHooks hooks;
  TCallMan cm{funcs, events, hooks};
};

TEST_F(CallManTest, ConditionChainsTakeTheFirstTrueBranch) {
  struct Case {
    const char* a;
    const char* b;
    const char* expected;
  } cases[] = {{"1 == 1", "1 == 1", "A"}, {"1 == 0", "1 == 1", "B"}, {"1 == 0", "1 == 0", "C"}};
  int n = 0;
  for (const Case& c : cases) {
    TScript main("if" + std::to_string(n++) + ".ksb");
    main.If(1, c.a);
    main.Calc(2, "r = r ++ \"A\"");
    main.Calc(2, "r = r ++ \"a\"");
    main.Elseif(1, c.b);
    main.Calc(2, "r = r ++ \"B\"");
    main.Else(1);
    main.Calc(2, "r = r ++ \"C\"");
    main.Calc(1, "r = r ++ \"!\"");
    vars.ClearVariables();
    vars.AddVar(PT_STR).SetName("r");
    Start(main);
    Frames(1);
    std::string expected = std::string(c.expected) + (std::string(c.expected) == "A" ? "a!" : "!");
    EXPECT_EQ(Var("r"), expected) << c.a << " / " << c.b;
  }
}

TEST_F(CallManTest, LoopsWithBreakAndContinue) {
  // i = 0; sum = 0; while i < 10: i = i + 1; continue if i % 2 == 0; break if i > 7; sum = sum + i
  TScript main("loop.ksb");
  main.Calc(0, "i = 0");
  main.Calc(0, "sum = 0");
  int head = main.Add<TComWhile>(0, true);
  main.Calc(1, "i = i + 1");
  int cont = main.Add<TComContinue>(1, true, [](TComContinue& c) { testing::CompileInto(c.condition, "i % 2 == 0"); });
  int brk = main.Add<TComBreak>(1, true, [](TComBreak& c) { testing::CompileInto(c.condition, "i > 7"); });
  main.Calc(1, "sum = sum + i");
  int loop = main.Add<TComWhileLoop>(0, true);
  int after = main.Calc(0, "done = 1");
  testing::CompileInto(static_cast<TComWhile&>(main.At(head)).condition, "i < 10");
  static_cast<TComWhile&>(main.At(head)).loopEnd = after;
  static_cast<TComContinue&>(main.At(cont)).target = loop;
  static_cast<TComBreak&>(main.At(brk)).target = after;
  static_cast<TComWhileLoop&>(main.At(loop)).loopHead = head;
  Declare({{"i", "0"}, {"sum", "0"}, {"done", "0"}});
  Start(main);
  Frames(1);
  EXPECT_EQ(Var("sum"), "16");  // 1 + 3 + 5 + 7
  EXPECT_EQ(Var("i"), "9");
  EXPECT_EQ(Var("done"), "1");
  EXPECT_FALSE(cm.Continue()) << "the main flow has ended";
}

TEST_F(CallManTest, CallsPassArgumentsAndReturnResults) {
  TScript sub("sub.ksb");
  sub.Page().SetResultType(PT_INT);
  sub.Calc(0, "@Result = StrToIntDef(@ParamStr[0], 0) * 10 + @ParamCount");
  Save(sub);
  TScript main("main.ksb");
  for (const char* target : {"existing", "missing"})
    main.Add<TComCall>(0, true, [&](TComCall& c) {
      c.page = "sub.ksb";
      c.resultVariable = target;
      c.arguments.push_back(std::make_unique<TExpr>());
      testing::CompileInto(*c.arguments.back(), "4");
      c.arguments.push_back(std::make_unique<TExpr>());
      testing::CompileInto(*c.arguments.back(), "\"x\"");
    });
  vars.AddVar(PT_FLOAT).SetName("existing");
  Start(main);
  Frames(1);
  EXPECT_EQ(Var("existing"), "42");
  EXPECT_EQ(vars.FindVar("existing")->Param->ParamType(), PT_FLOAT) << "an existing variable keeps its kind";
  ASSERT_NE(vars.FindVar("missing"), nullptr);
  EXPECT_EQ(vars.FindVar("missing")->Param->ParamType(), PT_STR);
  EXPECT_EQ(Var("missing"), "42");
  EXPECT_EQ(cm.Stack().Count(), 0);
}

TEST_F(CallManTest, DeleteStackDropsOneSuspendedCallWithItsVariables) {
  auto local = [](TScript& s, const char* name) {
    s.Add<TComVarNew>(0, true, [&](TComVarNew& c) {
      c.name = name;
      c.type = PT_INT;
      c.scope = 2;
      testing::CompileInto(c.initialValue, "7");
    });
  };
  auto call = [](TScript& s, const char* page) {
    s.Add<TComCall>(0, true, [&](TComCall& c) { c.page = page; });
  };
  TScript inner("inner.ksb");
  local(inner, "innerLocal");
  inner.Calc(0, "bad = DeleteStack(2)");
  inner.Calc(0, "ok = DeleteStack(1)");
  inner.Calc(0, "seen = innerLocal");
  Save(inner);
  TScript middle("middle.ksb");
  local(middle, "middleLocal");
  call(middle, "inner.ksb");
  middle.Calc(0, "middleRan = 1");
  Save(middle);
  TScript main("main.ksb");
  local(main, "mainLocal");
  call(main, "middle.ksb");
  main.Calc(0, "back = 1");
  Declare({{"ok", "0"}, {"bad", "0"}, {"seen", "0"}, {"middleRan", "0"}, {"back", "0"}});
  Start(main);
  Frames(1);
  EXPECT_EQ(Var("bad"), "0");
  EXPECT_EQ(Var("ok"), "1");
  EXPECT_EQ(Var("seen"), "7") << "the running call's locals move down with it";
  EXPECT_EQ(Var("middleRan"), "0") << "the removed call never resumes";
  EXPECT_EQ(Var("back"), "1");
  EXPECT_EQ(vars.FindVar("middleLocal"), nullptr);
  EXPECT_EQ(vars.FindVar("innerLocal"), nullptr);
  EXPECT_EQ(Var("mainLocal"), "7");
  EXPECT_EQ(cm.Stack().Count(), 0);
}

TEST_F(CallManTest, WaitEndsOnTheFrameTheDeltasReachItsTime) {
  TScript main("wait.ksb");
  main.Calc(0, "n = n + 1", false);  // one frame per pass
  main.Wait(0, "100");
  main.Calc(0, "after = n");
  Declare({{"n", "0"}, {"after", "0"}});
  Start(main);
  Frames(1);  // Calc
  Frames(1);  // Wait armed
  for (int i = 0; i < 6; ++i) Frames(1);  // 90 ms taken off
  EXPECT_EQ(Var("after"), "0");
  Frames(1);  // 105 >= 100: the wait ends and the flow goes on in the same frame
  EXPECT_EQ(Var("after"), "1");
}

TEST_F(CallManTest, EventsWaitForABlockingWaitAndRunDuringAPlainOne) {
  TScript handler("handler.ksb");
  handler.Calc(0, "hits = hits + 1");
  handler.Label(0, "second");
  handler.Calc(0, "seconds = seconds + 1");
  Save(handler);
  for (bool blocking : {true, false}) {
    TScript main(blocking ? "blocking.ksb" : "plain.ksb");
    main.Wait(0, "60", blocking ? "1 == 1" : "");
    main.Calc(0, "done = 1");
    Declare({{"hits", "0"}, {"seconds", "0"}, {"done", "0"}});
    Start(main);
    Frames(1);  // the wait is armed
    events.RaiseEvent("handler.kss:second", std::make_shared<TEventSource>(TEventSource{"button", true}));
    Frames(1);
    EXPECT_EQ(Var("seconds"), blocking ? "0" : "1") << blocking;
    EXPECT_EQ(Var("hits"), "0") << "the label picks the start";
    Frames(4);
    EXPECT_EQ(Var("done"), "1") << blocking;
    EXPECT_EQ(Var("seconds"), "1") << blocking;
    EXPECT_EQ(events.Count(), 0);
  }
}

TEST_F(CallManTest, AllContinuingCommandsFinishInOneFrameAndTraceTheirLines) {
  std::string tracePath = folder.File("trace.txt");
  ASSERT_TRUE(TTrace::OpenFile(tracePath));
  TScript main("cont.ksb");
  main.Calc(0, "a = 1");
  main.Calc(0, "b = 2");
  main.Add<TComBreak>(0, true, [](TComBreak& c) { c.target = -1; });  // ends the page like Exit
  main.Calc(0, "c = 3");
  Declare({{"a", "0"}, {"b", "0"}, {"c", "0"}});
  FrameTiming().totalTime = 0x1230 - 15;
  Start(main);
  Frames(1);
  TTrace::Close();
  EXPECT_EQ(Var("b"), "2");
  EXPECT_EQ(Var("c"), "0");
  EXPECT_FALSE(cm.Continue());
  std::ifstream in(tracePath);
  std::string first, second;
  std::getline(in, first);
  std::getline(in, second);
  EXPECT_EQ(first, "00001230 : cont.ksb(1)");
  EXPECT_EQ(second, "00001230 : cont.ksb(2)");
}

TEST_F(CallManTest, StateSurvivesASaveWhileWaiting) {
  TScript main("saved.ksb");
  main.Wait(0, "100", "1 == 1");
  main.Calc(0, "done = 1");
  Declare({{"done", "0"}});
  Start(main);
  Frames(2);  // armed, then 15 ms taken
  TMemoryStream state;
  cm.SaveState(state);

  TCallMan restored(funcs, events, hooks);
  state.SetPosition(0);
  restored.LoadState(state, 145);
  EXPECT_EQ(state.Position(), state.Size());
  EXPECT_EQ(restored.ProgramCounter(), 0);
  EXPECT_TRUE(restored.Started());
  auto& wait = static_cast<TComWait&>(*restored.CurrentPage()->Command(0));
  EXPECT_EQ(wait.remaining, 85);
  EXPECT_TRUE(wait.BlocksEvents());
  for (int i = 0; i < 6; ++i) {
    FrameTiming().totalTime += 15;
    restored.Run();
  }
  EXPECT_EQ(Var("done"), "1");
}

TEST_F(CallManTest, ResetsRedirectTheMainFlow) {
  TScript target("target.ksb");
  target.Calc(0, "skipped = 1");
  target.Calc(0, "landed = 1");
  Save(target);
  TScript handler("reset.ksb");
  handler.Add<TComPCReset>(0, true, [](TComPCReset& c) {
    c.page = "target.ksb";
    c.start = 1;
  });
  handler.Calc(0, "handlerFinished = 1");
  Save(handler);
  TScript main("waiting.ksb");
  main.Wait(0, "");  // waits until something moves it
  main.Calc(0, "neverHere = 1");
  Declare({{"skipped", "0"}, {"landed", "0"}, {"handlerFinished", "0"}, {"neverHere", "0"}});
  Start(main);
  Frames(1);
  events.RaiseEvent("reset.ksb", std::make_shared<TEventSource>(TEventSource{"b", true}));
  Frames(3);
  EXPECT_EQ(Var("handlerFinished"), "1") << "the handler runs on to its end";
  EXPECT_EQ(Var("landed"), "1");
  EXPECT_EQ(Var("skipped"), "0");
  EXPECT_EQ(Var("neverHere"), "0");
}

}  // namespace
}  // namespace kivo
