#include "core/examples/Example.h"

#include "core/kernels/Dot.h"
#include "core/kernels/TreeKernel.h"

namespace kelvor {

Example::Example(Array<RealFeature> vectorReal, Array<StringFeature> vectorString,
                 Array<TreeFeature> vectorTree, std::int32_t qid)
    : real_(std::move(vectorReal)),
      string_(std::move(vectorString)),
      tree_(std::move(vectorTree)),
      qid_(qid),
      done_(kAllFields) {}

Example::Example(std::shared_ptr<const ExampleSource> source) : source_(std::move(source)) {}

double Example::twonorm_sq() const {
  if (!(done_ & kTwonorm)) {
    twonorm_ = dot(*this, *this);
    done_ |= kTwonorm;
  }
  return twonorm_;
}

ExamplePtr mkExampleQID(Array<RealFeature> reals, std::int32_t qid) {
  return std::make_shared<const Example>(std::move(reals), emptyStringFeatures(),
                                         emptyTreeFeatures(), qid);
}

ExamplePtr mkExample(Array<RealFeature> reals) { return mkExampleQID(std::move(reals), 0); }

const Array<StringFeature>& emptyStringFeatures() {
  static const Array<StringFeature> empty;
  return empty;
}

const Array<TreeFeature>& emptyTreeFeatures() {
  static const Array<TreeFeature> empty;
  return empty;
}

namespace {

// Three-way results as -1, 0, 1; 0 is "equal".
int cmpInt(std::int32_t a, std::int32_t b) { return a < b ? -1 : (a == b ? 0 : 1); }
int cmpDouble(double a, double b) { return a < b ? -1 : (a == b ? 0 : 1); }
int cmpTree(const ParseTree& a, const ParseTree& b) {
  const auto c = a <=> b;
  return c < 0 ? -1 : (c == 0 ? 0 : 1);
}

int cmpEntry(const RealFeature& a, const RealFeature& b) {
  if (int c = cmpInt(a.index, b.index)) return c;
  return cmpDouble(a.value, b.value);
}
int cmpEntry(const StringFeature& a, const StringFeature& b) {
  if (int c = cmpInt(a.number, b.number)) return c;
  return packedListCompare(a.tokens, b.tokens);
}
int cmpEntry(const TreeFeature& a, const TreeFeature& b) {
  if (int c = cmpInt(a.number, b.number)) return c;
  if (int c = cmpTree(a.tree->tree(), b.tree->tree())) return c;
  return cmpDouble(a.selfKernel, b.selfKernel);
}

// Arrays compare as their (index, entry) sequences: the position counts as
// part of each pair, which for two 1-based arrays only matters through the
// lengths.
template <class T>
int cmpArray(const Array<T>& a, const Array<T>& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i)
    if (int c = cmpEntry(a.elems()[i], b.elems()[i])) return c;
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int compareExamples(const Example& a, const Example& b) {
  if (int c = cmpArray(a.vectorReal(), b.vectorReal())) return c;
  if (int c = cmpArray(a.vectorString(), b.vectorString())) return c;
  if (int c = cmpArray(a.vectorTree(), b.vectorTree())) return c;
  if (int c = cmpDouble(a.twonorm_sq(), b.twonorm_sq())) return c;
  return cmpInt(a.ex_qid(), b.ex_qid());
}

bool eqEntry(const RealFeature& a, const RealFeature& b) {
  return a.index == b.index && a.value == b.value;
}
bool eqEntry(const StringFeature& a, const StringFeature& b) {
  return a.number == b.number && packedListEq(a.tokens, b.tokens);
}
bool eqEntry(const TreeFeature& a, const TreeFeature& b) {
  return a.number == b.number && a.tree->tree() == b.tree->tree() && a.selfKernel == b.selfKernel;
}

template <class T>
bool eqArray(const Array<T>& a, const Array<T>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!eqEntry(a.elems()[i], b.elems()[i])) return false;
  return true;
}

}  // namespace

bool operator==(const Example& a, const Example& b) {
  return eqArray(a.vectorReal(), b.vectorReal()) && eqArray(a.vectorString(), b.vectorString()) &&
         eqArray(a.vectorTree(), b.vectorTree()) && a.twonorm_sq() == b.twonorm_sq() &&
         a.ex_qid() == b.ex_qid();
}

std::weak_ordering operator<=>(const Example& a, const Example& b) {
  const int c = compareExamples(a, b);
  return c < 0 ? std::weak_ordering::less
               : (c == 0 ? std::weak_ordering::equivalent : std::weak_ordering::greater);
}

const Example& exampleMax(const Example& a, const Example& b) {
  return compareExamples(a, b) > 0 ? a : b;
}

const Example& exampleMin(const Example& a, const Example& b) {
  return compareExamples(a, b) > 0 ? b : a;
}

}  // namespace kelvor
