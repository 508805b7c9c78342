// Statistical-parser output: trees, one per item, usually led by a score
// line ("SProb = <score>"), with markers for sentences the parser could not
// parse. Every item gives its own result; an item that cannot be read gives
// an error text and leaves the others alone.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "trees/AnnTree.h"

namespace kelvor {

enum class TreeItemKind { Failed, Tree };

// A sentence the parser reported as failed (no lines), or a tree item whose
// first line is its score line (taken from the input, or "SProb = 0" when
// the tree came without one).
struct TreeItem {
  TreeItemKind kind;
  std::vector<std::string_view> lines;
  friend bool operator==(const TreeItem&, const TreeItem&) = default;
};

std::vector<TreeItem> splitTrees(std::span<const std::string_view> lines);

// The text cut at every line feed; a last line without one counts, a final
// line feed makes no empty line.
std::vector<std::string_view> splitLines(std::string_view text);

struct ScoredTree {
  double score;
  AnnTree<Unit> tree;
};

// One item's result: an error text or a scored tree. An item whose score
// text is not a number stops the program when it is examined, and only
// then, so the other items of the same text stay usable.
class TreeResult {
 public:
  static TreeResult error(std::string text) { return TreeResult(std::move(text), {}); }
  static TreeResult scored(double score, AnnTree<Unit> tree) {
    return TreeResult(ScoredTree{score, std::move(tree)}, {});
  }
  static TreeResult malformedScore(std::string scoreText) {
    return TreeResult(std::string(), std::move(scoreText));
  }

  const std::variant<std::string, ScoredTree>& value() const;
  bool isError() const { return value().index() == 0; }
  const std::string& errorText() const;
  const ScoredTree& scoredTree() const;

 private:
  TreeResult(std::variant<std::string, ScoredTree> value, std::string badScore)
      : value_(std::move(value)), badScore_(std::move(badScore)) {}

  std::variant<std::string, ScoredTree> value_;
  std::string badScore_;  // a score is never empty, so empty means none
};

// Reads every item of `text`, numbered from 1; `name` appears only in the
// error texts.
std::vector<TreeResult> parseFile(std::string_view name, std::string_view text);

// The items of parseFile for a text that arrives line by line: nextLine
// gives the next line without its line feed, or false at the end (as
// InputFile::readLine does). Each item goes to onItem, in order, as soon as
// the line after it has been read, so the text is read only as far as the
// items handed out (and one line further).
void parseLines(std::string_view name, const std::function<bool(std::string&)>& nextLine,
                const std::function<void(TreeResult)>& onItem);

}  // namespace kelvor
