#include "trees/DTree.h"

#include <limits>

#include "base/Fatal.h"
#include "base/NumberText.h"
#include "maps/FiniteMap.h"
#include "trees/TreeWalk.h"

namespace kelvor {

namespace {

[[noreturn]] void failLeafPosition(std::int64_t position) {
  std::string message = "numberTree: leaf position ";
  appendInt(message, position);
  message += " is out of the range of positions";
  fail(message);
}

// `start` is at most one past the largest position, so neither it nor
// start - 1 leaves the 64-bit counter.
std::pair<std::int64_t, DTree> numberFrom(std::int64_t start, const DTree& t) {
  std::int64_t next = start;
  std::vector<std::int64_t> firstLeaf;
  DTree numbered = rebuildTree<DynamicMap>(
      t, [&](const DTree&) { firstLeaf.push_back(next); },
      [&](const DTree& leaf) {
        if (next > std::numeric_limits<std::int32_t>::max()) failLeafPosition(next);
        const auto position = static_cast<std::int32_t>(next++);
        return DTree::makeTerm(leaf.treeTag(), leaf.treeText(),
                               addToDM(leaf.treeAnn(), Single(position)));
      },
      [&](const DTree& node, std::vector<DTree>&& children) {
        const std::int64_t first = firstLeaf.back();
        firstLeaf.pop_back();
        // Both fit a position once a leaf lies between them.
        if (next - 1 < first) failMkRange(first, next - 1);
        const Range span =
            mkRange(static_cast<std::int32_t>(first), static_cast<std::int32_t>(next - 1));
        return DTree::makeNonTerm(node.treeTag(), std::move(children),
                                  addToDM(node.treeAnn(), span));
      });
  return {next, std::move(numbered)};
}

// The annotation group of one node, or nothing when the printer prints
// none of its values.
void appendAnnotations(std::string& out, const DynamicPrinter& printer, const DynamicMap& ann) {
  const std::size_t groupStart = out.size();
  out += '{';
  bool any = false;
  forEachInOrder(ann.unDM(), [&](const std::string&, const Dynamic& value) {
    const std::size_t itemStart = out.size();
    if (any) out += ';';
    out += '{';
    if (printer(out, value)) {
      out += '}';
      any = true;
    } else {
      out.resize(itemStart);
    }
  });
  if (any)
    out += "} ";
  else
    out.resize(groupStart);
}

}  // namespace

std::pair<std::int64_t, DTree> numberTree(std::int32_t start, const DTree& t) {
  return numberFrom(start, t);
}

std::pair<std::int64_t, std::vector<DTree>> numberTrees(std::int32_t start,
                                                        std::span<const DTree> trees) {
  std::int64_t next = start;
  std::vector<DTree> out;
  out.reserve(trees.size());
  for (const DTree& t : trees) {
    auto [after, numbered] = numberFrom(next, t);
    next = after;
    out.push_back(std::move(numbered));
  }
  return {next, std::move(out)};
}

void showDTreeWith(std::string& out, const DynamicPrinter& printer, const DTree& t) {
  walkTree(
      t,
      [&](const DTree& node, std::size_t index) {
        if (index > 0) out += ' ';
        out += '(';
        out += node.treeTag();
        out += ' ';
        appendAnnotations(out, printer, node.treeAnn());
        if (node.isTerm())
          out += node.treeText();
        else if (node.treeChildren().empty())
          out += "<<EMPTY>>";
      },
      [&](const DTree&) { out += ')'; });
}

std::string showDTreeWith(const DynamicPrinter& printer, const DTree& t) {
  std::string out;
  showDTreeWith(out, printer, t);
  return out;
}

}  // namespace kelvor
