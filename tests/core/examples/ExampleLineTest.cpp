#include <gtest/gtest.h>

#include <cmath>

#include "base/Fatal.h"
#include "core/examples/ExampleLine.h"
#include "core/kernels/TreeKernel.h"
#include "tests/core/OutOfOrderLines.h"
#include "trees/TreePrinter.h"

namespace kelvor {
namespace {

constexpr double kBias = 2.0;

Element parsed(std::string_view line) {
  auto e = parseExampleLineForced(kBias, line);
  if (!e) ADD_FAILURE() << "rejected: " << line;
  return e ? *e : Element{};
}

std::string messageOf(std::string_view line) {
  try {
    parseExampleLineForced(kBias, line);
  } catch (const FatalError& e) {
    return e.what();
  }
  return "<no failure>";
}

std::vector<std::pair<int, double>> realsOf(const Element& e) {
  std::vector<std::pair<int, double>> out;
  for (const RealFeature& f : e.example->vectorReal()) out.emplace_back(f.index, f.value);
  return out;
}

TEST(ExampleLine, RealFeaturesTargetAndQid) {
  Element e = parsed("+1 3:0.5 10:-1.25e-1");
  EXPECT_EQ(e.value, 1.0);
  EXPECT_EQ(realsOf(e), (std::vector<std::pair<int, double>>{{0, 2.0}, {3, 0.5}, {10, -0.125}}));
  EXPECT_EQ(e.example->twonorm_sq(), 4.0 + 0.25 + 0.015625);
  EXPECT_EQ(e.example->ex_qid(), 0);
  EXPECT_EQ(parsed("++-1 3:1").value, -1.0);
  EXPECT_EQ(realsOf(parsed("1")).size(), 1u);
  EXPECT_EQ(parsed("1 qid:7").example->ex_qid(), 7);
  EXPECT_EQ(realsOf(parsed("1 007:2"))[1].first, 7);
  EXPECT_EQ(realsOf(parsed("1 3:1e5"))[1].second, 100000.0);
  EXPECT_EQ(realsOf(parsed("1 3:1E-2"))[1].second, 0.01);
  EXPECT_TRUE(std::signbit(realsOf(parsed("1 3:-0"))[1].second));
  EXPECT_EQ(parsed("1\t3:1\r").value, 1.0);  // a carriage return is white space
}

TEST(ExampleLine, ShapeCheckRejections) {
  for (const char* line :
       {"1 qid:7 qid:8 3:1", "1 3:1 qid:7", "1 0:1.5", "1 3:+2", "1 3:2f", "1 3", "1 3:1:2",
        "1 a:2", "1 a:1 string:x:y", "1 String:2:a", "1 strings:2:a", "1 string:2", "1 string:0:a",
        "1 string:-1:a", "1 tree:0:(A#b)", "1 3:1 # comment"}) {
    EXPECT_FALSE(parseExampleLineForced(kBias, line).has_value()) << line;
    EXPECT_FALSE(parseExampleLine(kBias, line).has_value()) << line;
  }
}

TEST(ExampleLine, FatalConversions) {
  // Number texts that do not read stop the program instead of rejecting.
  for (const char* line : {" +1 3:1", "1 qid:x 3:1", "1 3:.5", "1 3:5.", "1 3:", "1 :3",
                           "1 string:x:y a:1", "1 string::a", "1 3:1e", "1 3:1-2", "x 1:1"}) {
    EXPECT_THROW(parseExampleLineForced(kBias, line), FatalError) << line;
  }
  EXPECT_THROW(parseExampleLineForced(kBias, ""), FatalError);
  EXPECT_THROW(parseExampleLineForced(kBias, "+++"), FatalError);
  EXPECT_THROW(parseExampleLineForced(kBias, " \t "), FatalError);
}

TEST(ExampleLine, EachKindMustAscend) {
  for (const auto& c : testing::kOutOfOrderLines) {
    EXPECT_FALSE(parseExampleLineForced(kBias, c.line).has_value()) << c.line;
    EXPECT_FALSE(parseExampleLine(kBias, c.line).has_value()) << c.line;
    EXPECT_EQ(describeRejection(c.line), c.rejection);
  }
  // The kinds interleave; indices compare as numbers; the first fault is
  // named, before any conversion would fail.
  EXPECT_EQ(realsOf(parsed("1 string:2:a 9:1 tree:1:(A#b) 10:2 string:3:b")).size(), 3u);
  EXPECT_EQ(describeRejection("1 07:1 7:2 a:1"),
            "word 3 is not in ascending order (repeated index 7): \"7:2\"");
  EXPECT_EQ(describeRejection("1 tree:2:(A#b) 1:1 tree:1:(A#c)"),
            "word 4 is not in ascending order (tree number 1 after 2): \"tree:1:(A#c)\"");
  EXPECT_EQ(describeRejection("1 2147483648:1 5:1"),
            "word 3 is not in ascending order (index 5 after 2147483648): \"5:1\"");
}

TEST(ExampleLine, StringFeatures) {
  Element e = parsed("1 string:2:a#b##c#");
  const auto& s = e.example->vectorString();
  ASSERT_EQ(s.hi(), 1);
  EXPECT_EQ(s.at(1).number, 2);
  ASSERT_EQ(s.at(1).tokens.size(), 3u);
  EXPECT_EQ(s.at(1).tokens.text(2), "c");
  EXPECT_EQ(parsed("1 string:2:").example->vectorString().at(1).tokens.size(), 0u);
  EXPECT_EQ(parsed("1 string:2:###").example->vectorString().at(1).tokens.size(), 0u);
  EXPECT_EQ(parsed("1 string:2:a:b").example->vectorString().at(1).tokens.text(0), "a:b");
}

TEST(ExampleLine, TreeFeatures) {
  Element e = parsed("1 tree:1:(S#(NP#(NN#dog))#(VP#(VB#barks)))");
  const TreeFeature& t = e.example->vectorTree().at(1);
  EXPECT_EQ(showTree(t.tree->tree()), "(S (NP (NN \"dog\")) (VP (VB \"barks\")))");
  EXPECT_EQ(t.selfKernel, selfTreeKernel(*t.tree));
  EXPECT_EQ(showTree(parsed("1 tree:1:(NN#*pound*)").example->vectorTree().at(1).tree->tree()),
            "(NN \"#\")");
  EXPECT_EQ(showTree(parsed("1 tree:1:(S#x)(T#y)").example->vectorTree().at(1).tree->tree()),
            "(S \"x\")");
  EXPECT_EQ(messageOf("1 tree:1:"), "Multiple trees found while parsing:\n");
  EXPECT_EQ(messageOf("1 tree:1:#(NN#x)"), "Multiple trees found while parsing:\n (NN x)");
  EXPECT_EQ(messageOf("1 tree:1:(FAILED-PARSE)"),
            "Error while parsing tree:\nCharniak Parser Error on tree 1");

  Element mixed = parsed("1 tree:2:(NN#x) 2:1 string:1:a 4:3");
  EXPECT_EQ(realsOf(mixed), (std::vector<std::pair<int, double>>{{0, 2.0}, {2, 1.0}, {4, 3.0}}));
  EXPECT_EQ(mixed.example->vectorString().at(1).number, 1);
  EXPECT_EQ(mixed.example->vectorTree().at(1).number, 2);
}

TEST(ExampleLine, ModelWrappedTreesComeBackAsWritten) {
  const char* line = "1 tree:3:((S#(NN#\"a,b\")),2.5)";
  Element wrapped = *parseExampleLineForced(kBias, line, TreeTextForm::ModelWrapped);
  EXPECT_EQ(showTree(wrapped.example->vectorTree().at(1).tree->tree()), "(S (NN \"a,b\"))");
  // Read literally, the root label takes the wrapper's parenthesis.
  Element literal = *parseExampleLineForced(kBias, line);
  EXPECT_EQ(literal.example->vectorTree().at(1).tree->tree().treeTag(), "(S");
}

TEST(ExampleLine, LazyParseConvertsEachFieldAtFirstUse) {
  auto e = parseExampleLine(kBias, "1 qid:x 3:1 tree:1:(FAILED-PARSE)");
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->value, 1.0);
  EXPECT_EQ(e->example->vectorReal().at(2).value, 1.0);
  EXPECT_THROW(e->example->ex_qid(), FatalError);
  EXPECT_THROW(e->example->vectorTree(), FatalError);
  // Forcing reports the first faulty field in completion order: the qid.
  auto again = parseExampleLine(kBias, "1 qid:x 3:1 tree:1:(FAILED-PARSE)");
  try {
    forceParsedExample(again);
    FAIL();
  } catch (const FatalError& err) {
    EXPECT_NE(std::string(err.what()).find("\"x\""), std::string::npos) << err.what();
  }
  // Lazy and forced parses give equal examples.
  const char* line = "-1 qid:3 2:0.5 string:1:a#b tree:4:(NP#(DT#a)#(NN#b)) 9:1";
  auto lazy = parseExampleLine(kBias, line);
  auto forced = parseExampleLineForced(kBias, line);
  EXPECT_TRUE(*lazy->example == *forced->example);
  EXPECT_EQ(lazy->value, forced->value);
}

TEST(ExampleLine, DecodeAndHighestFeatureNumber) {
  EXPECT_EQ(decodeTreeText("(A#b*pound*#)"), "(A b# )");
  EXPECT_EQ(decodeTreeText("*pound*pound*"), "#pound*");
  // The highest of the three kinds, wherever it stands; colons in a string
  // or tree text are no feature number.
  EXPECT_EQ(highestFeatureNumber("1 4:0.5 9:1"), 9);
  EXPECT_EQ(highestFeatureNumber("-1 2:1 string:12:a#b"), 12);
  EXPECT_EQ(highestFeatureNumber("+1 5:0.3 string:1:a#b"), 5);
  EXPECT_EQ(highestFeatureNumber("1 string:2:x 7:1 tree:3:(A#a:b)"), 7);
  EXPECT_EQ(highestFeatureNumber("1 tree:8:(A#(W#string:99:x)) string:1:tree:42:a#9:1"), 8);
  EXPECT_EQ(highestFeatureNumber("1 string:4:s 1:1 2:1"), 4);
  EXPECT_EQ(highestFeatureNumber("1 qid:7"), std::nullopt);
  EXPECT_EQ(highestFeatureNumber("  "), std::nullopt);
  EXPECT_TRUE(isExampleLine(" #x"));
  EXPECT_FALSE(isExampleLine("#x"));
  EXPECT_FALSE(isExampleLine(""));
}

}  // namespace
}  // namespace kelvor
