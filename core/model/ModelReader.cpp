#include <array>
#include <optional>
#include <vector>

#include "base/Fatal.h"
#include "base/InputFile.h"
#include "base/LineLocation.h"
#include "base/NumberText.h"
#include "base/WhiteSpace.h"
#include "core/examples/Collections.h"
#include "core/examples/ExampleLine.h"
#include "core/kernels/KernelParams.h"
#include "core/kernels/UserKernel.h"
#include "core/model/ModelFile.h"

namespace kelvor {

namespace {

std::string_view firstWord(std::string_view line) {
  std::string_view word;
  bool found = false;
  forEachWord(line, [&](std::string_view w) {
    if (!found) word = w;
    found = true;
  });
  return word;
}

constexpr int kUserKernelLine = 7;
constexpr int kSupportVectorCountLine = 10;
constexpr std::int64_t kFirstSupportVectorLine = 12;

// The value lines of the header, by line number, with the value each names.
constexpr std::array<std::pair<int, std::string_view>, 9> kValueLines = {{
    {2, "kernel type"},
    {3, "kernel parameter -d"},
    {4, "kernel parameter -g"},
    {5, "kernel parameter -s"},
    {6, "kernel parameter -r"},
    {8, "highest feature index"},
    {9, "number of training documents"},
    {10, "number of support vectors plus 1"},
    {11, "threshold b"},
}};

struct Header {
  std::string signature;
  std::string userKernelLine;
  std::array<std::string, 12> firstWords;  // by line number
};

Header readHeader(InputFile& file) {
  Header h;
  std::string line;
  for (int n = 1; n <= 11; ++n) {
    if (!file.readLine(line))
      fail(file.path() + ": the model file ends at line " + showInt(n) +
           ", before its eleven header lines are complete");
    if (n == 1) {
      h.signature = line;
    } else if (n == 7) {
      h.userKernelLine = line;
    } else {
      const std::string_view word = firstWord(line);
      if (word.empty()) {
        std::string_view name;
        for (auto [number, text] : kValueLines)
          if (number == n) name = text;
        failUser(file.path() + ": model header line " + showInt(n) + " (" + std::string(name) +
                 ") holds no value");
      }
      h.firstWords[static_cast<std::size_t>(n)] = std::string(word);
    }
  }
  return h;
}

// Training put lambda into every support vector as its bias and added
// lambda^2 to every kernel value. The classifier's examples carry its own
// lambda (the rule's), so each support vector gets thresholdB^2 / rule as
// its bias: their product is thresholdB^2 again, and the decision function
// is the one that was trained whatever lambda the classifier uses.
double supportVectorBias(double thresholdB, double rule) {
  if (rule == 0.0) return 0.0;
  if (rule == thresholdB) return thresholdB;  // the same value, without rounding
  return (thresholdB * thresholdB) / rule;
}

}  // namespace

Model readModel(const LambdaRule& lambdaRule, const std::string& path) {
  InputFile file = InputFile::open(path);
  const Header h = readHeader(file);
  // Header values are converted where they are used; a failure names the
  // header line.
  auto headerInt = [&](int n) { return atLine(path, n, [&] { return readInt(h.firstWords[n]); }); };
  auto headerDouble = [&](int n) {
    return atLine(path, n, [&] { return readDouble(h.firstWords[n]); });
  };
  auto headerKernelType = [&] { return atLine(path, 2, [&] { return toEnum(headerInt(2)); }); };

  const std::string_view u =
      std::string_view(h.userKernelLine)
          .substr(0, std::min(h.userKernelLine.find('#'), h.userKernelLine.size()));
  const auto [name, sigmoid] = atLine(path, kUserKernelLine, [&] {
    return parseUserKernelLine(u, FileLine{path, kUserKernelLine});
  });

  std::optional<KernelType> kernelType;
  std::optional<double> thresholdB;
  std::vector<Element> svs;
  // The first support-vector line the parser rejects, 0-based, and its text.
  std::optional<std::int64_t> firstRejected;
  std::string rejectedLine;
  std::string line;
  double bias = 0.0;
  // The writer ends every line with a line feed: a last line without one
  // was cut, and what is left of it may still read as a shorter support
  // vector. It is not parsed; the count check below refuses the file.
  std::int64_t lastLine = kFirstSupportVectorLine - 1;
  for (std::int64_t n = 0; file.readLine(line); ++n) {
    lastLine = kFirstSupportVectorLine + n;
    if (!file.lineEnded()) break;
    if (!kernelType) {
      kernelType = headerKernelType();
      thresholdB = headerDouble(11);
      bias = supportVectorBias(*thresholdB, lambdaRule(*kernelType, *thresholdB));
    }
    auto e = atLine(path, kFirstSupportVectorLine + n,
                    [&] { return parseExampleLineForced(bias, line, TreeTextForm::ModelWrapped); });
    if (e) {
      svs.push_back(std::move(*e));
    } else if (!firstRejected) {
      firstRejected = n;
      rejectedLine = line;
    }
  }
  if (firstRejected)
    atLine(path, kFirstSupportVectorLine + *firstRejected, [&] {
      failUser("Error on line " + showInt(*firstRejected) + "\n" + describeRejection(rejectedLine));
    });

  if (!file.lineEnded())
    fail(path + ": the model file is cut short: its last line, " + showInt(lastLine) +
         ", ends without a line feed");
  const std::int64_t stated = std::int64_t{headerInt(kSupportVectorCountLine)} - 1;
  const auto read = static_cast<std::int64_t>(svs.size());
  if (read != stated)
    fail(path + ": the header states " + showInt(stated) + " support vectors (line " +
         showInt(kSupportVectorCountLine) + " holds " + showInt(stated + 1) +
         ", the number plus 1), but the file holds " + showInt(read) +
         " support-vector lines: it is cut short or damaged");

  const KernelType type = kernelType ? *kernelType : headerKernelType();
  return Model{
      .modelSignature = h.signature,
      .kernelType = type,
      .kernelParamD = headerInt(3),
      .kernelParamG = headerDouble(4),
      .kernelParamS = headerDouble(5),
      .kernelParamR = headerDouble(6),
      .kernelParamU = name,
      .kernelParamStringMaxN = cur_smaxn(),
      .kernelParamStringLambda = cur_slambda(),
      .kernelParamTreeMaxD = cur_tmaxd(),
      .kernelParamTreeLambda = cur_tlambda(),
      .kernelParamSigmoid = sigmoid.sigmoid,
      .kernelParamSigmoidA = sigmoid.a,
      .kernelParamSigmoidB = sigmoid.b,
      .highestFeatureIndex = headerInt(8),
      .numberTrainingDocuments = headerInt(9),
      .numberSVs = static_cast<std::int32_t>(stated),
      .thresholdB = thresholdB ? *thresholdB : headerDouble(11),
      .supportVectors = mkArrayExamples(Array<Element>(std::move(svs))),
  };
}

}  // namespace kelvor
