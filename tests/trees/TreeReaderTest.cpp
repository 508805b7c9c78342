#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"
#include "trees/TreeReader.h"

namespace kelvor {
namespace {

using testing::leaf;
using testing::node;
using testing::UTree;

TEST(TreeReader, AcceptedTexts) {
  struct Case {
    std::string text;
    UTree tree;
  };
  const Case cases[] = {
      {"(NN dog)", leaf("NN", "dog")},
      {"  \n(S (NP (DT the) (NN dog)) (VP (VBZ barks)))",
       node("S", {node("NP", {leaf("DT", "the"), leaf("NN", "dog")}),
                  node("VP", {leaf("VBZ", "barks")})})},
      {"(S (NN x)(VB y))", node("S", {leaf("NN", "x"), leaf("VB", "y")})},
      {"( (S (NN x)) )", node("", {node("S", {leaf("NN", "x")})})},
      {"( x)", leaf("?", "x")},
      {"( \"\\\"\")", leaf("\"", "\"")},
      {"( \"\")", leaf("?", "")},
      {"(PUNC\" \"\"\")", leaf("PUNC", "\"")},
      {"(PUNC\"\t\"\"\"  )", leaf("PUNC", "\"")},
      {"(PUNC\" (X y))", node("PUNC\"", {leaf("X", "y")})},
      {"(NN \"a b\")", leaf("NN", "a b")},
      {"(NN \"a\\\\b\\\"c\")", leaf("NN", "a\\b\"c")},
      {"(NN \"a\\nb\")", leaf("NN", "anb")},
      {"(NN a\\b)", leaf("NN", "a\\b")},
      {"(NN a\"b(c)", leaf("NN", "a\"b(c")},
      {"(NN dog\t)", leaf("NN", "dog\t")},
      {"(NN dog\r\n)", leaf("NN", "dog\r\n")},
      {"(NN dog )", leaf("NN", "dog")},
      {"(NN\r\ndog)", leaf("NN\r", "dog")},
      {"(S (NN) (VB y)))", node("S", {node("NN)", {leaf("VB", "y")})})},
      {"(S(NN x))", leaf("S(NN", "x")},
      {"(NN dog)) rest", leaf("NN", "dog")},
      {"(\xa0\v\fX y)", leaf("\xa0\v\fX", "y")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ReadCursor cursor(c.text);
    Outcome<UTree> out = treeParserP(cursor);
    ASSERT_TRUE(out.ok()) << showReadFailure("t", cursor.failure());
    EXPECT_TRUE(out.consumed);
    EXPECT_EQ(*out.value, c.tree) << showAnnTree(*out.value);
  }
}

TEST(TreeReader, StopsBeforeWhatIsLeftToTheCaller) {
  const std::pair<std::string, std::size_t> cases[] = {
      {"(S(NN x))", 8}, {"(NN dog)) rest", 8}, {"(NN dog)  \n x", 12}, {"(A b)(C d)", 5}};
  for (const auto& [text, stop] : cases) {
    ReadCursor cursor(text);
    ASSERT_TRUE(treeParserP(cursor).ok()) << text;
    EXPECT_EQ(cursor.index(), stop) << text;
  }
}

// Expected items spelled one character each: w white space, ( ) and " the
// characters, L the literal of the case.
std::vector<ExpectedItem> expectedItems(std::string_view codes, std::string_view literal) {
  std::vector<ExpectedItem> items;
  for (char code : codes) {
    if (code == 'L') {
      items.push_back({ExpectedKind::Literal, std::string(literal)});
      continue;
    }
    const ExpectedKind kind = code == 'w'   ? ExpectedKind::WhiteSpace
                              : code == '(' ? ExpectedKind::OpenParen
                              : code == ')' ? ExpectedKind::CloseParen
                                            : ExpectedKind::DoubleQuote;
    items.push_back({kind, ""});
  }
  return items;
}

struct FailureCase {
  std::string text;
  std::int64_t line, column;
  std::optional<char> found;
  std::string_view expected;
  bool clean = false;
};

void checkFailure(const FailureCase& c, const ReadCursor& cursor, bool consumed,
                  std::string_view literal = "") {
  const ReadFailure f = cursor.failure();
  EXPECT_EQ(f.pos, (SourcePos{c.line, c.column}));
  EXPECT_EQ(f.found, c.found);
  EXPECT_EQ(f.expected, expectedItems(c.expected, literal)) << showReadFailure("t", f);
  EXPECT_EQ(consumed, !c.clean);
}

TEST(TreeReader, RejectedTextsAndTheirReports) {
  const std::nullopt_t end = std::nullopt;
  const FailureCase cases[] = {
      {"(NN dog", 1, 8, end, "w)"},
      {"(NN\n\tx y)", 2, 11, 'y', "w)"},
      {"(NN)", 1, 5, end, "w(\""},
      {"(NN )", 1, 5, ')', "w(\""},
      {"()", 1, 3, end, "w(\""},
      {"(PUNC\"\"\"\")", 1, 11, end, "w(\""},
      {"(PUNC \"\"\")", 1, 9, '"', "w)"},
      {"(PUNC\" x)", 1, 8, 'x', "w(L"},
      {"(PUNC\" \"x\")", 1, 8, 'x', "L"},
      {"(NN do g)", 1, 8, 'g', "w)"},
      {"(S (NN x) y)", 1, 11, 'y', "w()"},
      {"(S y (NN x))", 1, 6, '(', "w)"},
      {"(NN \"dog", 1, 9, end, ""},
      {"(NN \"dog\\", 1, 10, end, ""},
      {"(S (NN) (VB y))", 1, 16, end, "w()"},
      {"(NN\tdog", 1, 12, end, "w)"},
      {"(NN\rdog", 2, 4, end, "w(\""},
      {"x (NN dog)", 1, 1, 'x', "w(", true},
      {"", 1, 1, end, "w(", true},
      {"\n  ", 2, 3, end, "w("},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.text);
    ReadCursor cursor(c.text);
    Outcome<UTree> out = treeParserP(cursor);
    ASSERT_FALSE(out.ok());
    checkFailure(c, cursor, out.consumed, "\"\"\"");
  }
}

TEST(TreeReader, ScoreLineReaders) {
  const std::pair<std::string, std::optional<std::string>> scores[] = {{"-12.5e-3 (S", "-12.5e-3"},
                                                                       {"1e+05", "1e"},
                                                                       {"..--", "..--"},
                                                                       {"+1", std::nullopt},
                                                                       {"", std::nullopt}};
  for (const auto& [text, want] : scores) {
    ReadCursor cursor(text);
    Outcome<std::string_view> out = scoreNumberP(cursor);
    EXPECT_EQ(out.ok(), want.has_value()) << text;
    if (want) {
      EXPECT_EQ(*out.value, *want);
      continue;
    }
    const std::optional<char> found = text.empty() ? std::nullopt : std::optional(text[0]);
    checkFailure({text, 1, 1, found, "", true}, cursor, out.consumed);
  }

  const std::string_view score = "SProb = ";
  {
    ReadCursor cursor("SProb = -3.2");
    Outcome<std::string_view> out = literalP(cursor, score);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(*out.value, score);
    EXPECT_EQ(cursor.index(), 8u);
  }
  const FailureCase literalCases[] = {
      {"SProb= -3.2", 1, 1, '=', "L"},
      {"SPr", 1, 1, std::nullopt, "L"},
      {"sprob = 1", 1, 1, 's', "L", true},
      {"", 1, 1, std::nullopt, "L", true},
  };
  for (const FailureCase& c : literalCases) {
    SCOPED_TRACE(c.text);
    ReadCursor cursor(c.text);
    Outcome<std::string_view> out = literalP(cursor, score);
    ASSERT_FALSE(out.ok());
    checkFailure(c, cursor, out.consumed, score);
  }
}

TEST(TreeReader, WhiteSpaceAndLabels) {
  ReadCursor cursor("\xa0\v\f\t\r\n X\xa0\v\f(\" y");
  EXPECT_TRUE(whiteSpaceP(cursor).consumed);
  EXPECT_EQ(cursor.index(), 7u);
  EXPECT_EQ(*labelP(cursor).value, "X\xa0\v\f(\"");
  ReadCursor other("x");
  EXPECT_FALSE(whiteSpaceP(other).consumed);
  EXPECT_EQ(other.index(), 0u);
}

TEST(TreeReader, PositionsCountLinesAndTabStops) {
  const std::pair<std::string, SourcePos> cases[] = {
      {"abc", {1, 4}},  {"\t", {1, 9}},   {"abc\t", {1, 9}}, {"abcdefgh\t", {1, 17}},
      {"a\nb", {2, 2}}, {"a\rb", {2, 2}}, {"\r\n", {3, 1}},  {"\xa0\v", {1, 3}},
  };
  for (const auto& [text, pos] : cases) {
    EXPECT_EQ(ReadCursor(text).positionOf(text.size()), pos) << text;
  }
  // The caller's start position carries through.
  EXPECT_EQ(ReadCursor("ab\tc", {5, 3}).positionOf(4), (SourcePos{5, 10}));
}

TEST(TreeReader, PrintedReport) {
  const std::pair<std::string, std::string> cases[] = {
      {"(NN dog",
       "\"src\" (line 1, column 8):\nunexpected end of input\n"
       "expecting white space or \")\""},
      {"(PUNC\" x)",
       "\"src\" (line 1, column 8):\nunexpected \"x\"\n"
       "expecting white space, \"(\" or \"\\\"\\\"\\\"\""},
      {"(NN)",
       "\"src\" (line 1, column 5):\nunexpected end of input\n"
       "expecting white space, \"(\" or \"\\\"\""},
      {"(NN \"dog", "\"src\" (line 1, column 9):\nunexpected end of input"},
      {"(NN\n\tx y\t)",
       "\"src\" (line 2, column 11):\nunexpected \"y\"\n"
       "expecting white space or \")\""},
      {"(S (N x)\n\x01",
       "\"src\" (line 2, column 1):\nunexpected \"\\SOH\"\n"
       "expecting white space, \"(\" or \")\""},
  };
  for (const auto& [text, report] : cases) {
    ReadCursor cursor(text);
    ASSERT_FALSE(treeParserP(cursor).ok());
    EXPECT_EQ(showReadFailure("src", cursor.failure()), report);
  }
}

}  // namespace
}  // namespace kelvor
