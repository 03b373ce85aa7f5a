// A script loop run by the call manager in one frame, against the same work done by executing
// the loop's expressions directly (no commands, no call manager).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "engine/call_man.h"
#include "engine/commands/flow_commands.h"
#include "support/frame_timing.h"
#include "values/expr/build_parser.h"
#include "values/functions/sys_func_man.h"
#include "values/param_collection.h"
#include "vfs/vr_file_manager.h"

namespace {

using namespace kivo;

constexpr int kIterations = 1000000;

void Compile(TExpr& expr, const std::string& text) {
  TBuildKivoParser build;
  build.Compile(text);
  TMemoryStream s;
  build.WriteRunForm(s);
  s.SetPosition(0);
  expr.LoadRunForm(s);
}

template <class T>
T& Add(TPage& page, const std::function<void(T&)>& fill) {
  auto c = std::make_unique<T>();
  c->SetHead(0, false, true, page.Count() + 1);
  fill(*c);
  T& ref = *c;
  page.Add(std::move(c));
  return ref;
}

// i = 0; while i < N: sum = sum + i; i = i + 1 — three commands an iteration, all continuing.
std::string WriteLoopPage(const std::string& folder) {
  TPage page;
  Add<TComWhileInit>(page, [](auto& c) { Compile(c.statement, "i = 0"); });
  auto& loop = Add<TComWhile>(page, [](auto& c) { Compile(c.condition, "i < " + std::to_string(kIterations)); });
  Add<TComCalc>(page, [](auto& c) { Compile(c.statement, "sum = sum + i"); });
  Add<TComWhileLoop>(page, [](auto& c) {
    Compile(c.statement, "i = i + 1");
    c.loopHead = 1;
  });
  loop.loopEnd = page.Count();
  TMemoryStream bytes;
  page.SaveToStream(bytes);
  std::ofstream(folder + "loop.ksb", std::ios::binary).write(reinterpret_cast<const char*>(bytes.Memory()), bytes.Size());
  return "loop.ksb";
}

struct Game {
  TParamCollection vars;
  TSysFuncMan funcs{vars};
  TTimerList events;
  TCallManHooks hooks;
  TCallMan callMan{funcs, events, hooks};
  std::string folder = (std::filesystem::temp_directory_path() / "kivo-callman-bench/").string();

  Game() {
    std::filesystem::create_directories(folder);
    for (const char* name : {"i", "sum"}) vars.AddVar(PT_INT).SetName(name);
    TVrFileManager::Instance().SetBaseFolder(folder);
    FrameTiming().Reset();
  }
  ~Game() { std::filesystem::remove_all(folder); }
};

void BM_ScriptLoopInOneFrame(benchmark::State& state) {
  Game game;
  std::string page = WriteLoopPage(game.folder);
  for (auto _ : state) {
    game.callMan.StartPage(page);
    game.callMan.Run();
  }
  if (game.vars.FindVar("i")->Param->AsInt() != kIterations) state.SkipWithError("the loop did not finish");
  state.SetItemsProcessed(state.iterations() * 3 * kIterations);
  state.counters["commands/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 3 * kIterations,
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScriptLoopInOneFrame)->Unit(benchmark::kMillisecond);

// The baseline: the loop's three expressions executed directly, as often as the commands run.
void BM_SameExpressionsWithoutCommands(benchmark::State& state) {
  Game game;
  TExpr condition, body, step;
  Compile(condition, "i < " + std::to_string(kIterations));
  Compile(body, "sum = sum + i");
  Compile(step, "i = i + 1");
  TCustomParam& i = *game.vars.FindVar("i")->Param;
  for (auto _ : state) {
    i.SetInt(0);
    for (;;) {
      condition.Execute(game.funcs);
      if (!condition.Result()->AsBool()) break;
      body.Execute(game.funcs);
      step.Execute(game.funcs);
    }
  }
  state.SetItemsProcessed(state.iterations() * 3 * kIterations);
  state.counters["expressions/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 3 * kIterations,
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SameExpressionsWithoutCommands)->Unit(benchmark::kMillisecond);

}  // namespace
