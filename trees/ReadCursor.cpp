#include "trees/ReadCursor.h"

#include "base/NumberText.h"
#include "base/StringEscape.h"

namespace kelvor {

ReadFailure ReadCursor::failure() const {
  ReadFailure f;
  f.pos = positionOf(failAt_);
  if (foundAt_ < text_.size()) f.found = text_[foundAt_];
  if (literalOnly_) {
    f.expected.push_back({ExpectedKind::Literal, std::string(failLiteral_)});
  } else if (expectedAt_ == failAt_) {
    for (std::size_t i = 0; i < nExpected_; ++i)
      f.expected.push_back({expected_[i].kind, std::string(expected_[i].literal)});
    for (const Expectation& e : moreExpected_)
      f.expected.push_back({e.kind, std::string(e.literal)});
  }
  return f;
}

SourcePos ReadCursor::positionOf(std::size_t index) const {
  SourcePos p = start_;
  for (std::size_t i = 0; i < index && i < text_.size(); ++i) p = advancePos(p, text_[i]);
  return p;
}

namespace {

void appendExpectedItem(std::string& out, const ExpectedItem& item) {
  switch (item.kind) {
    case ExpectedKind::WhiteSpace:
      out += "white space";
      return;
    case ExpectedKind::OpenParen:
      out += "\"(\"";
      return;
    case ExpectedKind::CloseParen:
      out += "\")\"";
      return;
    case ExpectedKind::DoubleQuote:
      out += "\"\\\"\"";
      return;
    case ExpectedKind::Literal:
      appendHaskellString(out, item.literal);
      return;
  }
}

}  // namespace

void appendReadFailure(std::string& out, std::string_view source, const ReadFailure& failure) {
  out += '"';
  out += source;
  out += "\" (line ";
  appendInt(out, failure.pos.line);
  out += ", column ";
  appendInt(out, failure.pos.column);
  out += "):\nunexpected ";
  if (failure.found)
    appendHaskellString(out, std::string_view(&*failure.found, 1));
  else
    out += "end of input";
  const std::size_t n = failure.expected.size();
  if (n == 0) return;
  out += "\nexpecting ";
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) out += i + 1 == n ? " or " : ", ";
    appendExpectedItem(out, failure.expected[i]);
  }
}

std::string showReadFailure(std::string_view source, const ReadFailure& failure) {
  std::string out;
  appendReadFailure(out, source, failure);
  return out;
}

}  // namespace kelvor
