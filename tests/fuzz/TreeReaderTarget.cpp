// The tree reader on any text: one tree read directly (also into the tree
// kernel's form), and the items of a parser-output text, read whole and
// line by line.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/NumberText.h"
#include "core/kernels/TreeKernel.h"
#include "tests/fuzz/FuzzTargets.h"
#include "trees/ParseFile.h"
#include "trees/TreePrinter.h"
#include "trees/TreeReader.h"

namespace kelvor::fuzz {

namespace {

// A tree the reader built prints in a form that reads back as the same tree.
void checkReadsBack(const AnnTree<Unit>& tree, std::string_view input) {
  const std::string printed = showTree(tree);
  ReadCursor again(printed);
  Outcome<AnnTree<Unit>> back = treeParserP(again);
  if (!back.ok() || !again.atEnd() || !(*back.value == tree))
    propertyBroken("a printed tree does not read back as itself: " + printed, input);
}

// What an item's result holds, for comparing two readings of one text; a
// malformed score is a fatal error of its own.
std::string describe(const TreeResult& r) {
  std::string out;
  if (!endsNormally([&] {
        if (r.isError()) {
          out = "error " + r.errorText();
        } else {
          out = "tree " + showDouble(r.scoredTree().score) + " " + showTree(r.scoredTree().tree);
        }
      }))
    out = "fatal";
  return out;
}

}  // namespace

void fuzzTreeReader(std::string_view input) {
  ReadCursor c(input);
  Outcome<AnnTree<Unit>> tree = treeParserP(c);
  if (tree.ok())
    checkReadsBack(*tree.value, input);
  else
    showReadFailure("fuzz", c.failure());
  // Examples read their trees straight into the kernel's form: the same
  // texts must read, and give the same trees.
  const std::optional<KernelTreePtr> kernelTree = KernelTree::read(input);
  if (kernelTree.has_value() != tree.ok() ||
      (kernelTree && !((*kernelTree)->tree() == *tree.value)))
    propertyBroken("the kernel's reading of a tree differs from the tree reader's", input);

  std::vector<std::string> whole;
  for (const TreeResult& r : parseFile("fuzz", input)) {
    endsNormally([&] {
      if (!r.isError()) checkReadsBack(r.scoredTree().tree, input);
    });
    whole.push_back(describe(r));
  }
  const std::vector<std::string_view> lines = splitLines(input);
  std::size_t next = 0;
  std::vector<std::string> streamed;
  parseLines(
      "fuzz",
      [&](std::string& line) {
        if (next == lines.size()) return false;
        line = lines[next++];
        return true;
      },
      [&](TreeResult r) { streamed.push_back(describe(r)); });
  if (streamed != whole) propertyBroken("reading line by line gives other items", input);
}

}  // namespace kelvor::fuzz
