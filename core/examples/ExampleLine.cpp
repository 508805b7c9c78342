#include "core/examples/ExampleLine.h"

#include <algorithm>
#include <array>
#include <limits>
#include <type_traits>
#include <vector>

#include "base/Fatal.h"
#include "base/LineLocation.h"
#include "base/NumberText.h"
#include "base/WhiteSpace.h"
#include "core/kernels/TreeKernel.h"
#include "trees/ParseFile.h"

namespace kelvor {

namespace {

enum class FeatureKind { Real, String, Tree };

// A real index beyond an Int is held as this, and fails when converted.
constexpr std::int64_t kBeyondInt = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;

// One feature word after the shape check, as views into the line. Its
// number is read at once (the order of the features needs it); a real
// index beyond an Int stands as kBeyondInt and fails with the other
// conversions.
struct FeatureWord {
  FeatureKind kind;
  std::int64_t number;
  std::string_view numberText;
  std::string_view value;
};

struct LineShape {
  std::string_view target;
  std::string_view qid;  // empty when the line has no "qid:" word
  bool hasQid = false;
  std::vector<FeatureWord> features;
  // The word that rejected the line, and its number among the line's words
  // (the target is word 1); 0 when the line passed.
  std::size_t rejectedNumber = 0;
  std::string_view rejectedWord;
  // Whether the rejected word is a valid feature that does not ascend.
  bool outOfOrder = false;
};

bool isRealValueChar(char c) {
  return isDecimalDigit(c) || c == '.' || c == '-' || c == 'e' || c == 'E';
}

// What the feature grammar makes of one word. It never fails itself: a
// number text that cannot be read is reported as BadNumber, which the line
// parser turns into the number-reading failure and the index scan into "no
// feature".
enum class WordShape { Feature, NotFeature, BadNumber };

struct ScannedWord {
  WordShape shape;
  FeatureWord feature;  // when shape is Feature
};

// A string or tree word: its number is read at once, and only a positive
// number makes a feature.
ScannedWord scanNumberedFeature(FeatureKind kind, std::string_view rest) {
  const std::size_t colon = rest.find(':');
  if (colon == std::string_view::npos) return {WordShape::NotFeature, {}};
  const std::string_view numberText = rest.substr(0, colon);
  const std::optional<std::int32_t> number = parseInt(numberText);
  if (!number) return {WordShape::BadNumber, {kind, 0, numberText, {}}};
  if (*number <= 0) return {WordShape::NotFeature, {}};
  return {WordShape::Feature, {kind, *number, numberText, rest.substr(colon + 1)}};
}

ScannedWord scanFeature(std::string_view word) {
  if (word.starts_with("string:")) return scanNumberedFeature(FeatureKind::String, word.substr(7));
  if (word.starts_with("tree:")) return scanNumberedFeature(FeatureKind::Tree, word.substr(5));
  // One walk finds the colon and tests the index: a character that is
  // neither digit nor colon rejects the word whether a colon follows or not.
  std::size_t colon = 0;
  std::int64_t number = 0;
  for (; colon < word.size() && word[colon] != ':'; ++colon) {
    if (!isDecimalDigit(word[colon])) return {WordShape::NotFeature, {}};
    number = std::min(number * 10 + (word[colon] - '0'), kBeyondInt);
  }
  if (colon == word.size()) return {WordShape::NotFeature, {}};
  const std::string_view index = word.substr(0, colon);
  // An empty index is not a number at all: a failure, not a rejection.
  if (index.empty()) return {WordShape::BadNumber, {FeatureKind::Real, 0, index, {}}};
  if (number == 0) return {WordShape::NotFeature, {}};
  const std::string_view value = word.substr(colon + 1);
  for (char c : value)
    if (!isRealValueChar(c)) return {WordShape::NotFeature, {}};
  // A value beyond the largest double is no number, as "inf" is none.
  if (beyondLargestDouble(value)) return {WordShape::NotFeature, {}};
  return {WordShape::Feature, {FeatureKind::Real, number, index, value}};
}

// The digits of a real index without its leading zeros ("007" is 7).
std::string_view significantDigits(std::string_view digits) {
  return digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
}

// Does a feature numbered `next` ascend from the one of its kind before it?
// A real index beyond an Int passes: its conversion fails anyway.
bool ascends(std::int64_t before, std::int64_t next) { return before < next || next == kBeyondInt; }

std::optional<FeatureWord> parseFeature(std::string_view word) {
  const ScannedWord w = scanFeature(word);
  if (w.shape == WordShape::BadNumber) failNumberText(w.feature.numberText, "Int");
  if (w.shape == WordShape::NotFeature) return std::nullopt;
  return w.feature;
}

// Fills `shape` with views into `line`; false when the line is rejected.
bool checkShape(std::string_view line, LineShape& shape) {
  while (!line.empty() && line.front() == '+') line.remove_prefix(1);
  shape.features.clear();
  shape.hasQid = false;
  shape.qid = {};  // else a view into an earlier line would outlive it
  shape.rejectedNumber = 0;
  shape.rejectedWord = {};
  shape.outOfOrder = false;
  // The dot product merges index lists, so each kind must ascend on its
  // own; the kinds may interleave. Every feature number is positive, so 0
  // stands for none yet.
  std::array<std::int64_t, 3> lastOfKind{};
  std::size_t wordNumber = 0;
  auto reject = [&](std::string_view word) {
    shape.rejectedNumber = wordNumber;
    shape.rejectedWord = word;
  };
  forEachWord(line, [&](std::string_view word) {
    if (shape.rejectedNumber != 0) return;
    ++wordNumber;
    if (wordNumber == 1) {
      shape.target = word;
    } else if (wordNumber == 2 && word.starts_with("qid:")) {
      shape.hasQid = true;
      shape.qid = word.substr(4);
    } else if (auto f = parseFeature(word)) {
      std::int64_t& last = lastOfKind[static_cast<std::size_t>(f->kind)];
      if (!ascends(last, f->number)) {
        reject(word);
        shape.outOfOrder = true;
        return;
      }
      last = f->number;
      shape.features.push_back(*f);
    } else {
      reject(word);
    }
  });
  if (wordNumber == 0) fail("Example line without any word: it has no target value");
  return shape.rejectedNumber == 0;
}

double convertRealValue(std::string_view text) {
  if (isDecimalText(text, /*allowPlusExponent=*/false))
    if (const std::optional<double> v = decimalToDouble(text)) return *v;
  failNumberText(text, "Double");
}

// A real index was read by the shape check, so only its range is left to
// check; the failure is the one the general reading gives.
std::int32_t convertIndex(const FeatureWord& f) {
  if (f.number == kBeyondInt) failNumberText(f.numberText, "Int");
  return static_cast<std::int32_t>(f.number);
}

std::int32_t convertQid(const LineShape& shape) { return shape.hasQid ? readInt(shape.qid) : 0; }

Array<RealFeature> convertReals(const LineShape& shape, double bias) {
  std::size_t n = 1;
  for (const FeatureWord& f : shape.features) n += f.kind == FeatureKind::Real;
  std::vector<RealFeature> out;
  out.reserve(n);
  out.push_back({0, bias});
  for (const FeatureWord& f : shape.features)
    if (f.kind == FeatureKind::Real) out.push_back({convertIndex(f), convertRealValue(f.value)});
  return Array<RealFeature>(std::move(out));
}

TokenSeq splitTokens(std::string_view value) {
  thread_local std::vector<TokenId> ids;
  ids.clear();
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find('#', start);
    if (end == std::string_view::npos) end = value.size();
    if (end > start) ids.push_back(internToken(value.substr(start, end - start)));
    start = end + 1;
  }
  return TokenSeq(ids);
}

Array<StringFeature> convertStrings(const LineShape& shape) {
  std::vector<StringFeature> out;
  for (const FeatureWord& f : shape.features)
    if (f.kind == FeatureKind::String)
      out.push_back({static_cast<std::int32_t>(f.number), splitTokens(f.value)});
  return Array<StringFeature>(std::move(out));
}

// "(tree,self-kernel)" gives "tree": the self-kernel's digits hold no comma,
// so the last comma ends the tree.
std::string_view stripModelWrapper(std::string_view text) {
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return text;
  const std::size_t comma = text.rfind(',');
  if (comma == std::string_view::npos || comma == 0) return text;
  return text.substr(1, comma - 1);
}

// "#" becomes a blank and "*pound*" a "#", in one pass, into `out`.
void decodeTreeTextInto(std::string& out, std::string_view text) {
  // Most texts hold no "*pound*": a copy with the blanks put back.
  if (text.find('*') == std::string_view::npos) {
    out.assign(text);
    std::replace(out.begin(), out.end(), '#', ' ');
    return;
  }
  out.resize(text.size());
  char* o = out.data();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '#') {
      *o++ = ' ';
    } else if (c == '*' && text.compare(i, 7, "*pound*") == 0) {
      *o++ = '#';
      i += 6;
    } else {
      *o++ = c;
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
}

// The tree of a feature, read as parseFile reads the text (source name and
// text alike): a text of one line makes one tree item exactly when it
// begins with "(" and is not the parser's failure marker, and the item's
// tree is then read from the line as it stands. So a tree that reads goes
// straight into its kernel form; any other text takes parseFile's own way,
// which words the failure.
KernelTreePtr readTreeText(std::string_view encoded, TreeTextForm form) {
  thread_local std::string decoded;
  decodeTreeTextInto(decoded, encoded);
  std::string_view text = decoded;
  if (form == TreeTextForm::ModelWrapped) text = stripModelWrapper(text);
  if (text.starts_with("(") && text != "(FAILED-PARSE)")
    if (std::optional<KernelTreePtr> tree = KernelTree::read(text)) return std::move(*tree);
  std::vector<TreeResult> results = parseFile(text, text);
  if (results.size() != 1) fail("Multiple trees found while parsing:\n" + std::string(text));
  if (results.front().isError()) fail("Error while parsing tree:\n" + results.front().errorText());
  return KernelTree::make(results.front().scoredTree().tree);
}

Array<TreeFeature> convertTrees(const LineShape& shape, TreeTextForm form) {
  std::vector<TreeFeature> out;
  for (const FeatureWord& f : shape.features) {
    if (f.kind != FeatureKind::Tree) continue;
    KernelTreePtr tree = readTreeText(f.value, form);
    const double self = selfTreeKernel(*tree);
    out.push_back({static_cast<std::int32_t>(f.number), std::move(tree), self});
  }
  return Array<TreeFeature>(std::move(out));
}

// An on-disk example's fields, converted from its own copy of the line. A
// conversion that fails names the line it came from.
class LineSource final : public ExampleSource {
 public:
  LineSource(std::string_view line, const LineShape& shape, double bias, TreeTextForm form,
             std::optional<LineOrigin> origin)
      : line_(line), shape_(shape), bias_(bias), form_(form), origin_(std::move(origin)) {
    // Point the views at our copy of the line.
    auto rebase = [&](std::string_view v) {
      return v.empty() ? v
                       : std::string_view(line_).substr(
                             static_cast<std::size_t>(v.data() - line.data()), v.size());
    };
    shape_.target = rebase(shape_.target);
    shape_.qid = rebase(shape_.qid);
    for (FeatureWord& f : shape_.features) {
      f.numberText = rebase(f.numberText);
      f.value = rebase(f.value);
    }
  }

