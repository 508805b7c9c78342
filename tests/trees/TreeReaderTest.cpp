#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "trees/TreePrinter.h"
#include "trees/TreeReader.h"

namespace kelvor {
namespace {

TEST(TreeReader, AcceptedTextsAndWhereReadingStops) {
  struct Case {
    std::string text, tree;
    std::size_t stop;
  };
  const Case cases[] = {
      {"(NN dog)", "(NN \"dog\")", 8},
      {"\xa0\v\f (S (NP (DT the) (NN dog)) (VP (VBZ barks))) \n",
       "(S (NP (DT \"the\") (NN \"dog\")) (VP (VBZ \"barks\")))", 49},
      {"(S (NN x)(VB y))", "(S (NN \"x\") (VB \"y\"))", 16},
      {"( (S (NN x)) )", "( (S (NN \"x\")))", 14},
      {"( x)", "(? \"x\")", 4},
      {"( \"\\\"\")", "(\" \"\\\"\")", 7},
      {"( \"\")", "(? \"\")", 5},
      {"(PUNC\" \"\"\")", "(PUNC \"\\\"\")", 11},
      {"(PUNC\"\t\"\"\"  )", "(PUNC \"\\\"\")", 13},
      {"(PUNC\" (X y))", "(PUNC\" (X \"y\"))", 13},
      {"(NN \"a b\")", "(NN \"a b\")", 10},
      {"(NN \"a\\\\b\\\"c\\n\")", "(NN \"a\\\\b\\\"cn\")", 16},
      {"(NN a\\b)", "(NN \"a\\\\b\")", 8},
      {"(NN a\"b(c)", "(NN \"a\\\"b(c\")", 10},
      {"(NN dog\t)", "(NN \"dog\t\")", 9},
      {"(NN dog\r\n)", "(NN \"dog\r\n\")", 10},
      {"(NN dog )", "(NN \"dog\")", 9},
      {"(NN\r\ndog)", "(NN\r \"dog\")", 9},
      {"(\xa0\v\fX y)", "(\xa0\v\fX \"y\")", 8},
      {"(S (NN) (VB y)))", "(S (NN) (VB \"y\")))", 16},
      {"(S(NN x))", "(S(NN \"x\")", 8},
      {"(NN dog)) rest", "(NN \"dog\")", 8},
      {"(A b)  \n(C d)", "(A \"b\")", 8},
  };
  for (const Case& c : cases) {
    ReadCursor cursor(c.text);
    Outcome<AnnTree<Unit>> out = treeParserP(cursor);
    ASSERT_TRUE(out.ok()) << c.text << "\n" << showReadFailure("t", cursor.failure());
    EXPECT_EQ(showTree(*out.value), c.tree) << c.text;
    EXPECT_EQ(cursor.index(), c.stop) << c.text;
  }
}

struct FailureCase {
  std::string text;
  std::int64_t line, column;
  std::optional<char> found;
  // One character per item: w white space, ( ) " those characters, L the
  // literal of the reader.
  std::string_view expected;
  bool clean = false;
};

void checkFailure(const FailureCase& c, const ReadCursor& cursor, bool consumed,
                  std::string_view literal) {
  std::vector<ExpectedItem> expected;
  for (char code : c.expected) {
    const ExpectedKind kind = code == 'w'   ? ExpectedKind::WhiteSpace
                              : code == '(' ? ExpectedKind::OpenParen
                              : code == ')' ? ExpectedKind::CloseParen
                              : code == '"' ? ExpectedKind::DoubleQuote
                                            : ExpectedKind::Literal;
    expected.push_back({kind, kind == ExpectedKind::Literal ? std::string(literal) : ""});
  }
  const ReadFailure f = cursor.failure();
  EXPECT_EQ(f, (ReadFailure{{c.line, c.column}, c.found, expected})) << c.text << "\n"
                                                                     << showReadFailure("t", f);
  EXPECT_EQ(consumed, !c.clean) << c.text;
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
    ReadCursor cursor(c.text);
    Outcome<AnnTree<Unit>> out = treeParserP(cursor);
    ASSERT_FALSE(out.ok()) << c.text;
    checkFailure(c, cursor, out.consumed, "\"\"\"");
  }
}

TEST(TreeReader, ScoreLineReaders) {
  const std::pair<std::string, std::string> scores[] = {
      {"-12.5e-3 (S", "-12.5e-3"}, {"1e+05", "1e"}, {"..--", "..--"}};
  for (const auto& [text, want] : scores) {
    ReadCursor cursor(text);
    EXPECT_EQ(scoreNumberP(cursor).value, want);
  }
  ReadCursor plus("+1");
  EXPECT_FALSE(scoreNumberP(plus).consumed);
  checkFailure({"+1", 1, 1, '+', "", true}, plus, false, "");

  const std::string_view literal = "SProb = ";
  ReadCursor good("SProb = -3.2");
  EXPECT_EQ(literalP(good, literal).value, literal);
  const FailureCase bad[] = {
      {"SProb= -3.2", 1, 1, '=', "L"},
      {"SPr", 1, 1, std::nullopt, "L"},
      {"sprob = 1", 1, 1, 's', "L", true},
  };
  for (const FailureCase& c : bad) {
    ReadCursor cursor(c.text);
    Outcome<std::string_view> out = literalP(cursor, literal);
    ASSERT_FALSE(out.ok());
    checkFailure(c, cursor, out.consumed, literal);
  }
}

}  // namespace
}  // namespace kelvor
