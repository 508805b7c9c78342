#include "trees/ParseFile.h"

#include <cstddef>
#include <deque>

#include "base/Fatal.h"
#include "base/NumberText.h"
#include "trees/ReadCursor.h"
#include "trees/TreeReader.h"

namespace kelvor {

namespace {

constexpr std::string_view kScorePrefix = "SProb = ";
constexpr std::string_view kSuppliedScoreLine = "SProb = 0";

// Groups the lines into items without copying them: onFailed() for a failed
// sentence, onTree(suppliedScore, first, end) for a tree item made of the
// lines first..end-1, led by "SProb = 0" when suppliedScore. The lines are
// looked at through `lines`: has(i) tells whether line i exists, at(i)
// gives it, and release(i) says that no line before i is wanted again.
// Lines are asked for in order, at most one past the item being grouped.
template <class Lines, class OnFailed, class OnTree>
void forEachItem(Lines& lines, OnFailed onFailed, OnTree onTree) {
  std::size_t i = 0;
  while (lines.has(i)) {
    lines.release(i);
    const std::string_view line = lines.at(i);
    if (line == "(FAILED-PARSE)") {
      onFailed();
      ++i;
      continue;
    }
    const bool scoreLine = line.starts_with(kScorePrefix) && lines.has(i + 1);
    if (scoreLine || line.starts_with("(")) {
      // A score line takes the next line whatever it holds.
      std::size_t end = scoreLine ? i + 2 : i + 1;
      while (lines.has(end) && !lines.at(end).starts_with(kScorePrefix) &&
             !lines.at(end).starts_with("Parse failed") && !lines.at(end).starts_with("("))
        ++end;
      onTree(!scoreLine, i, end);
      i = end;
      continue;
    }
    if (line.starts_with("Parse failed")) {
      if (!lines.has(i + 1)) return;
      if (lines.at(i + 1) == "()") {
        onFailed();
        i += 2;
      } else {
        ++i;
      }
      continue;
    }
    ++i;
  }
}

// All the lines of a text at hand.
class SpanLines {
 public:
  explicit SpanLines(std::span<const std::string_view> lines) : lines_(lines) {}
  bool has(std::size_t i) const { return i < lines_.size(); }
  std::string_view at(std::size_t i) const { return lines_[i]; }
  void release(std::size_t) const {}

 private:
  std::span<const std::string_view> lines_;
};

// The lines of a text read one at a time, holding only those from the
// current item on.
class StreamedLines {
 public:
  explicit StreamedLines(const std::function<bool(std::string&)>& nextLine) : nextLine_(nextLine) {}

  bool has(std::size_t i) {
    while (!ended_ && i >= base_ + held_.size()) {
      std::string line;
      if (!nextLine_(line)) {
        ended_ = true;
        break;
      }
      held_.push_back(std::move(line));
    }
    return i < base_ + held_.size();
  }
  std::string_view at(std::size_t i) const { return held_[i - base_]; }
  void release(std::size_t i) {
    for (; base_ < i && !held_.empty(); ++base_) held_.pop_front();
  }

 private:
  const std::function<bool(std::string&)>& nextLine_;
  std::deque<std::string> held_;
  std::size_t base_ = 0;  // the number of the first held line
  bool ended_ = false;
};

TreeResult readFailedItem(std::size_t number) {
  std::string text = "Charniak Parser Error on tree ";
  appendInt(text, static_cast<std::int64_t>(number));
  return TreeResult::error(std::move(text));
}

TreeResult reportItemFailure(std::string_view name, std::size_t number, const ReadCursor& c) {
  std::string source(name);
  source += ", tree #";
  appendInt(source, static_cast<std::int64_t>(number));
  std::string text = "Internal error on tree ";
  appendInt(text, static_cast<std::int64_t>(number));
  text += ": ";
  appendReadFailure(text, source, c.failure());
  return TreeResult::error(std::move(text));
}

// One tree item: its score line, the tree, and anything after it ignored.
TreeResult readTreeItem(std::string_view name, std::size_t number, std::string_view item) {
  ReadCursor c(item);
  if (!literalP(c, kScorePrefix).ok()) return reportItemFailure(name, number, c);
  Outcome<std::string_view> score = scoreNumberP(c);
  if (!score.ok()) return reportItemFailure(name, number, c);
  // The score is converted before the tree is read: a malformed one makes
  // the whole item a number-reading failure, whatever the tree holds.
  const std::optional<double> value = isDecimalText(*score.value, /*allowPlusExponent=*/false)
                                          ? decimalToDouble(*score.value)
                                          : std::nullopt;
  if (!value) return TreeResult::malformedScore(std::string(*score.value));
  whiteSpaceP(c);
  Outcome<AnnTree<Unit>> tree = treeParserP(c);
  if (!tree.ok()) return reportItemFailure(name, number, c);
  return TreeResult::scored(*value, std::move(*tree.value));
}

// Behind both parseFile and parseLines, so that a text read whole and one
// read line by line give the very same items.
template <class Lines, class OnItem>
void readItems(std::string_view name, Lines& lines, OnItem&& onItem) {
  std::size_t number = 0;
  std::string item;  // reused: the joined lines of the current item
  forEachItem(
      lines, [&] { onItem(readFailedItem(++number)); },
      [&](bool suppliedScore, std::size_t first, std::size_t end) {
        item.clear();
        if (suppliedScore) {
          item += kSuppliedScoreLine;
          item += '\n';
        }
        for (std::size_t i = first; i < end; ++i) {
          item += lines.at(i);
          item += '\n';
        }
        onItem(readTreeItem(name, ++number, item));
      });
}

}  // namespace

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<TreeItem> splitTrees(std::span<const std::string_view> lines) {
  std::vector<TreeItem> items;
  SpanLines at(lines);
  forEachItem(
      at,
      [&] {
        items.push_back({TreeItemKind::Failed, {}});
      },
      [&](bool suppliedScore, std::size_t first, std::size_t end) {
        TreeItem item{TreeItemKind::Tree, {}};
        if (suppliedScore) item.lines.push_back(kSuppliedScoreLine);
        item.lines.insert(item.lines.end(), lines.begin() + first, lines.begin() + end);
        items.push_back(std::move(item));
      });
  return items;
}

std::vector<TreeResult> parseFile(std::string_view name, std::string_view text) {
  const std::vector<std::string_view> lines = splitLines(text);
  std::vector<TreeResult> results;
  SpanLines at(lines);
  readItems(name, at, [&](TreeResult r) { results.push_back(std::move(r)); });
  return results;
}

void parseLines(std::string_view name, const std::function<bool(std::string&)>& nextLine,
                const std::function<void(TreeResult)>& onItem) {
  StreamedLines lines(nextLine);
  readItems(name, lines, onItem);
}

const std::variant<std::string, ScoredTree>& TreeResult::value() const {
  if (!badScore_.empty()) failNumberText(badScore_, "Double");
  return value_;
}

const std::string& TreeResult::errorText() const {
  const auto& v = value();
  if (v.index() != 0) failField("errorText", "scored tree");
  return std::get<0>(v);
}

const ScoredTree& TreeResult::scoredTree() const {
  const auto& v = value();
  if (v.index() != 1) failField("scoredTree", "error text");
  return std::get<1>(v);
}

}  // namespace kelvor
