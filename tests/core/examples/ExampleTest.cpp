#include <gtest/gtest.h>

#include <limits>

#include "base/Fatal.h"
#include "core/examples/Example.h"
#include "core/model/RecordShow.h"
#include "tests/core/ExampleBuilders.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;

ParseTree leaf(const char* tag, const char* text) { return Term<Unit>(tag, text, {}); }

TEST(Example, RealOnlyExamplesComputeTheirNormLazily) {
  auto e = mkExample(reals({}));
  EXPECT_EQ(e->vectorReal().hi(), 0);
  EXPECT_EQ(e->vectorString().hi(), 0);
  EXPECT_EQ(e->vectorTree().hi(), 0);
  EXPECT_EQ(e->ex_qid(), 0);
  EXPECT_EQ(e->twonorm_sq(), 0.0);
  auto f = mkExampleQID(reals({{2, 4.0}, {1, 3.0}}), -3);
  EXPECT_EQ(f->vectorReal().at(1).index, 2);  // kept in the caller's order
  EXPECT_EQ(f->ex_qid(), -3);
  EXPECT_EQ(mkExample(reals({{1, 3.0}, {2, 4.0}}))->twonorm_sq(), 25.0);
}

// A source that counts conversions and can fail one field.
class FakeSource final : public ExampleSource {
 public:
  Array<RealFeature> convertReal() const override {
    ++calls;
    return reals({{0, 1.0}, {4, 2.0}});
  }
  Array<StringFeature> convertString() const override {
    ++calls;
    return {};
  }
  Array<TreeFeature> convertTree() const override {
    ++calls;
    return {};
  }
  std::int32_t convertQid() const override {
    ++calls;
    fail("bad qid");
  }
  mutable int calls = 0;
};

TEST(Example, SourceFieldsConvertAtFirstUseOnly) {
  auto source = std::make_shared<FakeSource>();
  Example e(source);
  EXPECT_EQ(source->calls, 0);
  EXPECT_EQ(e.vectorReal().at(2).value, 2.0);
  EXPECT_EQ(e.vectorReal().hi(), 2);
  EXPECT_EQ(source->calls, 1);
  EXPECT_EQ(e.twonorm_sq(), 5.0);  // converts the other two arrays
  EXPECT_EQ(source->calls, 3);
  EXPECT_THROW(e.ex_qid(), FatalError);  // a bad field fails only when used
  EXPECT_THROW(e.ex_qid(), FatalError);
}

TEST(Example, EqualityAndOrderingFieldByField) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  auto a = example(reals({{0, 1.0}}));
  auto b = example(reals({{0, 1.0}}));
  auto longer = example(reals({{0, 1.0}, {1, 1.0}}));
  EXPECT_TRUE(*a == *b);
  EXPECT_TRUE((*a <=> *b) == 0);
  EXPECT_TRUE(*a < *longer);  // a proper prefix is less
  auto withNan = example(reals({{0, nan}}));
  EXPECT_FALSE(*withNan == *withNan);
  EXPECT_TRUE((*withNan <=> *a) > 0);

  auto s1 = example(reals({}), {{1, tokens({"a"})}});
  auto s2 = example(reals({}), {{1, tokens({"a", "b"})}});
  auto s3 = example(reals({}), {{1, tokens({"b"})}});
  EXPECT_TRUE(*s1 < *s2);
  EXPECT_TRUE(*s2 < *s3);

  // A leaf is less than an inner node with the same tag.
  auto leafEx = example(reals({}), {}, {treeFeature(1, leaf("NP", "z"))});
  auto innerEx =
      example(reals({}), {}, {treeFeature(1, NonTerm<Unit>("NP", {leaf("A", "a")}, {}))});
  EXPECT_TRUE(*leafEx < *innerEx);
  EXPECT_FALSE(*leafEx == *innerEx);
  EXPECT_EQ(&exampleMax(*a, *b), b.get());
  EXPECT_EQ(&exampleMin(*a, *b), a.get());
}

TEST(Example, PrintedForms) {
  auto bias = mkExampleQID(reals({{0, 2.0}}), 0);
  EXPECT_EQ(showExample(*bias),
            "Example {vectorReal = array (1,1) [(1,(0,2.0))], vectorString = array (1,0) [], "
            "vectorTree = array (1,0) [], twonorm_sq = 4.0, ex_qid = 0}");
  std::string paren;
  showsPrecExample(paren, 11, *bias);
  EXPECT_EQ(paren.front(), '(');

  auto rich = example(reals({{0, -1.5}}), {{2, tokens({"a\"b", "c"})}},
                      {treeFeature(3, NonTerm<Unit>("NP", {leaf("DT", "the")}, {}))}, -3);
  const std::string text = showExample(*rich);
  EXPECT_NE(text.find("[(1,(0,-1.5))]"), std::string::npos) << text;
  EXPECT_NE(text.find("[(1,(2,[\"a\\\"b\",\"c\"]))]"), std::string::npos) << text;
  EXPECT_NE(text.find("[(1,(3,((NP (DT \"the\")),"), std::string::npos) << text;
  EXPECT_NE(text.find("ex_qid = -3}"), std::string::npos) << text;

  Examples none = collection({});
  EXPECT_EQ(showExamples(none), "[]");
  Examples one = collection({{bias, -1.0}});
  EXPECT_EQ(showExamples(one), "[(" + showExample(*bias) + ",-1.0)]");

  Model m{.modelSignature = "sig \"x\"",
          .kernelType = KernelType::RBFKernel,
          .kernelParamD = 3,
          .kernelParamG = 0.5,
          .kernelParamS = 1.0,
          .kernelParamR = -1.0,
          .kernelParamU = "empty",
          .kernelParamStringMaxN = 1,
          .kernelParamStringLambda = 0.9,
          .kernelParamTreeMaxD = 4,
          .kernelParamTreeLambda = 0.5,
          .kernelParamSigmoid = false,
          .kernelParamSigmoidA = 0.0,
          .kernelParamSigmoidB = 0.0,
          .highestFeatureIndex = 7,
          .numberTrainingDocuments = 10,
          .numberSVs = 0,
          .thresholdB = 2.0,
          .supportVectors = none};
  EXPECT_EQ(showModel(m),
            "Model {modelSignature = \"sig \\\"x\\\"\", kernelType = RBFKernel, kernelParamD = 3, "
            "kernelParamG = 0.5, kernelParamS = 1.0, kernelParamR = -1.0, kernelParamU = "
            "\"empty\", kernelParamStringMaxN = 1, kernelParamStringLambda = 0.9, "
            "kernelParamTreeMaxD = 4, kernelParamTreeLambda = 0.5, kernelParamSigmoid = False, "
            "kernelParamSigmoidA = 0.0, kernelParamSigmoidB = 0.0, highestFeatureIndex = 7, "
            "numberTrainingDocuments = 10, numberSVs = 0, thresholdB = 2.0, supportVectors = []}");
}

}  // namespace
}  // namespace kelvor
