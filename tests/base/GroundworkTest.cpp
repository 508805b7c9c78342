// Fatal errors, white space, arrays, read-once values and string escapes.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <new>
#include <stdexcept>
#include <vector>

#include "FatalMessage.h"
#include "base/Array.h"
#include "base/Fatal.h"
#include "base/LineLocation.h"
#include "base/ReadOnce.h"
#include "base/StringEscape.h"
#include "base/WhiteSpace.h"

namespace kelvor {
namespace {

using kelvor::testing::fatalMessage;

TEST(Fatal, RunProgramReportsOnStandardErrorWithStatusOne) {
  ::testing::internal::CaptureStderr();
  ::testing::internal::CaptureStdout();
  int status = runProgram([] {
    std::cout << "progress...";
    fail("broken invariant");
    return 0;
  });
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "progress...");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "\nFail: broken invariant\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(runProgram([] { return 0; }), 0);
}

TEST(Fatal, AnyExceptionEndsTheProgramAsAFatalError) {
  const struct {
    std::function<int()> body;
    std::string err;
  } cases[] = {
      {[]() -> int { throw std::bad_alloc(); }, "\nFail: out of memory\n"},
      {[]() -> int { return static_cast<int>(std::vector<double>(std::size_t{1} << 62).size()); },
       "\nFail: out of memory: a size beyond what this machine can address was asked for\n"},
      {[]() -> int { throw std::out_of_range("vector::at"); },
       "\nFail: internal error: vector::at\n"},
      {[]() -> int { throw 7; }, "\nFail: internal error: an unknown exception\n"},
  };
  for (const auto& c : cases) {
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    const int status = runProgram([&] {
      std::cout << "progress...";
      return c.body();
    });
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "progress...");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.err);
    EXPECT_EQ(status, 1);
  }
}

TEST(LineLocation, LastLineNamesFileAndLine) {
  EXPECT_EQ(withLocation("Cannot read \"x\" as Int", "a.dat", 12),
            "Cannot read \"x\" as Int\nat a.dat:12");
  // A message that ends in its own line break (an empty text quoted last)
  // keeps it.
  EXPECT_EQ(withLocation("parsing:\n", "a.dat", 3), "parsing:\n\nat a.dat:3");
  EXPECT_EQ(fatalMessage([] { atLine("m", 2, []() -> int { fail("bad"); }); }), "bad\nat m:2");
  EXPECT_EQ(fatalMessage([] { atLine("m", 5, []() -> int { throw std::bad_alloc(); }); }),
            "out of memory\nat m:5");
  EXPECT_EQ(atLine("m", 1, [] { return 4; }), 4);
  // A value of one line converted while another is read names its own.
  EXPECT_EQ(fatalMessage([] {
              atLine("outer", 9, [] { return atLine("inner", 2, []() -> int { fail("x"); }); });
            }),
            "x\nat inner:2");
}

TEST(Fatal, UnnamedFailureKindsNameTheirValues) {
  EXPECT_EQ(fatalMessage([] { failIndex(7, 1, 3); }), "Index 7 out of bounds (1,3)");
  EXPECT_EQ(fatalMessage([] { failNumberText("x\n1", "Int"); }), "Cannot read \"x\\n1\" as Int");
  EXPECT_NE(fatalMessage([] { failField("treeText", "NonTerm"); }).find("treeText"),
            std::string::npos);
  EXPECT_NE(fatalMessage([] { failUncovered("dot"); }).find("dot"), std::string::npos);
  // A huge text is cut, so the message stays readable.
  EXPECT_LT(fatalMessage([] { failNumberText(std::string(1 << 20, '7'), "Double"); }).size(), 200u);
}

TEST(WhiteSpace, ExactlySevenBytes) {
  int count = 0;
  for (int c = 0; c < 256; ++c) count += isWhiteSpace(static_cast<unsigned char>(c));
  EXPECT_EQ(count, 7);
  EXPECT_TRUE(isWhiteSpace('\xA0'));
  EXPECT_FALSE(isWhiteSpace('\x85'));
  EXPECT_FALSE(isWhiteSpace('\0'));
  EXPECT_EQ(words("\xA0 a\tbc\r\n\v d \f"), (std::vector<std::string_view>{"a", "bc", "d"}));
  EXPECT_TRUE(words(" \t ").empty());
  EXPECT_EQ(trimWhiteSpace("\r\n x y \xA0"), "x y");
}

TEST(Array, OneBasedCheckedAccess) {
  Array<int> a{10, 20, 30};
  EXPECT_EQ(a.lo(), 1);
  EXPECT_EQ(a.hi(), 3);
  EXPECT_EQ(a.at(1), 10);
  EXPECT_EQ(a.at(3), 30);
  EXPECT_EQ(fatalMessage([&] { a.at(0); }), "Index 0 out of bounds (1,3)");
  EXPECT_EQ(fatalMessage([&] { a.at(4); }), "Index 4 out of bounds (1,3)");
  Array<int> empty;
  EXPECT_EQ(empty.hi(), 0);
  EXPECT_EQ(fatalMessage([&] { empty.at(1); }), "Index 1 out of bounds (1,0)");
}

TEST(ReadOnce, LazyComputesOnceAndRepeatsFailures) {
  int calls = 0;
  Lazy<int> lazy(std::function<int()>([&] { return ++calls * 10; }));
  EXPECT_FALSE(lazy.isForced());
  EXPECT_EQ(lazy.get(), 10);
  EXPECT_EQ(lazy.get(), 10);
  EXPECT_EQ(calls, 1);
  Lazy<int> broken(std::function<int()>([]() -> int { fail("bad field"); }));
  EXPECT_THROW(broken.get(), FatalError);
  EXPECT_THROW(broken.get(), FatalError);
}

TEST(ReadOnce, CellIsFixedAtFirstRead) {
  ReadOnceCell<int> cell(4);
  cell.store(7);
  EXPECT_FALSE(cell.isFixed());
  EXPECT_EQ(cell.read(), 7);
  cell.store(9);
  EXPECT_EQ(cell.read(), 7);
  EXPECT_EQ(cell.content(), 9);
}

TEST(StringEscape, TreePrinterAndValuePrinterForms) {
  std::string out = "x";
  appendQuoted(out, "a\"b\\c\n");
  EXPECT_EQ(out, "x\"a\\\"b\\\\c\n\"");
  EXPECT_EQ(showHaskellString("a\"\\\n\t"), "\"a\\\"\\\\\\n\\t\"");
  EXPECT_EQ(showHaskellString(std::string("\0\x7f\x01", 3)), "\"\\NUL\\DEL\\SOH\"");
  EXPECT_EQ(showHaskellString("\xe9"
                              "1"),
            "\"\\233\\&1\"");
  EXPECT_EQ(showHaskellString("\xe9x"), "\"\\233x\"");
  EXPECT_EQ(showHaskellString("\x0eH"), "\"\\SO\\&H\"");
}

}  // namespace
}  // namespace kelvor
