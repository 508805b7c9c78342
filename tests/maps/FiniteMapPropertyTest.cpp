// Random sequences of map operations checked against std::map: after every
// step the map is well formed, lists the model's entries in order and has
// the model's size, and the version before the step is unchanged.
#include <gtest/gtest.h>

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

Pairs listOf(const Model& model) { return Pairs(model.begin(), model.end()); }

int plus(int a, int b) { return a + b; }

struct Step {
  IntMap map;
  Model model;
};

class RandomOps {
 public:
  explicit RandomOps(unsigned seed) : gen_(seed), keyRange_(1 + static_cast<int>(gen_() % 200)) {}

  int key() { return static_cast<int>(gen_() % static_cast<unsigned>(keyRange_)) - keyRange_ / 4; }
  int value() { return static_cast<int>(gen_() % 1000); }
  unsigned pick(unsigned n) { return static_cast<unsigned>(gen_() % n); }

  Pairs pairs(unsigned most) {
    Pairs out(pick(most));
    for (auto& p : out) p = {key(), value()};
    return out;
  }

  std::pair<IntMap, Model> otherMap() {
    IntMap m;
    Model model;
    for (const auto& [k, v] : pairs(2 * static_cast<unsigned>(keyRange_))) {
      m = addToFM(kOrder, std::move(m), k, v);
      model.insert_or_assign(k, v);
    }
    return {m, model};
  }

  // Applies one random operation to the map and the model alike.
  Step apply(const IntMap& m, Model model) {
    switch (pick(12)) {
      case 0: {
        const int k = key(), v = value();
        model.insert_or_assign(k, v);
        return {addToFM(kOrder, m, k, v), model};
      }
      case 1: {
        const int k = key(), v = value();
        model[k] += v;
        return {addToFM_C(kOrder, plus, m, k, v), model};
      }
      case 2: {
        const int k = key(), v = value();
        auto [it, fresh] = model.try_emplace(k, v);
        if (!fresh) it->second = it->second * 2 - v;
        auto combine = [](int stored, int added) { return stored * 2 - added; };
        return {addToFM_C2(
                    kOrder, [](int added, int) { return added; }, combine, m, k, v),
                model};
      }
      case 3: {
        const int k = key();
        model.erase(k);
        return {delFromFM(kOrder, m, k), model};
      }
      case 4: {
        const Pairs ps = pairs(20);
        for (const auto& [k, v] : ps) model.insert_or_assign(k, v);
        return {addListToFM(kOrder, m, ps), model};
      }
      case 5: {
        std::vector<int> keys(pick(20));
        for (int& k : keys) {
          k = key();
          model.erase(k);
        }
        return {delListFromFM(kOrder, m, keys), model};
      }
      case 6: {
        auto [other, otherModel] = otherMap();
        for (const auto& [k, v] : otherModel) model.insert_or_assign(k, v);
        return {plusFM(kOrder, m, other), model};
      }
      case 7: {
        auto [other, otherModel] = otherMap();
        for (const auto& [k, v] : otherModel) model[k] += v;
        return {plusFM_C(kOrder, plus, m, other), model};
      }
      case 8: {
        auto [other, otherModel] = otherMap();
        for (const auto& [k, v] : otherModel) model.erase(k);
        return {minusFM(kOrder, m, other), model};
      }
      case 9: {
        auto [other, otherModel] = otherMap();
        Model both;
        for (const auto& [k, v] : otherModel) {
          if (auto it = model.find(k); it != model.end()) both[k] = it->second - v;
        }
        return {intersectFM_C(
                    kOrder, [](int a, int b) { return a - b; }, m, other),
                both};
      }
      case 10: {
        auto [other, otherModel] = otherMap();
        Model both;
        for (const auto& [k, v] : otherModel) {
          if (model.contains(k)) both[k] = v;
        }
        return {intersectFM(kOrder, m, other), both};
      }
      default: {
        const int modulus = 2 + static_cast<int>(pick(4));
        auto keep = [modulus](int k, int v) { return (k + v) % modulus != 0; };
        std::erase_if(model, [&](const auto& kv) { return !keep(kv.first, kv.second); });
        return {filterFM(kOrder, keep, m), model};
      }
    }
  }

 private:
  std::mt19937 gen_;
  int keyRange_;
};

TEST(FiniteMapProperty, RandomOperationSequencesFollowTheModel) {
  for (unsigned seed = 1; seed <= 150; ++seed) {
    RandomOps ops(seed);
    IntMap m;
    Model model;
    for (int step = 0; step < 80; ++step) {
      const Pairs before = fmToList(m);
      Step next = ops.apply(m, model);
      ASSERT_TRUE(wellFormed(next.map)) << "seed " << seed << " step " << step;
      ASSERT_EQ(fmToList(next.map), listOf(next.model)) << "seed " << seed << " step " << step;
      ASSERT_EQ(sizeFM(next.map), static_cast<std::int32_t>(next.model.size()));
      ASSERT_EQ(fmToList(m), before) << "old version changed; seed " << seed << " step " << step;
      m = std::move(next.map);
      model = std::move(next.model);
    }
  }
}

// Handing the old map over lets the insertions update it in place; the tree
// must come out exactly as when the old version is kept, and a copy taken
// before must not see the change.
TEST(FiniteMapProperty, InsertingIntoAMapGivenUpBuildsTheSameTree) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    RandomOps ops(seed);
    IntMap kept, given;
    for (int step = 0; step < 300; ++step) {
      const int k = ops.key(), v = ops.value();
      const bool combine = ops.pick(2) == 0;
      kept = combine ? addToFM_C(kOrder, plus, kept, k, v) : addToFM(kOrder, kept, k, v);
      IntMap snapshot;
      std::string snapshotText;
      if (ops.pick(10) == 0) {
        snapshot = given;
        snapshotText = showValue(snapshot);
      }
      given = combine ? addToFM_C(kOrder, plus, std::move(given), k, v)
                      : addToFM(kOrder, std::move(given), k, v);
      ASSERT_EQ(showValue(given), showValue(kept)) << "seed " << seed << " step " << step;
      ASSERT_TRUE(wellFormed(given));
      if (!snapshotText.empty()) {
        ASSERT_EQ(showValue(snapshot), snapshotText);
      }
      if (ops.pick(25) == 0) {
        const int d = ops.key();
        kept = delFromFM(kOrder, kept, d);
        given = delFromFM(kOrder, given, d);
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
