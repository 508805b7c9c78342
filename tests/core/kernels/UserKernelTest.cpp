#include <gtest/gtest.h>

#include "FatalMessage.h"
#include "base/Fatal.h"
#include "core/kernels/KernelParams.h"
#include "core/kernels/UserKernel.h"
#include "tests/core/KernelCellGuard.h"

namespace kelvor {
namespace {

using kelvor::testing::KernelCellGuard;

// Runs the interpretation, returning its printed lines.
std::string printed(std::string_view text, std::pair<std::string, SigmoidState>* result = nullptr) {
  ::testing::internal::CaptureStdout();
  try {
    auto r = parseUserKernelLine(text);
    if (result) *result = r;
  } catch (...) {
    ::testing::internal::GetCapturedStdout();
    throw;
  }
  return ::testing::internal::GetCapturedStdout();
}

TEST(UserKernel, EmptyFormsStoreNothing) {
  KernelCellGuard guard;
  for (const char* text : {"empty", "", "  \t\xA0"}) {
    std::pair<std::string, SigmoidState> r;
    EXPECT_EQ(printed(text, &r), "(\"empty\",(False,0.0,0.0))\n") << text;
    EXPECT_EQ(r.first, "empty");
    EXPECT_FALSE(r.second.sigmoid);
  }
  EXPECT_EQ(smaxnRef().content(), 1);
}

TEST(UserKernel, WordFormStoresAndReportsEachWord) {
  KernelCellGuard guard;
  std::pair<std::string, SigmoidState> r;
  EXPECT_EQ(printed(" sx:2 sl:0.5 tx:3 tl:0.25 a:-2.5 b:0.125", &r),
            "(1,\"2\")\n(2,\"0.5\")\n(3,\"3\")\n(4,\"0.25\")\n(5,\"-2.5\")\n(6,\"0.125\")\n"
            "(\"empty\",(True,-2.5,0.125))\n");
  EXPECT_EQ(smaxnRef().content(), 2);
  EXPECT_EQ(slambdaRef().content(), 0.5);
  EXPECT_EQ(tmaxdRef().content(), 3);
  EXPECT_EQ(tlambdaRef().content(), 0.25);
  EXPECT_EQ(r.second.a, -2.5);
  EXPECT_EQ(r.second.b, 0.125);
  printed("a:1 a:2", &r);
  EXPECT_EQ(r.second.a, 2.0);
  EXPECT_EQ(r.second.b, 0.0);
}

TEST(UserKernel, BracketedForms) {
  KernelCellGuard guard;
  printed("(3,0.7)");
  EXPECT_EQ(smaxnRef().content(), 3);
  EXPECT_EQ(slambdaRef().content(), 0.7);
  EXPECT_EQ(tmaxdRef().content(), 4);
  printed(" ( (5, -0.25) , ((2),(0.5)) )");
  EXPECT_EQ(smaxnRef().content(), 5);
  EXPECT_EQ(slambdaRef().content(), -0.25);
  EXPECT_EQ(tmaxdRef().content(), 2);
  EXPECT_EQ(tlambdaRef().content(), 0.5);
  printed("(((4,1e-1)))");
  EXPECT_EQ(smaxnRef().content(), 4);
  // A blank after the pair is a rest: the text goes to the word form.
  EXPECT_THROW(printed("(3,0.7) "), FatalError);
  EXPECT_EQ(readParamPair("(3,0.7) x").front().second, " x");
  EXPECT_TRUE(readParamPair("(3.5,1)").empty());
  EXPECT_TRUE(readTwoParamPairs("(3,0.7)").empty());
  // Absurd nesting is no parse rather than a deep recursion.
  EXPECT_TRUE(readParamPair(std::string(100000, '(')).empty());
}

TEST(UserKernel, Failures) {
  KernelCellGuard guard;
  try {
    printed(" sx:2 ab:1");
    FAIL();
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "unrecognized feature in user kernel param: ab:1");
  }
  EXPECT_EQ(smaxnRef().content(), 2);  // the word before it was stored
  EXPECT_THROW(printed(" empty"), FatalError);
  // A bad a fails while the result line prints, after its first part.
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(parseUserKernelLine("a:abc"), FatalError);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "(5,\"abc\")\n(\"empty\",(True,");
  // A bad cell value fails only at its reader's first use, naming the file
  // line it came from when it came from a file.
  printed("sx:abc");
  EXPECT_THROW(smaxnRef().content(), FatalError);
  ::testing::internal::CaptureStdout();
  parseUserKernelLine("tx:4.5", FileLine{"m.model", 7});
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(kelvor::testing::fatalMessage([] { tmaxdRef().content(); }),
            "Cannot read \"4.5\" as Int\nat m.model:7");
}

TEST(UserKernel, DeferredCellValueFailsAtFirstKernelUse) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto body = [] {
    ::testing::internal::CaptureStdout();
    parseUserKernelLine("sx:abc tl:0.25");
    const bool treeOk = cur_tlambda() == 0.25;
    try {
      cur_smaxn();
    } catch (const FatalError&) {
      std::exit(treeOk ? 0 : 2);
    }
    std::exit(1);
  };
  EXPECT_EXIT(body(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kelvor
