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

#include "trees/AnnTree.h"
#include "trees/ReadCursor.h"

namespace kelvor {

// The longest run, possibly empty, of white space. Never fails.
Outcome<std::monostate> whiteSpaceP(ReadCursor& c);

// The longest run, possibly empty, of anything but tab, line feed and
// space; parentheses and double quotes included. Never fails.
Outcome<std::string_view> labelP(ReadCursor& c);

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

}  // namespace kelvor