  Array<RealFeature> convertReal() const override {
    return located([&] { return convertReals(shape_, bias_); });
  }
  Array<StringFeature> convertString() const override {
    return located([&] { return convertStrings(shape_); });
  }
  Array<TreeFeature> convertTree() const override {
    return located([&] { return convertTrees(shape_, form_); });
  }
  std::int32_t convertQid() const override {
    return located([&] { return kelvor::convertQid(shape_); });
  }

 private:
  template <class Convert>
  std::invoke_result_t<Convert> located(Convert convert) const {
    if (!origin_) return convert();
    return atOffset(*origin_->file, origin_->offset, convert);
  }

  const std::string line_;
  LineShape shape_;
  double bias_;
  TreeTextForm form_;
  std::optional<LineOrigin> origin_;
};

LineShape& scratchShape() {
  thread_local LineShape shape;
  return shape;
}

// "index 2 after 3", "repeated string number 3", ...
void appendOrderFault(std::string& out, const FeatureWord& before, const FeatureWord& next) {
  auto appendNumber = [&](const FeatureWord& f) {
    if (f.kind == FeatureKind::Real)
      out += significantDigits(f.numberText);
    else
      appendInt(out, f.number);
  };
  const std::string_view name = next.kind == FeatureKind::Real     ? "index "
                                : next.kind == FeatureKind::String ? "string number "
                                                                   : "tree number ";
  if (!ascends(next.number, before.number)) {  // neither is below the other
    out += "repeated ";
    out += name;
    appendNumber(next);
    return;
  }
  out += name;
  appendNumber(next);
  out += " after ";
  appendNumber(before);
}

}  // namespace

