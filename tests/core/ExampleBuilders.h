// Small builders for examples in tests.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/examples/Collections.h"
#include "core/examples/Example.h"
#include "core/examples/ExampleCollection.h"
#include "core/kernels/TreeKernel.h"

namespace kelvor::testing {

inline Array<RealFeature> reals(std::initializer_list<std::pair<int, double>> fs) {
  std::vector<RealFeature> out;
  for (auto [i, v] : fs) out.push_back({i, v});
  return Array<RealFeature>(std::move(out));
}

inline TokenSeq tokens(std::initializer_list<const char*> ts) {
  std::vector<TokenId> ids;
  for (const char* t : ts) ids.push_back(internToken(t));
  return TokenSeq(std::move(ids));
}

inline ExamplePtr example(Array<RealFeature> r, std::vector<StringFeature> s = {},
                          std::vector<TreeFeature> t = {}, int qid = 0) {
  return std::make_shared<const Example>(std::move(r), Array<StringFeature>(std::move(s)),
                                         Array<TreeFeature>(std::move(t)), qid);
}

inline TreeFeature treeFeature(int number, ParseTree tree) {
  KernelTreePtr kt = KernelTree::make(std::move(tree));
  const double self = selfTreeKernel(*kt);
  return {number, std::move(kt), self};
}

inline Examples collection(std::vector<Element> elems) {
  return mkArrayExamples(Array<Element>(std::move(elems)));
}

}  // namespace kelvor::testing
