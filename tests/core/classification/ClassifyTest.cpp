#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <sstream>

#include "TempFile.h"
#include "base/Fatal.h"
#include "core/classification/Classify.h"
#include "tests/core/ExampleBuilders.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;

const KernelFunction kLinear = [](const Example& a, const Example& b) {
  return linearKernel(a, b);
};

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Classify, DecisionValueSumsSupportVectorsInIndexOrder) {
  auto sv1 = mkExample(reals({{0, 1.0}, {1, 1.0}}));
  auto sv2 = mkExample(reals({{0, 1.0}, {2, 1.0}}));
  Examples svs = collection({{sv1, 0.5}, {sv2, -2.0}});
  auto x = mkExample(reals({{0, 1.0}, {1, 3.0}}));
  const double lambda = 0.5;
  const double expected = (0.0 + 0.5 * (4.0 + 0.25)) + (-2.0 * (1.0 + 0.25));
  EXPECT_EQ(classify(kLinear, lambda, svs, *x), expected);
  EXPECT_EQ(classifyWithStringCaches(kLinear, lambda, svs, *x), expected);
  // The support vector is the kernel's first argument.
  std::vector<const Example*> firstArgs;
  KernelFunction spy = [&](const Example& a, const Example&) {
    firstArgs.push_back(&a);
    return 0.0;
  };
  classify(spy, lambda, svs, *x);
  EXPECT_EQ(firstArgs, (std::vector<const Example*>{sv1.get(), sv2.get()}));
  EXPECT_EQ(classify(kLinear, lambda, collection({}), *x), 0.0);
}

// Decision values are taken from the example's only real feature, through a
// kernel that returns it for a single support vector of coefficient 1.
// Each element a new example, gone once the next is asked for, as with a
// collection read from disk.
class FreshCopies final : public ExampleCollection {
 public:
  explicit FreshCopies(const Examples& base) : base_(base) {}
  Element at(std::int32_t i) const override {
    const Element e = base_.at(i);
    return {std::make_shared<const Example>(*e.example), e.value};
  }
  std::int32_t collectionSize() const override { return base_.collectionSize(); }

 private:
  const Examples& base_;
};

// With the kernel known to be standard, support vectors and examples of
// real features alone go four support vectors at a time; every value, and
// every example it cannot take (strings, a repeated index), is the plain one.
TEST(Classify, StandardKernelsGiveThePlainValues) {
  std::mt19937 rng(8);
  const Examples svs = collection(sparseRealExamples(rng, 23));
  std::vector<Element> elems = sparseRealExamples(rng, 30);
  elems.push_back({example(reals({{1, 1.0}, {500, 2.0}})), 1.0});  // beyond every support vector
  elems.push_back({example(reals({{1, 1.0}}), {{1, tokens({"a"})}}), -1.0});
  elems.push_back({example(reals({{2, 1.0}, {2, 0.5}})), 1.0});
  const Examples ex = collection(std::move(elems));
  for (const auto& [standard, function] : standardKernels()) {
    const auto fast =
        computeError(function, 0.7, svs, FreshCopies(ex), 0.0, nullptr, std::nullopt, standard);
    const auto plain = computeError(function, 0.7, svs, ex, 0.0, nullptr, std::nullopt);
    for (std::size_t k = 0; k < plain.second.size(); ++k)
      ASSERT_TRUE(std::bit_cast<std::uint64_t>(fast.second[k]) ==
                  std::bit_cast<std::uint64_t>(plain.second[k]))
          << static_cast<int>(standard.type) << " example " << k + 1;
  }
}

