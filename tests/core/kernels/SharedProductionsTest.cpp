// A tree whose nodes share one production: the tree kernel keeps a value
// for every pair of matching nodes, so its memory grows with the square of
// the tree. Such a tree ends cleanly in every reader: with the right value
// where it fits, and with the fatal "out of memory" where it does not.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "TempFile.h"
#include "base/Fatal.h"
#include "core/examples/ExampleFile.h"
#include "core/examples/ExampleLine.h"
#include "core/model/ModelFile.h"
#include "tests/core/KernelReference.h"
#include "tests/core/SharedProductionChain.h"
#include "trees/ParseFile.h"

namespace kelvor {
namespace {

using testing::chainLine;

// The chain's self-kernel for lambda 0.5 and depth 4, worked out by hand.
// Besides the leaf pair (lambda) and the pair of the leaf's parent with
// itself (lambda (1 + lambda)), the n = nesting - 2 chain nodes above the
// leaf's parent all carry the production ("", [""]). A pair of them at
// heights a and b above the leaf's parent follows both chains down three
// more levels: it counts every level while the chains stay matched, and a
// chain that reaches the leaf's parent while the other does not ends the
// match there. With m = min(a, b) that gives 15/16 for a = b >= 2, 7/8 for
// a = b = 1, and for a != b: 1/2, 3/4, 7/8 for m = 1, 2, 3 and 15/16 from
// m = 4 on. Every term is a multiple of 1/16, so the sum is exact in any
// order.
double chainSelfKernel(int nesting) {
  const std::int64_t n = nesting - 2;
  const double unequal[] = {0.5, 0.75, 0.875, 0.9375};
  double sum = 0.5 + 0.75;
  for (std::int64_t m = 1; m <= n; ++m)
    sum += (m == 1 ? 0.875 : 0.9375) +
           2.0 * static_cast<double>(n - m) * unequal[std::min<std::int64_t>(m, 4) - 1];
  return sum;
}

double selfKernelOfLine(const std::string& line) {
  return parseExampleLineForced(2.0, line)->example->vectorTree().at(1).selfKernel;
}

TEST(SharedProductions, WorkedValueAgreesWithTheTable) {
  for (int nesting = 2; nesting <= 12; ++nesting) {
    const std::string text = decodeTreeText(chainLine(nesting).substr(9));
    const AnnTree<Unit> tree = parseFile(text, text).front().scoredTree().tree;
    EXPECT_EQ(reference::treeKernel(0.5, 4, tree, tree), chainSelfKernel(nesting)) << nesting;
  }
}

TEST(SharedProductions, CompletesWhereItFits) {
  EXPECT_EQ(selfKernelOfLine(chainLine(1025)), chainSelfKernel(1025));
  EXPECT_EQ(chainSelfKernel(8193), 62887941.5);  // the size below, for the record
}

// The address space left to the process beyond what it holds now.
void limitAddressSpaceTo(std::size_t extraBytes) {
  std::ifstream status("/proc/self/status");
  std::string key;
  std::size_t kb = 0;
  while (status >> key && key != "VmSize:") status.ignore(1 << 10, '\n');
  status >> kb;
  const rlim_t limit = kb * 1024 + extraBytes;
  const rlimit r{limit, limit};
  if (::setrlimit(RLIMIT_AS, &r) != 0) std::exit(3);
}

// The kernel of the 8,193-level chain wants some 2 GB; half a gigabyte more
// than the process holds leaves every other step room to work.
template <class Read>
void readUnderLimit(Read read) {
  limitAddressSpaceTo(std::size_t{512} << 20);
  std::exit(runProgram([&] {
    read();
    return 0;
  }));
}

TEST(SharedProductionsDeathTest, OutOfMemoryIsAFatalErrorNamingTheLine) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than any limit leaves";
#endif
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string line = chainLine(8193);
  const std::string examples = testing::writeTempFile("chain.dat", "1 1:1\n" + line + "\n");
  EXPECT_EXIT(readUnderLimit([&] { readExampleFile(examples, 2.0); }), ::testing::ExitedWithCode(1),
              "\nFail: out of memory\nat [^\n]*chain.dat:2\n$");
  const std::string model = testing::writeTempFile("chain.model", testing::modelHolding(line));
  EXPECT_EXIT(readUnderLimit([&] { readModel([](KernelType, double) { return 2.0; }, model); }),
              ::testing::ExitedWithCode(1), "\nFail: out of memory\nat [^\n]*chain.model:12\n$");
}

}  // namespace
}  // namespace kelvor