std::optional<std::int32_t> highestFeatureNumber(std::string_view line) {
  while (!line.empty() && line.front() == '+') line.remove_prefix(1);
  std::size_t target = 0;  // where word 1, the target, begins
  while (target < line.size() && isWhiteSpace(line[target])) ++target;
  // The last feature of each kind in line order, found walking the words
  // back from the end. A real index beyond an Int counts as no feature: the
  // line fails when it is read.
  std::array<std::optional<std::int32_t>, 3> lastOfKind;
  auto& lastReal = lastOfKind[static_cast<std::size_t>(FeatureKind::Real)];
  auto& lastString = lastOfKind[static_cast<std::size_t>(FeatureKind::String)];
  auto& lastTree = lastOfKind[static_cast<std::size_t>(FeatureKind::Tree)];
  // "string:" and "tree:" both hold a "t", which no real-feature, "qid:" or
  // number word does: once the last real feature is found, the walk stops
  // unless a "t" lies before it. Found when first needed, so that a line of
  // real features costs its last word and one memchr.
  std::optional<std::size_t> firstT;
  std::size_t end = line.size();
  while (true) {
    while (end > target && isWhiteSpace(line[end - 1])) --end;
    if (end <= target) break;
    std::size_t start = end;
    while (start > target && !isWhiteSpace(line[start - 1])) --start;
    if (start == target) break;  // the target is no feature
    const ScannedWord w = scanFeature(line.substr(start, end - start));
    if (w.shape == WordShape::Feature && w.feature.number != kBeyondInt) {
      std::optional<std::int32_t>& last = lastOfKind[static_cast<std::size_t>(w.feature.kind)];
      if (!last) last = static_cast<std::int32_t>(w.feature.number);
    }
    if (lastReal) {
      if (!firstT) firstT = line.find('t');
      if ((lastString && lastTree) || *firstT >= start) break;
    }
    end = start;
  }
  std::optional<std::int32_t> highest;
  for (const std::optional<std::int32_t>& n : lastOfKind)
    if (n && (!highest || *n > *highest)) highest = n;
  return highest;
}