TEST(Classify, ErrorRatesCountOnRawValues) {
  KernelFunction passThrough = [](const Example&, const Example& x) {
    return x.vectorReal().at(1).value;
  };
  Examples svs = collection({{mkExample(reals({})), 1.0}});
  auto ex = [](double f, double label) { return Element{mkExample(reals({{1, f}})), label}; };
  // f: 2 > 0 with label 1 (TP), 1 with label -1 (FP), 0 (equal: negative) with
  // label 1 (FN), NaN with label 0 (TN).
  Examples data = collection({ex(2.0, 1.0), ex(1.0, -1.0), ex(0.0, 1.0),
                              ex(std::numeric_limits<double>::quiet_NaN(), 0.0)});
  auto [rates, outs] = computeError(passThrough, 0.0, svs, data, 0.0, nullptr, std::nullopt);
  EXPECT_EQ(rates.accuracy, 0.5);
  EXPECT_EQ(rates.precision, 0.5);
  EXPECT_EQ(rates.recall, 0.5);
  EXPECT_EQ(rates.fscore, 0.5);
  ASSERT_EQ(outs.size(), 4u);
  EXPECT_TRUE(std::isnan(outs[3]));

  // With a sigmoid the outputs are probabilities but counting is unchanged.
  auto [srates, souts] =
      computeError(passThrough, 0.0, svs, data, 0.0, nullptr, SigmoidParams{-1.0, 0.0});
  EXPECT_EQ(srates.accuracy, 0.5);
  EXPECT_EQ(souts[2], 0.5);
  EXPECT_EQ(souts[0], calcSigmoid(-1.0, 0.0, 2.0));

  // No true positive: precision, recall and F-score 0.
  auto [none, _] =
      computeError(passThrough, 0.0, svs, collection({ex(-1.0, 1.0)}), 0.0, nullptr, std::nullopt);
  EXPECT_EQ(none.precision, 0.0);
  EXPECT_EQ(none.recall, 0.0);
  EXPECT_EQ(none.fscore, 0.0);
}

TEST(Classify, EmptyTestSetGivesNaNAccuracy) {
  auto [rates, outs] =
      computeError(kLinear, 1.0, collection({}), collection({}), 0.0, nullptr, std::nullopt);
  EXPECT_TRUE(std::isnan(rates.accuracy));
  EXPECT_EQ(rates.precision, 0.0);
  EXPECT_EQ(rates.recall, 0.0);
  EXPECT_EQ(rates.fscore, 0.0);
  EXPECT_TRUE(outs.empty());
}

TEST(Classify, OutputFileHoldsOneValuePerLine) {
  KernelFunction passThrough = [](const Example&, const Example& x) {
    return x.vectorReal().at(1).value;
  };
  Examples svs = collection({{mkExample(reals({})), 1.0}});
  auto ex = [](double f) { return Element{mkExample(reals({{1, f}})), 1.0}; };
  Examples data = collection(
      {ex(1.25), ex(-2.5), ex(0.0), ex(0.03125), ex(std::numeric_limits<double>::quiet_NaN())});
  const std::string path = kelvor::testing::testDir() + "kelvor_classify_out.txt";
  OutputFile out = OutputFile::create(path);
  computeError(passThrough, 0.0, svs, data, 0.0, &out, std::nullopt);
  // Every line is already flushed before the file is closed.
  EXPECT_EQ(readFile(path), "1.25\n-2.5\n0.0\n3.125e-2\nNaN\n");
  out.close();
}

// The values go out through a buffer; a failure on a later example must
// still leave the lines of the examples before it in the file.
TEST(Classify, LinesBeforeAFailureReachTheFile) {
  KernelFunction failsOnNaN = [](const Example&, const Example& x) {
    const double f = x.vectorReal().at(1).value;
    if (std::isnan(f)) fail("kernel failed");
    return f;
  };
  Examples svs = collection({{mkExample(reals({})), 1.0}});
  auto ex = [](double f) { return Element{mkExample(reals({{1, f}})), 1.0}; };
  Examples data = collection({ex(1.5), ex(-2.0), ex(std::numeric_limits<double>::quiet_NaN())});
  const std::string path = kelvor::testing::testDir() + "kelvor_classify_failed.txt";
  OutputFile out = OutputFile::create(path);
  EXPECT_THROW(computeError(failsOnNaN, 0.0, svs, data, 0.0, &out, std::nullopt), FatalError);
  EXPECT_EQ(readFile(path), "1.5\n-2.0\n");
}

TEST(Classify, FullDiskIsFatal) {
  OutputFile out = OutputFile::create("/dev/full");
  Examples svs = collection({});
  EXPECT_THROW(computeError(kLinear, 0.0, svs, collection({{mkExample(reals({})), 1.0}}), 0.0, &out,
                            std::nullopt),
               FatalError);
}

TEST(Classify, SigmoidAndVersion) {
  EXPECT_EQ(calcSigmoid(2.0, -1.0, 0.5), 0.5);
  EXPECT_EQ(calcSigmoid(-1.0, 0.0, 3.0), 1.0 / (1.0 + std::exp(-3.0)));
  EXPECT_EQ(calcSigmoid(1.0f, 0.0f, 0.0f), 0.5f);
  EXPECT_EQ(version(), "1.2");
}

}  // namespace
}  // namespace kelvor
