#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "FatalMessage.h"
#include "base/Show.h"
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

const UTree kSentence = sentence();

auto showInt = [](std::string& out, const int& v) { appendShow(out, 0, v); };
auto showLabel = [](std::string& out, const Label& l) { out += l.text; };

TEST(DynamicPrinter, PrintsOnlyItsOwnTypes) {
  const Dynamic span = toDyn(Range(0, 3)), five = toDyn(5), str = toDyn(std::string("s"));
  const DynamicPrinter ints = dshow<int>(showInt);
  auto showRange = [](std::string& out, const Range& r) { appendShow(out, 0, r); };
  EXPECT_EQ(dynamicText(rangeDShow(), toDyn(Single(4))), "R==4");
  EXPECT_EQ(dynamicText(rangeDShow(), five), std::nullopt);
  EXPECT_EQ(dynamicText(dshowLabel<int>("", showInt), five), "=5");
  EXPECT_EQ(dynamicText(dshowTypeLabel<Range>(showRange), span), "ZezeRozi.Util.Range=0^3");
  EXPECT_EQ(dynamicText(dPlus(dshow0(), ints), five), "5");
  EXPECT_EQ(dynamicText(dPlus(ints, dshow0()), str), std::nullopt);
  EXPECT_EQ(dynamicText(dPlus(ints, ints), five), "55");
  EXPECT_EQ(dynamicText(dPlus(rangeDShow(), ints), span), "R==0^3");
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

TEST(DTree, NumberingFromAnyStartAndAcrossTrees) {
  const auto [next, t] = numberTree(kMax, mkDTree(leaf("NN", "dog")));
  EXPECT_EQ(next, std::int64_t{kMax} + 1);
  EXPECT_EQ(markup<Range>(t), Single(kMax));
  const std::vector<DTree> trees = {mkDTree(kSentence),
                                    mkDTree(node("X", {leaf("A", "a"), leaf("B", "b")}))};
  const auto [after, numbered] = numberTrees(1, trees);
  EXPECT_EQ(after, 6);
  EXPECT_EQ(markup<Range>(numbered[1]), Range(4, 5));
  EXPECT_EQ(numberTrees(3, {}).first, 3);

  const std::string mk = "mkRange: trying to make a range out of ";
  for (const auto& [tree, start, message] :
       std::vector<std::tuple<UTree, std::int32_t, std::string>>{
           {node("X", {}), 0, mk + "(0,-1)"},
           {node("X", {leaf("A", "a"), node("Y", {node("Z", {})})}), 3, mk + "(4,3)"},
           {node("X", {}), std::numeric_limits<std::int32_t>::min(),
            mk + "(-2147483648,-2147483649)"},
           {node("X", {leaf("A", "a"), leaf("B", "b")}), kMax,
            "numberTree: leaf position 2147483648 is out of the range of positions"}}) {
    EXPECT_EQ(fatalMessage([&] { numberTree(start, mkDTree(tree)); }), message);
  }
}

TEST(DTree, AnnotationsAtTheRootOnly) {
  const DTree plain = mkDTree(kSentence);
  const DTree labelled = addAnn(addAnn(plain, Label{"s"}), 42);
  EXPECT_EQ(markup<Label>(labelled)->text, "s");
  EXPECT_EQ(markup<int>(labelled), 42);
  EXPECT_EQ(markup<int>(plain), std::nullopt);  // the argument is unchanged
  EXPECT_TRUE(ch(0, labelled).sameNode(ch(0, plain)));

  // A second numbering replaces the first's spans and keeps other values.
  const DTree twice = numberTree(10, numberTree(0, labelled).second).second;
  EXPECT_EQ(markup<Range>(twice), Range(10, 12));
  EXPECT_EQ(sizeDM(twice.treeAnn()), 3);

  // Values print in the order of their type names; unprinted ones leave no
  // trace.
  const DynamicPrinter all =
      dPlus(rangeDShow(), dPlus(dshow<Label>(showLabel), dshowLabel<int>("n", showInt)));
  EXPECT_EQ(showDTreeWith(all, ch(1, twice)), "(VP {{R==12}} (VBZ {{R==12}} barks))");
  const std::string shown = showDTreeWith(all, twice);
  EXPECT_EQ(shown.substr(0, shown.find(" (NP")), "(S {{s};{n=42};{R==10^12}}");
}

TEST(DTree, PrintedAsTheyAre) {
  const DTree odd = mkDTree(node("X Y", {leaf("\"Q\"", "a (b) \"c\""), node("(E)", {})}));
  EXPECT_EQ(showDTreeWith(dshow0(), odd), "(X Y (\"Q\" a (b) \"c\") ((E) <<EMPTY>>))");
  std::string out = "before ";
  showDTreeWith(out, dshow0(), mkDTree(leaf("NN", "dog")));
  EXPECT_EQ(out, "before (NN dog)");
}

}  // namespace
}  // namespace kelvor
