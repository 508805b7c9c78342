#include "trees/TreeReader.h"

#include <utility>
#include <vector>

#include "trees/WorkStack.h"

namespace kelvor {

namespace {

bool isUnquotedTextChar(char ch) { return ch != ')' && ch != ' '; }
bool isScoreChar(char ch) {
  return (ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == 'e' || ch == 'E';
}

// The label that announces a leaf of one double quote written as three.
constexpr std::string_view kQuoteLeafLabel = "PUNC\"";

}  // namespace

Outcome<std::string_view> literalP(ReadCursor& c, std::string_view literal) {
  const std::string_view text = c.text();
  const std::size_t start = c.index();
  std::size_t i = 0;
  while (i < literal.size() && start + i < text.size() && text[start + i] == literal[i]) ++i;
  if (i == literal.size()) {
    c.advance(i);
    return {text.substr(start, i), i > 0};
  }
  if (i == 0) {
    c.expect(ExpectedKind::Literal, literal);
    c.failHere();
    return {std::nullopt, false};
  }
  c.advance(i);
  c.failLiteral(start, start + i, literal);
  return {std::nullopt, true};
}

Outcome<std::string_view> scoreNumberP(ReadCursor& c) {
  std::string_view run = c.takeWhile(isScoreChar);
  if (run.empty()) {
    c.failHere();
    return {std::nullopt, false};
  }
  return {run, true};
}

Outcome<std::string> quotedTextP(ReadCursor& c) {
  if (!c.acceptChar('"', ExpectedKind::DoubleQuote)) {
    c.failHere();
    return {std::nullopt, false};
  }
  std::string out;
  while (true) {
    out += c.takeWhile([](char ch) { return ch != '"' && ch != '\\'; });
    if (c.atEnd()) break;
    const char ch = c.peek();
    c.advance(1);
    if (ch == '"') return {std::move(out), true};
    // A backslash: the next character stands for itself.
    if (c.atEnd()) break;
    out += c.peek();
    c.advance(1);
  }
  c.failHere();
  return {std::nullopt, true};
}

Outcome<std::string_view> unquotedTextP(ReadCursor& c) {
  std::string_view run = c.takeWhile(isUnquotedTextChar);
  if (run.empty()) {
    c.failHere();
    return {std::nullopt, false};
  }
  whiteSpaceP(c);
  return {run, true};
}

namespace {

// terminalTextP without a copy where none is needed: the text is a view of
// the input, or of `unescaped` when it was quoted.
Outcome<std::string_view> terminalTextView(ReadCursor& c, std::string& unescaped) {
  Outcome<std::string> quoted = quotedTextP(c);
  if (quoted.ok()) {
    unescaped = std::move(*quoted.value);
    return {std::string_view(unescaped), true};
  }
  if (quoted.consumed) return {std::nullopt, true};
  return unquotedTextP(c);
}

// Builds the AnnTree: finished nodes wait on one common stack, and a node's
// child list is allocated once, at its exact size, when the node closes.
class AnnTreeBuilder {
 public:
  AnnTreeBuilder() {
    open_.reserve(16);
    finished_.reserve(32);
  }
  void openInner(std::string_view label) { open_.push_back({label, finished_.size()}); }
  void leaf(std::string_view tag, std::string_view text) {
    finished_.push_back(AnnTree<Unit>::makeTerm(tag, text, Unit{}));
  }
  void closeInner() {
    const OpenNode parent = open_.back();
    open_.pop_back();
    AnnTree<Unit> node =
        AnnTree<Unit>::makeNonTerm(parent.label, takeFrom(finished_, parent.firstChild), Unit{});
    finished_.push_back(std::move(node));
  }
  AnnTree<Unit> take() { return std::move(finished_.back()); }

 private:
  struct OpenNode {
    std::string_view label;
    std::size_t firstChild;
  };
  std::vector<OpenNode> open_;
  std::vector<AnnTree<Unit>> finished_;
};

}  // namespace

Outcome<std::string> terminalTextP(ReadCursor& c) {
  std::string unescaped;
  Outcome<std::string_view> text = terminalTextView(c, unescaped);
  if (!text.ok()) return {std::nullopt, text.consumed};
  return {std::string(*text.value), true};
}

Outcome<LeafParts> terminalPartsP(ReadCursor& c, std::string_view label, std::string& unescaped) {
  if (label == kQuoteLeafLabel) {
    Outcome<std::string_view> quotes = literalP(c, "\"\"\"");
    if (!quotes.ok()) return {std::nullopt, quotes.consumed};
    return {LeafParts{"PUNC", "\""}, true};
  }
  Outcome<std::string_view> text = terminalTextView(c, unescaped);
  if (!text.ok()) return {std::nullopt, text.consumed};
  const std::string_view tag = !label.empty() ? label : *text.value == "\"" ? "\"" : "?";
  return {LeafParts{tag, *text.value}, true};
}

Outcome<AnnTree<Unit>> terminalP(ReadCursor& c, std::string_view label) {
  std::string unescaped;
  Outcome<LeafParts> parts = terminalPartsP(c, label, unescaped);
  if (!parts.ok()) return {std::nullopt, parts.consumed};
  return {AnnTree<Unit>::makeTerm(parts.value->tag, parts.value->text, Unit{}), true};
}

Outcome<AnnTree<Unit>> treeParserP(ReadCursor& c) {
  AnnTreeBuilder builder;
  Outcome<std::monostate> read = readTreeWith(c, builder);
  if (!read.ok()) return {std::nullopt, read.consumed};
  return {builder.take(), true};
}

}  // namespace kelvor