std::optional<Element> parseExampleLine(double bias, std::string_view line, TreeTextForm form,
                                        std::optional<LineOrigin> origin) {
  LineShape& shape = scratchShape();
  if (!checkShape(line, shape)) return std::nullopt;
  auto source = std::make_shared<const LineSource>(line, shape, bias, form, std::move(origin));
  const double target = readDouble(shape.target);
  return Element{std::make_shared<const Example>(std::move(source)), target};
}

std::optional<Element> forceParsedExample(std::optional<Element> parsed) {
  if (parsed) {
    const Example& e = *parsed->example;
    e.ex_qid();
    e.vectorReal();
    e.vectorString();
    e.vectorTree();
  }
  return parsed;
}

std::optional<Element> parseExampleLineForced(double bias, std::string_view line,
                                              TreeTextForm form) {
  LineShape& shape = scratchShape();
  if (!checkShape(line, shape)) return std::nullopt;
  const double target = readDouble(shape.target);
  const std::int32_t qid = convertQid(shape);
  Array<RealFeature> reals = convertReals(shape, bias);
  Array<StringFeature> strings = convertStrings(shape);
  Array<TreeFeature> trees = convertTrees(shape, form);
  return Element{
      std::make_shared<const Example>(std::move(reals), std::move(strings), std::move(trees), qid),
      target};
}

std::string describeRejection(std::string_view line) {
  LineShape shape;
  if (checkShape(line, shape)) return {};
  std::string out = "word ";
  appendInt(out, static_cast<std::int64_t>(shape.rejectedNumber));
  if (shape.outOfOrder) {
    const FeatureWord next = scanFeature(shape.rejectedWord).feature;
    const auto before = std::find_if(shape.features.rbegin(), shape.features.rend(),
                                     [&](const FeatureWord& f) { return f.kind == next.kind; });
    out += " is not in ascending order (";
    appendOrderFault(out, *before, next);
    out += "): ";
  } else {
    out += " is not a valid feature: ";
  }
  out += quoteForMessage(shape.rejectedWord);
  return out;
}

std::string decodeTreeText(std::string_view text) {
  std::string out;
  decodeTreeTextInto(out, text);
  return out;
}

}  // namespace kelvor
