// Executing compiled expressions against a plain C++ loop doing the same arithmetic.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "support/stream.h"
#include "values/expr/build_parser.h"
#include "values/expr/kivo_parser.h"
#include "values/functions/sys_func_man.h"
#include "values/param.h"
#include "values/param_collection.h"

namespace {

using namespace kivo;

// A variable collection the size of a running game's: the system variables and 200 others.
struct Script {
  TParamCollection vars;
  TSysFuncMan funcs{vars};
  TKivoParser parser;

  explicit Script(const std::string& text) {
    for (int i = 0; i < 200; ++i) vars.AddVar(PT_INT).SetName("v" + std::to_string(i));
    vars.AddVar(PT_INT).SetName("x");
    vars.AddVar(PT_BOOL).SetName("b");
    TBuildKivoParser builder;
    builder.Compile(text);
    TMemoryStream s;
    builder.WriteRunForm(s);
    s.SetPosition(0);
    parser.LoadRunForm(s);
  }
  TCustomParam& X() { return *vars.FindVar("x")->Param; }
};

void BM_PlainIncrement(benchmark::State& state) {
  int32_t x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    x = static_cast<int32_t>(static_cast<uint32_t>(x) + 1u);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlainIncrement);

void BM_ExecuteIncrement(benchmark::State& state) {
  Script script("x = x + 1");
  for (auto _ : state) script.parser.Execute(script.funcs);
  if (script.X().AsInt() != static_cast<int32_t>(state.iterations())) state.SkipWithError("wrong count");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExecuteIncrement);

// Six operations (multiply, subtract, a function call, add, remainder, comparison) and the assignment.
constexpr const char* kSixOps = "b = Abs(x * 3 - 7) + 1 > x % 5";

void BM_PlainSixOps(benchmark::State& state) {
  int32_t x = 0;
  bool b = false;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    b = std::abs(x * 3 - 7) + 1 > x % 5;
    benchmark::DoNotOptimize(b);
    ++x;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlainSixOps);

void BM_ExecuteSixOps(benchmark::State& state) {
  Script script(kSixOps);
  TCustomParam& x = script.X();
  for (auto _ : state) {
    script.parser.Execute(script.funcs);
    x.SetInt(x.AsInt() + 1);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExecuteSixOps);

// A condition as commands evaluate it: the value of a non-assignment expression.
void BM_ExecuteCondition(benchmark::State& state) {
  Script script("x * 2 >= 10");
  for (auto _ : state) {
    script.parser.Execute(script.funcs);
    benchmark::DoNotOptimize(script.parser.Result());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExecuteCondition);

// The collection work every execution needs, for scale: one temporary made and deleted, and one
// look-up of a user variable.
void BM_CollectionTemporary(benchmark::State& state) {
  Script script("x");
  for (auto _ : state) {
    TParamCollectionItem& item = script.vars.AddVar(PT_INT);
    item.SetName("____0");
    script.vars.DeleteVar(item);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CollectionTemporary);

void BM_CollectionFindVar(benchmark::State& state) {
  Script script("x");
  const std::string name = "x";
  for (auto _ : state) benchmark::DoNotOptimize(script.vars.FindVar(name));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CollectionFindVar);

// Compiling at run time (Calc, markup insertion), for scale.
void BM_CompileAndConvert(benchmark::State& state) {
  for (auto _ : state) {
    TBuildKivoParser builder;
    builder.Compile(kSixOps);
    TMemoryStream s;
    builder.WriteRunForm(s);
    benchmark::DoNotOptimize(s.Size());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CompileAndConvert);

}  // namespace
