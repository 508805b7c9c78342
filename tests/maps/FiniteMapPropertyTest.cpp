// Random sequences of map operations checked against std::map: after every
// step the map is well formed, lists the model's entries in order and has
// the model's size, and the version before the step is unchanged.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "MapTestSupport.h"
#include "maps/FiniteMapCombine.h"
#include "maps/FiniteMapDelete.h"
#include "maps/FiniteMapFold.h"

namespace kelvor::maptest {
namespace {

using Model = std::map<int, int>;
using Pairs = std::vector<std::pair<int, int>>;

int plus(int a, int b) { return a + b; }
int minus(int a, int b) { return a - b; }

// The operands of one step: a key, an element, a list of pairs and a
// second map, each with its model.
struct Operands {
  int k, v;
  Pairs pairs;
  IntMap other;
  Model otherModel;
};

using Op = std::function<IntMap(const IntMap&, Model&, const Operands&)>;

const std::vector<Op>& operations() {
  static const std::vector<Op> ops = {
      [](const IntMap& m, Model& model, const Operands& o) {
        model.insert_or_assign(o.k, o.v);
        return addToFM(kOrder, m, o.k, o.v);
      },
      [](const IntMap& m, Model& model, const Operands& o) {
        model[o.k] += o.v;
        return addToFM_C(kOrder, plus, m, o.k, o.v);
      },
      [](const IntMap& m, Model& model, const Operands& o) {
        model.erase(o.k);
        return delFromFM(kOrder, m, o.k);
      },
      [](const IntMap& m, Model& model, const Operands& o) {
        for (const auto& [k, v] : o.pairs) model.insert_or_assign(k, v);
        return addListToFM(kOrder, m, o.pairs);
      },
      [](const IntMap& m, Model& model, const Operands& o) {
        std::vector<int> keys;
        for (const auto& [k, v] : o.pairs) keys.push_back(k), model.erase(k);
        return delListFromFM(kOrder, m, keys);
      },
      [](const IntMap& m, Model& model, const Operands& o) {
        for (const auto& [k, v] : o.otherModel) model.insert_or_assign(k, v);
        return plusFM(kOrder, m, o.other);
      },
      [](const IntMap& m, Model& model, const Operands& o) {
        for (const auto& [k, v] : o.otherModel) model[k] += v;
        return plusFM_C(kOrder, plus, m, o.other);
      },
      [](const IntMap& m, Model& model, const Operands& o) {
        for (const auto& [k, v] : o.otherModel) model.erase(k);
        return minusFM(kOrder, m, o.other);
      },
      [](const IntMap& m, Model& model, const Operands& o) {
        Model both;
        for (const auto& [k, v] : o.otherModel) {
          if (auto it = model.find(k); it != model.end()) both[k] = it->second - v;
        }
        model = both;
        return intersectFM_C(kOrder, minus, m, o.other);
      },
      [](const IntMap& m, Model& model, const Operands& o) {
        auto keep = [&](int k, int v) { return (k + v) % (2 + o.v % 4) != 0; };
        std::erase_if(model, [&](const auto& kv) { return !keep(kv.first, kv.second); });
        return filterFM(kOrder, keep, m);
      },
  };
  return ops;
}

TEST(FiniteMapProperty, RandomOperationSequencesFollowTheModel) {
  for (unsigned seed = 1; seed <= 150; ++seed) {
    std::mt19937 gen(seed);
    const int keyRange = 1 + static_cast<int>(gen() % 200);
    auto key = [&] { return static_cast<int>(gen() % keyRange) - keyRange / 4; };
    auto pairs = [&](unsigned most) {
      Pairs out(gen() % most);
      for (auto& p : out) p = {key(), static_cast<int>(gen() % 1000)};
      return out;
    };
    IntMap m;
    Model model;
    for (int step = 0; step < 80; ++step) {
      Operands o{key(), static_cast<int>(gen() % 1000), pairs(20), {}, {}};
      for (const auto& [k, v] : pairs(2 * keyRange)) {
        o.other = addToFM(kOrder, std::move(o.other), k, v);
        o.otherModel.insert_or_assign(k, v);
      }
      const Pairs before = fmToList(m);
      const IntMap next = operations()[gen() % operations().size()](m, model, o);
      ASSERT_TRUE(wellFormed(next)) << "seed " << seed << " step " << step;
      ASSERT_EQ(fmToList(next), Pairs(model.begin(), model.end())) << "seed " << seed;
      ASSERT_EQ(sizeFM(next), static_cast<std::int32_t>(model.size()));
      ASSERT_EQ(fmToList(m), before) << "old version changed; seed " << seed;
      m = next;
    }
  }
}

// Handing the old map over lets the insertions update it in place; the tree
// must come out exactly as when the old version is kept, and a copy taken
// before must not see the change.
TEST(FiniteMapProperty, InsertingIntoAMapGivenUpBuildsTheSameTree) {
  std::mt19937 gen(7);
  for (int run = 0; run < 60; ++run) {
    IntMap kept, given;
    for (int step = 0; step < 300; ++step) {
      const int k = static_cast<int>(gen() % 400), v = static_cast<int>(gen() % 9);
      const bool combine = gen() % 2 == 0;
      kept = combine ? addToFM_C(kOrder, plus, kept, k, v) : addToFM(kOrder, kept, k, v);
      const IntMap snapshot = gen() % 10 == 0 ? given : IntMap();
      const std::string snapshotText = showValue(snapshot);
      given = combine ? addToFM_C(kOrder, plus, std::move(given), k, v)
                      : addToFM(kOrder, std::move(given), k, v);
      ASSERT_EQ(showValue(given), showValue(kept)) << "run " << run << " step " << step;
      ASSERT_EQ(showValue(snapshot), snapshotText);
      if (gen() % 25 == 0) {
        kept = delFromFM(kOrder, kept, k);
        given = delFromFM(kOrder, given, k);
      }
    }
  }
}

TEST(FiniteMapProperty, LongAscendingAndDescendingRunsStayBalanced) {
  IntMap up, down;
  for (int k = 0; k < 5000; ++k) {
    up = addToFM(kOrder, std::move(up), k, k);
    down = addToFM(kOrder, std::move(down), -k, k);
  }
  EXPECT_TRUE(wellFormed(up));
  EXPECT_TRUE(wellFormed(down));
  for (int k = 0; k < 5000; k += 2) up = delFromFM(kOrder, up, k);
  EXPECT_TRUE(wellFormed(up));
  EXPECT_EQ(sizeFM(up), 2500);
}

}  // namespace
}  // namespace kelvor::maptest
