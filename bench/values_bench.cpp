// Variable look-up on 10 000 variables and element get/set with conversion, each against a plain
// standard-library baseline doing the same work in the same run.
#include <benchmark/benchmark.h>

#include <charconv>
#include <type_traits>
#include <string>
#include <unordered_map>
#include <vector>

#include "support/sjis.h"
#include "values/param.h"
#include "values/param_collection.h"
#include "values/value_convert.h"

namespace {

using namespace kivo;

constexpr int kVariables = 10000;
constexpr int kElements = 1000;

// Script-like names of mixed case; look-ups spell them in another case.
std::vector<std::string> Names() {
  std::vector<std::string> names;
  for (int i = 0; i < kVariables; ++i) names.push_back((i % 3 == 0 ? "Flag_" : i % 3 == 1 ? "cnt" : "\x95\xCF") + std::to_string(i));
  return names;
}

std::vector<std::string> Queries(const std::vector<std::string>& names) {
  std::vector<std::string> queries;
  for (const std::string& name : names) queries.push_back(SjisUpperCase(name));
  return queries;
}

void BM_FindVar(benchmark::State& state) {
  std::vector<std::string> names = Names();
  TParamCollection vars;
  for (const std::string& name : names) vars.AddVar(PT_INT).SetName(name);
  std::vector<std::string> queries = Queries(names);
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vars.FindVar(queries[i]));
    if (++i == queries.size()) i = 0;
  }
}
BENCHMARK(BM_FindVar);

// The same look-up in a map keyed by the folded name (folding the query as FindVar must).
void BM_FindVarMapBaseline(benchmark::State& state) {
  std::vector<std::string> names = Names();
  std::vector<int> values(names.size());
  std::unordered_map<std::string, int*> map;
  for (size_t k = 0; k < names.size(); ++k) map[SjisLowerCase(names[k])] = &values[k];
  std::vector<std::string> queries = Queries(names);
  size_t i = 0;
  for (auto _ : state) {
    auto found = map.find(SjisLowerCase(queries[i]));
    benchmark::DoNotOptimize(found == map.end() ? nullptr : found->second);
    if (++i == queries.size()) i = 0;
  }
}
BENCHMARK(BM_FindVarMapBaseline);

// Integers through an array of another kind and back: with TParamStr one integer-to-text and one
// text-to-integer per element, with TParamFloat a conversion and a truncation.
template <class Through>
void BM_ParamIntThrough(benchmark::State& state) {
  TParamInt numbers;
  numbers.SetDims({kElements});
  for (int i = 0; i < kElements; ++i) numbers.SetIntAt(i, i * 37 - 5000);
  Through through;
  through.SetDims({kElements});
  for (auto _ : state) {
    for (int i = 0; i < kElements; ++i) through.SetIntAt(i, numbers.GetIntAt(i));
    for (int i = 0; i < kElements; ++i) numbers.SetIntAt(i, through.GetIntAt(i));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_ParamIntThrough<TParamStr>);
BENCHMARK(BM_ParamIntThrough<TParamFloat>);

// The same work on plain vectors with the standard conversions.
template <class Element>
void BM_PlainIntThroughBaseline(benchmark::State& state) {
  std::vector<int32_t> numbers(kElements);
  for (int i = 0; i < kElements; ++i) numbers[static_cast<size_t>(i)] = i * 37 - 5000;
  std::vector<Element> through(kElements);
  for (auto _ : state) {
    for (size_t i = 0; i < numbers.size(); ++i) {
      if constexpr (std::is_same_v<Element, std::string>) through[i] = std::to_string(numbers[i]);
      else through[i] = numbers[i];
    }
    for (size_t i = 0; i < through.size(); ++i) {
      if constexpr (std::is_same_v<Element, std::string>) {
        int32_t v = 0;
        std::from_chars(through[i].data(), through[i].data() + through[i].size(), v);
        numbers[i] = v;
      } else {
        numbers[i] = static_cast<int32_t>(through[i]);
      }
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_PlainIntThroughBaseline<std::string>);
BENCHMARK(BM_PlainIntThroughBaseline<long double>);

}  // namespace
