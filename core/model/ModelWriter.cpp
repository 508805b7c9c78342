#include "base/Fatal.h"
#include "base/NumberText.h"
#include "base/ReplacementFile.h"
#include "base/WhiteSpace.h"
#include "core/examples/Collections.h"
#include "core/kernels/TreeKernel.h"
#include "core/kernels/UserKernel.h"
#include "core/model/ModelFile.h"
#include "trees/TreePrinter.h"

namespace kelvor {

namespace {

// A support-vector line is split into words at white space and its string
// tokens at "#", so a text that holds either would not read back as the
// value that was written.
void appendStringFeature(std::string& line, const StringFeature& f, std::int32_t sv) {
  line += modelText::kString;
  appendInt(line, f.number);
  line += ':';
  for (std::size_t i = 0; i < f.tokens.size(); ++i) {
    const std::string_view token = f.tokens.text(i);
    if (token.empty() || containsWhiteSpace(token) || token.find('#') != std::string_view::npos)
      fail("Cannot write string feature " + showInt(f.number) + " of support vector " +
           showInt(sv) + ": the token " + quoteForMessage(token) +
           " would not read back (empty, or holding \"#\" or white space)");
    if (i > 0) line += modelText::kTokenSeparator;
    line += token;
  }
}

void appendTreeFeature(std::string& line, const TreeFeature& f, std::int32_t sv) {
  std::string text = "(";
  showTree(text, f.tree->tree());
  text += ',';
  appendDouble(text, f.selfKernel);
  text += ')';
  const std::string encoded = replaceChar(' ', replaceChar('#', text, "*pound*"), "#");
  if (containsWhiteSpace(encoded))
    fail("Cannot write tree feature " + showInt(f.number) + " of support vector " + showInt(sv) +
         ": its printed form holds white space other than blanks, which would split the line");
  line += modelText::kTree;
  appendInt(line, f.number);
  line += ':';
  line += encoded;
}

void appendSupportVectorLine(std::string& line, const Element& e, std::int32_t sv) {
  appendDouble(line, e.value);
  for (const RealFeature& f : arrayElems(e.example->vectorReal())) {
    if (f.index <= 0) continue;
    line += ' ';
    appendInt(line, f.index);
    line += ':';
    appendDouble(line, f.value);
  }
  for (const StringFeature& f : arrayElems(e.example->vectorString()))
    if (f.number > 0) appendStringFeature(line, f, sv);
  for (const TreeFeature& f : arrayElems(e.example->vectorTree()))
    if (f.number > 0) appendTreeFeature(line, f, sv);
  line += '\n';
}

template <class Number>
std::string valueLine(Number value, std::string_view comment) {
  std::string line;
  if constexpr (std::is_same_v<Number, double>)
    appendDouble(line, value);
  else
    appendInt(line, value);
  line += comment;
  line += '\n';
  return line;
}

}  // namespace

std::string userKernelText(const Model& m) {
  std::string u;
  if (m.kernelParamStringMaxN != 1) {
    u += " sx:";
    appendInt(u, m.kernelParamStringMaxN);
  }
  // Exact comparisons: a NaN differs from everything and is always written.
  if (!(m.kernelParamStringLambda == 0.9)) {
    u += " sl:";
    appendDouble(u, m.kernelParamStringLambda);
  }
  if (m.kernelParamTreeMaxD != 4) {
    u += " tx:";
    appendInt(u, m.kernelParamTreeMaxD);
  }
  if (!(m.kernelParamTreeLambda == 0.5)) {
    u += " tl:";
    appendDouble(u, m.kernelParamTreeLambda);
  }
  if (m.kernelParamSigmoid) {
    u += " a:";
    appendDouble(u, m.kernelParamSigmoidA);
    u += " b:";
    appendDouble(u, m.kernelParamSigmoidB);
  }
  return u.empty() ? std::string(modelText::kEmpty) : u;
}

void writeModel(const std::string& path, const Model& m) {
  // A line break in the signature would shift every header line.
  if (m.modelSignature.find('\n') != std::string::npos)
    fail("The model signature holds a line break: " + quoteForMessage(m.modelSignature));
  ReplacementFile file(path);
  file.write(m.modelSignature + "\n");
  file.write(valueLine(fromEnum(m.kernelType), modelText::kKernelType));
  file.write(valueLine(m.kernelParamD, modelText::kParamD));
  file.write(valueLine(m.kernelParamG, modelText::kParamG));
  file.write(valueLine(m.kernelParamS, modelText::kParamS));
  file.write(valueLine(m.kernelParamR, modelText::kParamR));
  file.write(userKernelText(m) + std::string(modelText::kParamU) + "\n");
  file.write(valueLine(m.highestFeatureIndex, modelText::kHighestIndex));
  file.write(valueLine(m.numberTrainingDocuments, modelText::kTrainingDocs));
  file.write(valueLine(std::int64_t{m.numberSVs} + 1, modelText::kSupportVectors));
  file.write(valueLine(m.thresholdB, modelText::kThreshold));
  std::string line;
  std::int32_t sv = 0;
  for (const Element& e : m.supportVectors.collectionElems()) {
    line.clear();
    appendSupportVectorLine(line, e, ++sv);
    file.write(line);
  }
  file.commit();
}

}  // namespace kelvor
