// The reading state shared by the bracketed-tree readers: a text, a position
// in it, the items that readers tried and missed at that position, and the
// record of the last failure.
//
// Line and column are not tracked while reading: they are a function of the
// text before a position, so they are worked out only when a failure is
// reported.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvor {

struct SourcePos {
  std::int64_t line = 1;
  std::int64_t column = 1;
  friend bool operator==(const SourcePos&, const SourcePos&) = default;
};

// Moves a position over one character: line feed and carriage return start a
// new line, a tab goes to the next tab stop (every eight columns from 1).
constexpr SourcePos advancePos(SourcePos p, char c) {
  if (c == '\n' || c == '\r') return {p.line + 1, 1};
  if (c == '\t') return {p.line, p.column + 8 - ((p.column - 1) % 8)};
  return {p.line, p.column + 1};
}

enum class ExpectedKind { WhiteSpace, OpenParen, CloseParen, DoubleQuote, Literal };

struct ExpectedItem {
  ExpectedKind kind;
  std::string literal;  // only for ExpectedKind::Literal
  friend bool operator==(const ExpectedItem&, const ExpectedItem&) = default;
};

// Where reading stopped, what stood there (nothing: the end of the text) and
// what could have been read there, in the order it was tried.
struct ReadFailure {
  SourcePos pos;
  std::optional<char> found;
  std::vector<ExpectedItem> expected;
  friend bool operator==(const ReadFailure&, const ReadFailure&) = default;
};

// The printed report: the source name in double quotes, the position, then
// one line saying what was found and one saying what was expected (left out
// when nothing was).
void appendReadFailure(std::string& out, std::string_view source, const ReadFailure& failure);
std::string showReadFailure(std::string_view source, const ReadFailure& failure);

// A reader's outcome: a value on success, nothing on failure (the report is
// then in the cursor), and whether the reader moved past any character.
// A failure that consumed nothing is clean: a choice may try something else.
template <class T>
struct Outcome {
  std::optional<T> value;
  bool consumed = false;
  bool ok() const { return value.has_value(); }
};

class ReadCursor {
 public:
  explicit ReadCursor(std::string_view text, SourcePos start = {}) : text_(text), start_(start) {}
  // A cursor that keeps no record of what was expected where: for a first
  // reading that only wants to know whether the text reads, and reads it
  // again with a reporting cursor when it does not.
  static ReadCursor withoutReport(std::string_view text) {
    ReadCursor c(text);
    c.reporting_ = false;
    return c;
  }

  std::string_view text() const { return text_; }
  std::size_t index() const { return pos_; }
  bool atEnd() const { return pos_ == text_.size(); }
  // The next character; only when not atEnd().
  char peek() const { return text_[pos_]; }
  void advance(std::size_t n) { pos_ += n; }
  // Moves over the longest run of characters satisfying `keep` and returns
  // the run.
  template <class Keep>
  std::string_view takeWhile(Keep keep) {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && keep(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // Accepts the next character if it is c; otherwise notes `kind` as
  // expected here.
  bool acceptChar(char c, ExpectedKind kind) {
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    expect(kind);
    return false;
  }

  // Notes an item that a reader tried and missed at the current position.
  // Items noted at earlier positions are forgotten: only what could have
  // been read where reading stops is reported. A literal is kept by
  // reference: it must outlive the next failure() call.
  void expect(ExpectedKind kind, std::string_view literal = {}) {
    if (reporting_) note(kind, literal);
  }

  // Records a failure at the current position.
  void failHere() {
    failAt_ = pos_;
    foundAt_ = pos_;
    literalOnly_ = false;
  }
  // Records a literal that broke off after its first character: reported
  // where it began, with the character that differed, expecting only it.
  void failLiteral(std::size_t start, std::size_t differsAt, std::string_view literal) {
    failAt_ = start;
    foundAt_ = differsAt;
    literalOnly_ = true;
    failLiteral_ = literal;
  }

  // The report of the last failure; valid right after the failing reader
  // returned.
  ReadFailure failure() const;

  SourcePos positionOf(std::size_t index) const;

 private:
  void note(ExpectedKind kind, std::string_view literal) {
    if (expectedAt_ != pos_) {
      nExpected_ = 0;
      moreExpected_.clear();
      expectedAt_ = pos_;
    }
    const Expectation item{kind, literal};
    for (std::size_t i = 0; i < nExpected_; ++i)
      if (expected_[i] == item) return;
    for (const Expectation& e : moreExpected_)
      if (e == item) return;
    if (nExpected_ < expected_.size())
      expected_[nExpected_++] = item;
    else
      moreExpected_.push_back(item);
  }

  std::string_view text_;
  SourcePos start_;
  std::size_t pos_ = 0;
  bool reporting_ = true;

  struct Expectation {
    ExpectedKind kind;
    std::string_view literal;
    friend bool operator==(const Expectation&, const Expectation&) = default;
  };
  // Every white-space run notes an item, so noting must not allocate: this
  // grammar never expects more than five items at one place.
  std::size_t expectedAt_ = static_cast<std::size_t>(-1);
  std::array<Expectation, 8> expected_;
  std::size_t nExpected_ = 0;
  std::vector<Expectation> moreExpected_;

  std::size_t failAt_ = 0;
  std::size_t foundAt_ = 0;
  bool literalOnly_ = false;
  std::string_view failLiteral_;
};

}  // namespace kelvor
