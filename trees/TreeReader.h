// Readers of one bracketed parse tree, such as a statistical parser prints
// it, and of the pieces of a parser-output score line.
//
// Reading is strictly left to right with one character of lookahead and no
// backtracking: once a reader has accepted a character, a later failure
// fails the whole tree. Each reader starts at the cursor's position and
// leaves the cursor after what it accepted; on failure the cursor holds the
// report (ReadCursor::failure).
//
// The nesting depth of a tree is limited only by memory: the tree reader
// keeps its open nodes on an explicit stack.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "base/WhiteSpace.h"
#include "trees/AnnTree.h"
#include "trees/ReadCursor.h"

namespace kelvor {

// The longest run, possibly empty, of white space. Never fails. (Inline,
// as the two below: a tree reads them at every node.)
inline Outcome<std::monostate> whiteSpaceP(ReadCursor& c) {
  const bool consumed = !c.takeWhile([](char ch) { return isWhiteSpace(ch); }).empty();
  c.expect(ExpectedKind::WhiteSpace);
  return {std::monostate{}, consumed};
}

// The longest run, possibly empty, of anything but tab, line feed and
// space; parentheses and double quotes included. Never fails.
inline Outcome<std::string_view> labelP(ReadCursor& c) {
  const std::string_view label =
      c.takeWhile([](char ch) { return ch != '\t' && ch != '\n' && ch != ' '; });
  return {label, !label.empty()};
}

// Exactly the characters of `literal`.
Outcome<std::string_view> literalP(ReadCursor& c, std::string_view literal);

// One or more of "0123456789.-eE", unchecked.
Outcome<std::string_view> scoreNumberP(ReadCursor& c);

// A double-quoted text; a backslash takes the next character literally.
Outcome<std::string> quotedTextP(ReadCursor& c);

// One or more characters other than ")" and space, then white space.
Outcome<std::string_view> unquotedTextP(ReadCursor& c);

// A quoted text if a double quote comes next, else an unquoted one.
Outcome<std::string> terminalTextP(ReadCursor& c);

// The leaf part of a node with the given label.
Outcome<AnnTree<Unit>> terminalP(ReadCursor& c, std::string_view label);

// White space, one bracketed tree, white space.
Outcome<AnnTree<Unit>> treeParserP(ReadCursor& c);

// The tag and text of a leaf as terminalP reads them, without building the
// leaf: views of the input, or of `unescaped` for a quoted text.
struct LeafParts {
  std::string_view tag;
  std::string_view text;
};
Outcome<LeafParts> terminalPartsP(ReadCursor& c, std::string_view label, std::string& unescaped);

// treeParserP for any representation of the tree read: the reader tells
// `builder`, in pre-order, of every node as it reads it
//   builder.openInner(label)     an inner node, whose children follow;
//   builder.leaf(tag, text)      a leaf;
//   builder.closeInner()         the inner node opened last is complete;
// the views are valid only during the call. On failure the calls made so
// far stand and the cursor holds the report, as for treeParserP.
template <class Builder>
Outcome<std::monostate> readTreeWith(ReadCursor& c, Builder& builder) {
  const std::size_t start = c.index();
  whiteSpaceP(c);
  if (!c.acceptChar('(', ExpectedKind::OpenParen)) {
    c.failHere();
    return {std::nullopt, c.index() != start};
  }
  std::size_t open = 0;  // inner nodes whose "(" has been read and whose ")" has not
  std::string unescaped;
  while (true) {
    // Just after the "(" of a node.
    const std::string_view label = *labelP(c).value;
    whiteSpaceP(c);
    if (c.acceptChar('(', ExpectedKind::OpenParen)) {
      builder.openInner(label);
      ++open;
      continue;
    }
    Outcome<LeafParts> leaf = terminalPartsP(c, label, unescaped);
    if (!leaf.ok()) return {std::nullopt, true};
    builder.leaf(leaf.value->tag, leaf.value->text);
    // Close nodes until one of them goes on with a further child.
    while (true) {
      whiteSpaceP(c);
      if (!c.acceptChar(')', ExpectedKind::CloseParen)) {
        c.failHere();
        return {std::nullopt, true};
      }
      whiteSpaceP(c);
      if (open == 0) return {std::monostate{}, true};
      if (c.acceptChar('(', ExpectedKind::OpenParen)) break;
      builder.closeInner();
      --open;
    }
  }
}

}  // namespace kelvor
