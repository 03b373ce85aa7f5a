// THashCollection.IndexOf on 100 000 names against a std::unordered_map keyed by the folded name.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "support/hash_collection.h"
#include "support/sjis.h"

namespace {

constexpr int kNames = 100000;

// Variable- and file-like names of mixed length and case, some with double-byte characters.
const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    std::mt19937 random(42);
    std::vector<std::string> out;
    out.reserve(kNames);
    for (int i = 0; i < kNames; ++i) {
      std::string name;
      int length = 3 + static_cast<int>(random() % 14);
      for (int k = 0; k < length; ++k) {
        if (random() % 10 == 0) {
          name += "\x83";
          name += static_cast<char>(0x40 + random() % 0x3F);
        } else {
          name += static_cast<char>((random() % 2 ? 'a' : 'A') + random() % 26);
        }
      }
      out.push_back(name + std::to_string(i));
    }
    return out;
  }();
  return names;
}

// Queries: every name in another case.
const std::vector<std::string>& Queries() {
  static const std::vector<std::string> queries = [] {
    std::vector<std::string> out;
    for (const std::string& n : Names()) out.push_back(kivo::SjisUpperCase(n));
    return out;
  }();
  return queries;
}

void BM_HashCollectionIndexOf(benchmark::State& state) {
  kivo::THashCollection collection;
  for (const std::string& n : Names()) collection.AddNamed(n);
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(collection.IndexOf(Queries()[i]));
    if (++i == Queries().size()) i = 0;
  }
}
BENCHMARK(BM_HashCollectionIndexOf);

void BM_UnorderedMapBaseline(benchmark::State& state) {
  std::unordered_map<std::string, int> map;
  for (size_t k = 0; k < Names().size(); ++k) map.emplace(kivo::SjisLowerCase(Names()[k]), static_cast<int>(k));
  size_t i = 0;
  for (auto _ : state) {
    auto it = map.find(kivo::SjisLowerCase(Queries()[i]));
    benchmark::DoNotOptimize(it == map.end() ? -1 : it->second);
    if (++i == Queries().size()) i = 0;
  }
}
BENCHMARK(BM_UnorderedMapBaseline);

}  // namespace
