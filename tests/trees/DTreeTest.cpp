#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "FatalMessage.h"
#include "core/Show.h"
#include "trees/ChildAccess.h"
#include "trees/DTree.h"
#include "trees/TreeBuilders.h"

namespace kelvor {

// A label type for the tests, named to sort before the span's name.
struct Label {
  std::string text;
};
template <>
struct TypeName<Label> {
  static constexpr std::string_view value = "A.Label";
};

namespace {

using namespace testing;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

const UTree kSentence = node(
    "S", {node("NP", {leaf("DT", "the"), leaf("NN", "dog")}), node("VP", {leaf("VBZ", "barks")})});

auto showInt = [](std::string& out, const int& v) { appendShow(out, 0, v); };
auto showLabel = [](std::string& out, const Label& l) { out += l.text; };

std::optional<std::string> text(const DynamicPrinter& p, const Dynamic& v) {
  return dynamicText(p, v);
}

TEST(DynamicPrinter, PrintsOnlyItsOwnTypes) {
  const Dynamic four = toDyn(Single(4));
  const Dynamic span = toDyn(Range(0, 3));
  const Dynamic five = toDyn(5);
  const Dynamic str = toDyn(std::string("s"));
  const DynamicPrinter ints = dshow<int>(showInt);
  struct Case {
    DynamicPrinter p;
    const Dynamic* v;
    std::optional<std::string> text;
  };
  const std::vector<Case> cases = {
      {rangeDShow(), &four, "R==4"},
      {rangeDShow(), &span, "R==0^3"},
      {rangeDShow(), &five, std::nullopt},
      {ints, &five, "5"},
      {ints, &str, std::nullopt},
      {dshowLabel<int>("x", showInt), &five, "x=5"},
      {dshowLabel<int>("x", showInt), &str, std::nullopt},
      {dshowLabel<int>("", showInt), &five, "=5"},
      {dshowTypeLabel<Range>([](std::string& out, const Range& r) { appendShow(out, 0, r); }),
       &span, "ZezeRozi.Util.Range=0^3"},
      {dshow0(), &five, std::nullopt},
      {dPlus(dshow0(), ints), &five, "5"},
      {dPlus(ints, dshow0()), &five, "5"},
      {dPlus(ints, dshow0()), &str, std::nullopt},
      {dPlus(ints, ints), &five, "55"},
      {dPlus(rangeDShow(), ints), &five, "5"},
      {dPlus(rangeDShow(), ints), &span, "R==0^3"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(text(cases[i].p, *cases[i].v), cases[i].text) << i;
}

TEST(DTree, NumberingStoresEverySpan) {
  const DTree t = numberTree(0, mkDTree(kSentence)).second;
  EXPECT_EQ(showDTreeWith(rangeDShow(), t),
            "(S {{R==0^2}} (NP {{R==0^1}} (DT {{R==0}} the) (NN {{R==1}} dog)) "
            "(VP {{R==2}} (VBZ {{R==2}} barks)))");
  EXPECT_EQ(markup<Range>(t), Range(0, 2));
  // A node over one leaf holds a Single.
  EXPECT_EQ(markup<Range>(ch(1, t))->kind(), RangeKind::Single);
  EXPECT_EQ(showDTreeWith(dshow0(), t), "(S (NP (DT the) (NN dog)) (VP (VBZ barks)))");
}

TEST(DTree, NumberingFromAnyStart) {
  struct Case {
    std::int32_t start;
    std::int64_t next;
    Range span;
  };
  for (const Case& c : std::vector<Case>{{0, 1, Single(0)},
                                         {5, 6, Single(5)},
                                         {-1, 0, Single(-1)},
                                         {kMax, std::int64_t{kMax} + 1, Single(kMax)}}) {
    const auto [next, t] = numberTree(c.start, mkDTree(leaf("NN", "dog")));
    EXPECT_EQ(next, c.next) << c.start;
    EXPECT_EQ(markup<Range>(t), c.span) << c.start;
  }
  // Two leaves from the largest position: the second has none.
  EXPECT_EQ(fatalMessage([] {
              numberTree(kMax, mkDTree(node("X", {leaf("A", "a"), leaf("B", "b")})));
            }),
            "numberTree: leaf position 2147483648 is out of the range of positions");
}

TEST(DTree, NumberingSeveralTreesRunsOn) {
  const std::vector<DTree> trees = {mkDTree(kSentence),
                                    mkDTree(node("X", {leaf("A", "a"), leaf("B", "b")}))};
  const auto [next, numbered] = numberTrees(1, trees);
  EXPECT_EQ(next, 6);
  ASSERT_EQ(numbered.size(), 2u);
  EXPECT_EQ(markup<Range>(numbered[1]), Range(4, 5));
  EXPECT_EQ(markup<Range>(ch(0, numbered[1])), Single(4));
  EXPECT_EQ(numberTrees(3, {}).first, 3);
}

TEST(DTree, NodesWithoutLeavesHaveNoSpan) {
  struct Case {
    UTree t;
    std::int32_t start;
    std::string message;
  };
  const std::string prefix = "mkRange: trying to make a range out of ";
  for (const Case& c : std::vector<Case>{
           {node("X", {}), 0, prefix + "(0,-1)"},
           {node("X", {leaf("A", "a"), node("Y", {node("Z", {})})}), 3, prefix + "(4,3)"},
           {node("X", {}), std::numeric_limits<std::int32_t>::min(),
            prefix + "(-2147483648,-2147483649)"}}) {
    EXPECT_EQ(fatalMessage([&] { numberTree(c.start, mkDTree(c.t)); }), c.message);
  }
}

TEST(DTree, AnnotationsAtTheRootOnly) {
  const DTree plain = mkDTree(kSentence);
  const DTree labelled = addAnn(addAnn(plain, Label{"s"}), 42);
  EXPECT_EQ(markup<Label>(labelled)->text, "s");
  EXPECT_EQ(markup<int>(labelled), 42);
  EXPECT_EQ(markup<int>(plain), std::nullopt);  // the argument is unchanged
  EXPECT_EQ(markup<Label>(ch(0, labelled)), std::nullopt);
  EXPECT_TRUE(ch(0, labelled).sameNode(ch(0, plain)));

  // A second numbering replaces the first's spans and keeps other values.
  const DTree twice = numberTree(10, numberTree(0, labelled).second).second;
  EXPECT_EQ(markup<Range>(twice), Range(10, 12));
  EXPECT_EQ(markup<int>(twice), 42);
  EXPECT_EQ(sizeDM(twice.treeAnn()), 3);

  // Values print in the order of their type names; unprinted ones leave no
  // trace.
  const DynamicPrinter all =
      dPlus(rangeDShow(), dPlus(dshow<Label>(showLabel), dshowLabel<int>("n", showInt)));
  EXPECT_EQ(showDTreeWith(all, ch(1, twice)), "(VP {{R==12}} (VBZ {{R==12}} barks))");
  const std::string shown = showDTreeWith(all, twice);
  EXPECT_EQ(shown.substr(0, shown.find(" (NP")), "(S {{s};{n=42};{R==10^12}}");
  EXPECT_EQ(showDTreeWith(dshow<Label>(showLabel), ch(1, twice)), "(VP (VBZ barks))");
}

TEST(DTree, PrintedAsTheyAre) {
  const DTree odd = mkDTree(node("X Y", {leaf("\"Q\"", "a (b) \"c\""), node("(E)", {})}));
  EXPECT_EQ(showDTreeWith(dshow0(), odd), "(X Y (\"Q\" a (b) \"c\") ((E) <<EMPTY>>))");
  EXPECT_EQ(showDTreeWith(rangeDShow(), addAnn(mkDTree(node("X", {})), Single(3))),
            "(X {{R==3}} <<EMPTY>>)");
  std::string out = "before ";
  showDTreeWith(out, dshow0(), mkDTree(leaf("NN", "dog")));
  EXPECT_EQ(out, "before (NN dog)");
}

}  // namespace
}  // namespace kelvor
