// Plain transcriptions of the string and tree kernels, table for table and
// without any of the shortcuts of the library's versions: the yardstick the
// fast kernels are tested and benchmarked against. Header-only so that the
// benchmarks can use it too.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Fatal.h"
#include "core/kernels/KernelParams.h"
#include "core/kernels/TreeNodes.h"
#include "trees/AnnTree.h"
#include "trees/Traverse.h"

namespace kelvor::reference {

// ---- String kernel -------------------------------------------------------

inline double stringKernel(std::int32_t n, double lambda, const std::vector<std::string>& s,
                           const std::vector<std::string>& t) {
  if (n < 1) return 0.0;
  const auto ls = static_cast<std::int64_t>(s.size());
  const auto lt = static_cast<std::int64_t>(t.size());
  // T(i, x, y) for 0 <= i <= n - 1, 1 <= x <= |s|, 1 <= y <= |t|, on demand.
  std::vector<std::optional<double>> table(static_cast<std::size_t>(n * ls * lt));
  const auto at = [&](std::int64_t i, std::int64_t x, std::int64_t y) -> std::optional<double>& {
    return table[static_cast<std::size_t>((i * ls + (x - 1)) * lt + (y - 1))];
  };
  std::function<double(std::int64_t, std::int64_t, std::int64_t)> cell;
  cell = [&](std::int64_t i, std::int64_t x, std::int64_t y) -> double {
    std::optional<double>& memo = at(i, x, y);
    if (memo) return *memo;
    double v;
    if (i == 0) {
      v = 1.0;
    } else if (std::min(x, y) <= i) {
      v = 0.0;
    } else {
      double sum = 0.0;
      for (std::int64_t l = 1; l <= lt; ++l)
        if (t[static_cast<std::size_t>(l - 1)] == s[static_cast<std::size_t>(x - 1)])
          sum = sum + cell(i - 1, x, l) * intPower(lambda, static_cast<std::int32_t>(lt - l + 2));
      v = (lambda * cell(i, x - 1, y)) + sum;
    }
    memo = v;
    return v;
  };

  double result = 0.0;
  for (std::int64_t m = 1; m <= n; ++m) {
    double k = 0.0;  // K(m, 0)
    for (std::int64_t a = 1; a <= ls; ++a) {
      if (std::min(a, lt) < m) {
        k = 0.0;
        continue;
      }
      double p = 0.0;
      for (std::int64_t l = 1; l <= lt; ++l)
        if (t[static_cast<std::size_t>(l - 1)] == s[static_cast<std::size_t>(a - 1)])
          p = p + (cell(m - 1, a, l) * lambda) * lambda;
      k = k + p;
    }
    result = result + k;
  }
  return result;
}

// ---- Tree kernel ---------------------------------------------------------

using NumberedTree = AnnTree<std::int32_t>;
using Production = std::pair<std::string, std::vector<std::string>>;
using ProductionMap = std::map<Production, std::vector<NumberedTree>>;

// The combining function of the production map: the new node in front of
// those stored before it.
inline std::vector<NumberedTree> add(std::vector<NumberedTree> stored,
                                     std::vector<NumberedTree> fresh) {
  if (fresh.size() != 1) failPattern("KelvorReference|function add");
  fresh.insert(fresh.end(), stored.begin(), stored.end());
  return fresh;
}

inline ProductionMap productionMap(const NumberedTree& tree) {
  auto step = [](ProductionMap map, const NumberedTree& node) {
    Production key = treeProduction(node);
    auto it = map.find(key);
    if (it == map.end())
      map.emplace(std::move(key), std::vector<NumberedTree>{node});
    else
      it->second = add(std::move(it->second), {node});
    return std::pair<ProductionMap, NumberedTree>(std::move(map), node);
  };
  return traverseTopDown(step, ProductionMap{}, tree).first;
}

template <class A>
double treeKernel(double lambda, std::int32_t maxd, const AnnTree<A>& t1, const AnnTree<A>& t2) {
  auto [next1, n1] = numberTreeNodes(1, t1);
  auto [next2, n2] = numberTreeNodes(1, t2);
  const std::int64_t size1 = next1 - 1, size2 = next2 - 1;
  if (maxd <= 0) return 0.0;
  const ProductionMap map1 = productionMap(n1);
  const ProductionMap map2 = productionMap(n2);

  // The dense C table; entries of pairs whose productions differ stay 0.0.
  struct Entry {
    bool matching = false;
    std::optional<double> value;
  };
  std::vector<Entry> table(static_cast<std::size_t>(size1 * size2 * maxd));
  const auto at = [&](std::int64_t i, std::int64_t j, std::int64_t d) -> Entry& {
    return table[static_cast<std::size_t>(((i - 1) * size2 + (j - 1)) * maxd + (d - 1))];
  };
  for (const auto& [production, xs] : map1) {
    auto found = map2.find(production);
    if (found == map2.end()) continue;
    for (const NumberedTree& y : found->second)
      for (const NumberedTree& x : xs)
        for (std::int64_t d = 1; d <= maxd; ++d) at(x.treeAnn(), y.treeAnn(), d).matching = true;
  }

  std::function<double(std::int64_t, const NumberedTree&, const NumberedTree&)> calcC;
  const auto entry = [&](const NumberedTree& x, const NumberedTree& y, std::int64_t d) -> double {
    Entry& e = at(x.treeAnn(), y.treeAnn(), d);
    if (!e.matching) return 0.0;
    if (!e.value) e.value = calcC(d, x, y);
    return *e.value;
  };
  calcC = [&](std::int64_t d, const NumberedTree& x, const NumberedTree& y) -> double {
    if (d == maxd) return lambda;
    if (x.isTerm() && y.isTerm()) return lambda;
    if (x.isNonTerm() && y.isNonTerm()) {
      double product = 1.0;
      for (const NumberedTree& a : x.treeChildren())
        for (const NumberedTree& b : y.treeChildren()) product = product * (1 + entry(a, b, d + 1));
      return lambda * product;
    }
    failPattern("KelvorReference|function calcC");
  };

  // Nodes by number, for the final sum over every pair.
  std::vector<NumberedTree> nodes1, nodes2;
  const auto collect = [](std::vector<NumberedTree> acc, const NumberedTree& node) {
    acc.push_back(node);
    return std::pair<std::vector<NumberedTree>, NumberedTree>(std::move(acc), node);
  };
  nodes1 = traverseTopDown(collect, std::vector<NumberedTree>{}, n1).first;
  nodes2 = traverseTopDown(collect, std::vector<NumberedTree>{}, n2).first;

  double sum = 0.0;
  for (const NumberedTree& x : nodes1)
    for (const NumberedTree& y : nodes2) sum = sum + entry(x, y, 1);
  return sum;
}

}  // namespace kelvor::reference
