// The persistent finite map against std::map on the same work: building
// from 1,000,000 random or ascending keys (giving up each old version, and
// keeping it), looking every key up, and the union and intersection of two
// 100,000-key maps.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <compare>
#include <cstdint>
#include <map>
#include <numeric>
#include <random>
#include <vector>

#include "maps/FiniteMap.h"
#include "maps/FiniteMapCombine.h"
#include "maps/FiniteMapInsert.h"

namespace {

using kelvor::FiniteMap;
using Map = FiniteMap<std::int64_t, std::int64_t>;
using StdMap = std::map<std::int64_t, std::int64_t>;

constexpr std::compare_three_way kOrder{};
constexpr std::int64_t kBuildKeys = 1'000'000;
constexpr std::int64_t kSetKeys = 100'000;

std::vector<std::int64_t> randomKeys(std::int64_t n, std::uint32_t seed) {
  std::mt19937_64 gen(seed);
  std::vector<std::int64_t> keys(static_cast<std::size_t>(n));
  for (auto& k : keys) k = static_cast<std::int64_t>(gen() >> 1);
  return keys;
}

std::vector<std::int64_t> ascendingKeys(std::int64_t n) {
  std::vector<std::int64_t> keys(static_cast<std::size_t>(n));
  std::iota(keys.begin(), keys.end(), std::int64_t{0});
  return keys;
}

// Every version stays valid: the old map is still held while the new one
// is built, so each insertion copies its path.
Map buildFmPersistent(const std::vector<std::int64_t>& keys) {
  Map m;
  for (std::int64_t k : keys) {
    const Map old = m;
    m = kelvor::addToFM(kOrder, old, k, k);
  }
  return m;
}

// The old version is given up at each step, so the path is updated in place.
Map buildFm(const std::vector<std::int64_t>& keys) {
  Map m;
  for (std::int64_t k : keys) m = kelvor::addToFM(kOrder, std::move(m), k, k);
  return m;
}

StdMap buildStd(const std::vector<std::int64_t>& keys) {
  StdMap m;
  for (std::int64_t k : keys) m.insert_or_assign(k, k);
  return m;
}

// Two key sets that share about half their keys.
std::pair<std::vector<std::int64_t>, std::vector<std::int64_t>> overlappingKeys() {
  std::vector<std::int64_t> a = randomKeys(kSetKeys, 11);
  std::vector<std::int64_t> b = randomKeys(kSetKeys, 12);
  std::copy(a.begin(), a.begin() + kSetKeys / 2, b.begin());
  return {a, b};
}

void BM_FmInsertRandom(benchmark::State& state) {
  const auto keys = randomKeys(kBuildKeys, 1);
  for (auto _ : state) benchmark::DoNotOptimize(buildFm(keys));
  state.SetItemsProcessed(state.iterations() * kBuildKeys);
}
void BM_FmInsertRandomPersistent(benchmark::State& state) {
  const auto keys = randomKeys(kBuildKeys, 1);
  for (auto _ : state) benchmark::DoNotOptimize(buildFmPersistent(keys));
  state.SetItemsProcessed(state.iterations() * kBuildKeys);
}
void BM_StdMapInsertRandom(benchmark::State& state) {
  const auto keys = randomKeys(kBuildKeys, 1);
  for (auto _ : state) benchmark::DoNotOptimize(buildStd(keys));
  state.SetItemsProcessed(state.iterations() * kBuildKeys);
}
void BM_FmInsertAscending(benchmark::State& state) {
  const auto keys = ascendingKeys(kBuildKeys);
  for (auto _ : state) benchmark::DoNotOptimize(buildFm(keys));
  state.SetItemsProcessed(state.iterations() * kBuildKeys);
}
void BM_FmInsertAscendingPersistent(benchmark::State& state) {
  const auto keys = ascendingKeys(kBuildKeys);
  for (auto _ : state) benchmark::DoNotOptimize(buildFmPersistent(keys));
  state.SetItemsProcessed(state.iterations() * kBuildKeys);
}
void BM_StdMapInsertAscending(benchmark::State& state) {
  const auto keys = ascendingKeys(kBuildKeys);
  for (auto _ : state) benchmark::DoNotOptimize(buildStd(keys));
  state.SetItemsProcessed(state.iterations() * kBuildKeys);
}

void BM_FmLookup(benchmark::State& state) {
  const auto keys = randomKeys(kBuildKeys, 1);
  const Map m = buildFm(keys);
  auto probes = keys;
  std::shuffle(probes.begin(), probes.end(), std::mt19937_64(2));
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::int64_t k : probes) sum += *kelvor::findEltFM(kOrder, m, k);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kBuildKeys);
}
void BM_StdMapLookup(benchmark::State& state) {
  const auto keys = randomKeys(kBuildKeys, 1);
  const StdMap m = buildStd(keys);
  auto probes = keys;
  std::shuffle(probes.begin(), probes.end(), std::mt19937_64(2));
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::int64_t k : probes) sum += m.find(k)->second;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kBuildKeys);
}

void BM_FmUnion(benchmark::State& state) {
  const auto [ka, kb] = overlappingKeys();
  const Map a = buildFm(ka), b = buildFm(kb);
  for (auto _ : state) benchmark::DoNotOptimize(kelvor::plusFM(kOrder, a, b));
}
// The same result with std::map: every entry of both, the second map's
// element winning.
void BM_StdMapUnion(benchmark::State& state) {
  const auto [ka, kb] = overlappingKeys();
  const StdMap a = buildStd(ka), b = buildStd(kb);
  for (auto _ : state) {
    StdMap r = b;
    r.insert(a.begin(), a.end());
    benchmark::DoNotOptimize(r);
  }
}

void BM_FmIntersect(benchmark::State& state) {
  const auto [ka, kb] = overlappingKeys();
  const Map a = buildFm(ka), b = buildFm(kb);
  for (auto _ : state) benchmark::DoNotOptimize(kelvor::intersectFM(kOrder, a, b));
}
void BM_StdMapIntersect(benchmark::State& state) {
  const auto [ka, kb] = overlappingKeys();
  const StdMap a = buildStd(ka), b = buildStd(kb);
  for (auto _ : state) {
    StdMap r;
    for (const auto& [k, e] : b) {
      if (a.contains(k)) r.emplace_hint(r.end(), k, e);
    }
    benchmark::DoNotOptimize(r);
  }
}

BENCHMARK(BM_FmInsertRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FmInsertRandomPersistent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMapInsertRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FmInsertAscending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FmInsertAscendingPersistent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMapInsertAscending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FmLookup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMapLookup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FmUnion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMapUnion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FmIntersect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMapIntersect)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
