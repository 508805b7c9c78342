#include "core/model/RecordShow.h"

#include "base/Show.h"
#include "core/kernels/TreeKernel.h"
#include "trees/TreePrinter.h"

namespace kelvor {

namespace {

void showEntry(std::string& out, const RealFeature& f) {
  appendShow(out, 0, std::make_pair(f.index, f.value));
}

void showEntry(std::string& out, const StringFeature& f) {
  out += '(';
  appendShow(out, 0, f.number);
  out += ",[";
  for (std::size_t i = 0; i < f.tokens.size(); ++i) {
    if (i > 0) out += ',';
    appendShow(out, 0, f.tokens.text(i));
  }
  out += "])";
}

void showEntry(std::string& out, const TreeFeature& f) {
  out += '(';
  appendShow(out, 0, f.number);
  out += ",(";
  showTree(out, f.tree->tree());
  out += ',';
  appendShow(out, 0, f.selfKernel);
  out += "))";
}

// array (1,n) [(1,e1),(2,e2),...]
template <class T>
void showArray(std::string& out, const Array<T>& a) {
  out += "array (1,";
  appendShow(out, 0, a.hi());
  out += ") [";
  for (std::int32_t i = 1; i <= a.hi(); ++i) {
    if (i > 1) out += ',';
    out += '(';
    appendShow(out, 0, i);
    out += ',';
    showEntry(out, a.at(i));
    out += ')';
  }
  out += ']';
}

// Record syntax: Name {label = value, ...}, bracketed at precedence 11+.
class RecordWriter {
 public:
  RecordWriter(std::string& out, int precedence, const char* name)
      : out_(out), paren_(precedence >= 11) {
    if (paren_) out_ += '(';
    out_ += name;
    out_ += " {";
  }
  template <class F>
  RecordWriter& field(const char* label, F&& writeValue) {
    if (!first_) out_ += ", ";
    first_ = false;
    out_ += label;
    out_ += " = ";
    writeValue();
    return *this;
  }
  template <class T>
  RecordWriter& value(const char* label, const T& v) {
    return field(label, [&] { appendShow(out_, 0, v); });
  }
  void close() {
    out_ += '}';
    if (paren_) out_ += ')';
  }

 private:
  std::string& out_;
  bool paren_;
  bool first_ = true;
};

}  // namespace

void showsPrecExample(std::string& out, int precedence, const Example& e) {
  RecordWriter(out, precedence, "Example")
      .field("vectorReal", [&] { showArray(out, e.vectorReal()); })
      .field("vectorString", [&] { showArray(out, e.vectorString()); })
      .field("vectorTree", [&] { showArray(out, e.vectorTree()); })
      .value("twonorm_sq", e.twonorm_sq())
      .value("ex_qid", e.ex_qid())
      .close();
}

std::string showExample(const Example& e) {
  std::string out;
  showsPrecExample(out, 0, e);
  return out;
}

void showsExamples(std::string& out, const ExampleCollection& c) {
  out += '[';
  bool first = true;
  for (const Element& e : c.collectionElems()) {
    if (!first) out += ',';
    first = false;
    out += '(';
    showsPrecExample(out, 0, *e.example);
    out += ',';
    appendShow(out, 0, e.value);
    out += ')';
  }
  out += ']';
}

std::string showExamples(const ExampleCollection& c) {
  std::string out;
  showsExamples(out, c);
  return out;
}

void showsPrecModel(std::string& out, int precedence, const Model& m) {
  RecordWriter(out, precedence, "Model")
      .value("modelSignature", m.modelSignature)
      .field("kernelType", [&] { out += kernelTypeName(m.kernelType); })
      .value("kernelParamD", m.kernelParamD)
      .value("kernelParamG", m.kernelParamG)
      .value("kernelParamS", m.kernelParamS)
      .value("kernelParamR", m.kernelParamR)
      .value("kernelParamU", m.kernelParamU)
      .value("kernelParamStringMaxN", m.kernelParamStringMaxN)
      .value("kernelParamStringLambda", m.kernelParamStringLambda)
      .value("kernelParamTreeMaxD", m.kernelParamTreeMaxD)
      .value("kernelParamTreeLambda", m.kernelParamTreeLambda)
      .value("kernelParamSigmoid", m.kernelParamSigmoid)
      .value("kernelParamSigmoidA", m.kernelParamSigmoidA)
      .value("kernelParamSigmoidB", m.kernelParamSigmoidB)
      .value("highestFeatureIndex", m.highestFeatureIndex)
      .value("numberTrainingDocuments", m.numberTrainingDocuments)
      .value("numberSVs", m.numberSVs)
      .value("thresholdB", m.thresholdB)
      .field("supportVectors", [&] { showsExamples(out, m.supportVectors); })
      .close();
}

std::string showModel(const Model& m) {
  std::string out;
  showsPrecModel(out, 0, m);
  return out;
}

}  // namespace kelvor
