#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "FatalMessage.h"
#include "TempFile.h"
#include "base/Fatal.h"
#include "base/NumberText.h"
#include "core/classification/Classify.h"
#include "core/examples/ExampleLine.h"
#include "core/model/ModelFile.h"
#include "core/model/RecordShow.h"
#include "tests/core/ExampleBuilders.h"
#include "tests/core/KernelCellGuard.h"
#include "tests/core/OutOfOrderLines.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using namespace std::string_literals;

std::string tempPath(const std::string& name) { return kelvor::testing::testDir() + name; }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

Model modelWith(Examples svs, KernelType type = KernelType::LinearKernel, double lambda = 2.0) {
  return Model{"Kelvor Version 1.2",
               type,
               3,
               0.5,
               1.0,
               0.25,
               "empty",
               1,
               0.9,
               4,
               0.5,
               false,
               0.0,
               0.0,
               9,
               5,
               svs.collectionSize(),
               lambda,
               svs};
}

double ruleOf(KernelType t, double) { return t == KernelType::LinearKernel ? 2.0 : 0.1; }

Model readQuietly(const std::string& path, const LambdaRule& rule = ruleOf) {
  ::testing::internal::CaptureStdout();
  try {
    Model m = readModel(rule, path);
    ::testing::internal::GetCapturedStdout();
    return m;
  } catch (...) {
    ::testing::internal::GetCapturedStdout();
    throw;
  }
}

TEST(ModelFile, WrittenLayout) {
  ParseTree t = NonTerm<Unit>("S", {Term<Unit>("NN", "a b#", {})}, {});
  auto sv = example(reals({{0, 2.0}, {3, 0.5}, {-1, 7.0}, {2, -1.0}}),
                    {{3, tokens({"a", "b", "c"})}, {0, tokens({"x"})}, {4, tokens({})}},
                    {treeFeature(1, t)});
  Model m = modelWith(collection({{sv, -0.5}}));
  m.kernelParamStringMaxN = 2;
  m.kernelParamTreeLambda = 0.25;
  m.kernelParamSigmoid = true;
  m.kernelParamSigmoidA = -1.5;
  m.kernelParamSigmoidB = 0.25;
  const std::string path = tempPath("layout.model");
  writeModel(path, m);
  const double self = sv->vectorTree().at(1).selfKernel;
  EXPECT_EQ(readFile(path),
            "Kelvor Version 1.2\n"
            "0 # kernel type\n"
            "3 # kernel parameter -d\n"
            "0.5 # kernel parameter -g\n"
            "1.0 # kernel parameter -s\n"
            "0.25 # kernel parameter -r\n"
            " sx:2 tl:0.25 a:-1.5 b:0.25# kernel parameter -u\n"
            "9 # highest feature index\n"
            "5 # number of training documents\n"
            "2 # number of support vectors plus 1\n"
            "2.0 # threshold b, each following line is a SV (starting with alpha*y)\n"
            "-0.5 3:0.5 2:-1.0 string:3:a#b#c string:4: tree:1:((S#(NN#\"a#b*pound*\")),"s +
                showDouble(self) + ")\n");
  m.kernelParamStringMaxN = 1;
  m.kernelParamTreeLambda = 0.5;
  m.kernelParamSigmoid = false;
  EXPECT_EQ(userKernelText(m), "empty");
  m.kernelParamStringLambda = 0.5;
  EXPECT_EQ(userKernelText(m), " sl:0.5");
  m.kernelParamSigmoid = true;
  EXPECT_EQ(userKernelText(modelWith(collection({}))), "empty");
}

TEST(ModelFile, FailedWriteLeavesThePreviousFile) {
  const std::string path = tempPath("kept.model");
  writeFile(path, "old model\n");
  ParseTree broken = NonTerm<Unit>("S", {}, {});  // cannot be printed
  auto sv = example(reals({{0, 2.0}}), {}, {{1, KernelTree::make(broken), 1.0}});
  EXPECT_THROW(writeModel(path, modelWith(collection({{sv, 1.0}}))), FatalError);
  EXPECT_EQ(readFile(path), "old model\n");
  // Nothing is left beside it.
  for (const auto& entry : std::filesystem::directory_iterator(kelvor::testing::testDir()))
    EXPECT_EQ(entry.path().filename().string().find(".kept.model.tmp"), std::string::npos);

  Model bad = modelWith(collection({}));
  bad.modelSignature = "two\nlines";
  EXPECT_THROW(writeModel(path, bad), FatalError);
  EXPECT_EQ(readFile(path), "old model\n");
  // A tree whose printed form holds a tab would split the support-vector line.
  auto tab = example(reals({{0, 2.0}}), {}, {treeFeature(1, Term<Unit>("NN", "a\tb", {}))});
  EXPECT_THROW(writeModel(path, modelWith(collection({{tab, 1.0}}))), FatalError);
  EXPECT_EQ(readFile(path), "old model\n");
  EXPECT_THROW(writeModel("/nonexistent-dir/x.model", bad), FatalError);
}

// Random support vectors with all three kinds of features, whose texts hold
// the characters that the encodings must carry: quotes, backslashes, blanks,
// parentheses, commas and "#".
class ModelGenerator {
 public:
  explicit ModelGenerator(unsigned seed) : rng_(seed) {}

  ParseTree tree(int depth) {
    static const char* tags[] = {"S", "NP", "VP", "N#N", "A\"", "(X", "Y)", "a,b"};
    const std::string tag = tags[pick(8)];
    if (depth == 0 || pick(3) == 0) return Term<Unit>(tag, leafText(), {});
    std::vector<ParseTree> kids;
    for (int i = 0, n = 1 + pick(3); i < n; ++i) kids.push_back(tree(depth - 1));
    return NonTerm<Unit>(tag, std::move(kids), {});
  }

  ExamplePtr supportVector(double lambda) {
    std::vector<RealFeature> r{{0, lambda}};
    for (int i = 1, n = pick(6); i <= n; ++i) r.push_back({i * 3 + pick(3), value()});
    std::vector<StringFeature> s;
    for (int k = 1, n = pick(3); k <= n; ++k) {
      std::vector<const char*> toks;
      static const char* words[] = {"the", "dog", "a\"b", "x\\y", "(", ")", ",", ":"};
      for (int i = 0, m = pick(4); i < m; ++i) toks.push_back(words[pick(8)]);
      std::vector<TokenId> ids;
      for (const char* w : toks) ids.push_back(internToken(w));
      s.push_back({k * 2, TokenSeq(std::move(ids))});
    }
    std::vector<TreeFeature> t;
    for (int k = 1, n = pick(3); k <= n; ++k) t.push_back(treeFeature(k, tree(3)));
    return example(Array<RealFeature>(std::move(r)), std::move(s), std::move(t));
  }

  double value() {
    const double vs[] = {0.5, -1.25, 1e-7, 3.0e21, 0.1, 123.456, -0.0};
    return vs[pick(7)];
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  std::string leafText() {
    static const char* pieces[] = {"a", " ", "\"", "\\", "(", ")", "#", ",", "x y", ""};
    std::string s;
    for (int i = 0, n = pick(4); i < n; ++i) s += pieces[pick(10)];
    return s;
  }
  std::mt19937 rng_;
};

TEST(ModelFile, RoundTripsGeneratedModels) {
  KernelCellGuard guard;
  ModelGenerator gen(42);
  for (int round = 0; round < 30; ++round) {
    std::vector<Element> svs;
    for (int i = 0, n = round % 7; i < n; ++i) svs.push_back({gen.supportVector(2.0), gen.value()});
    Model m = modelWith(collection(std::move(svs)));
    const std::string path = tempPath("round.model");
    writeModel(path, m);
    Model back = readQuietly(path);
    EXPECT_EQ(showModel(back), showModel(m)) << readFile(path);
    writeModel(path + "2", back);
    EXPECT_EQ(readFile(path + "2"), readFile(path));
  }
}

TEST(ModelFile, ReadBackModelReproducesTheTrainedDecisionValues) {
  KernelCellGuard guard;
  ModelGenerator gen(7);
  for (double lambda : {2.0, 0.1, 0.3}) {
    const KernelType type = lambda == 2.0 ? KernelType::LinearKernel : KernelType::PolyKernel;
    std::vector<Element> svs, data;
    for (int i = 0; i < 6; ++i) svs.push_back({gen.supportVector(lambda), gen.value()});
    for (int i = 0; i < 6; ++i) data.push_back({gen.supportVector(lambda), 1.0});
    Examples inMemory = collection(svs);
    const std::string path = tempPath("decisions.model");
    writeModel(path, modelWith(inMemory, type, lambda));
    // The classifier's lambda equals the learner's: exact reproduction.
    Model back = readQuietly(path, [](KernelType, double stored) { return stored; });
    KernelFunction k = [](const Example& a, const Example& b) { return linearKernel(a, b); };
    for (const Element& x : data)
      EXPECT_EQ(classify(k, back.thresholdB, back.supportVectors, *x.example),
                classify(k, lambda, inMemory, *x.example));
    // Any other classifier lambda gives the same linear decision function.
    Model other = readQuietly(path, [](KernelType, double) { return 1.0; });
    for (const Element& x : data) {
      const std::string line = "1 1:0.5";  // an example read with the other lambda
      auto testEx = parseExampleLineForced(1.0, line);
      auto trainEx = parseExampleLineForced(lambda, line);
      EXPECT_NEAR(classify(k, other.thresholdB, other.supportVectors, *testEx->example),
                  classify(k, lambda, inMemory, *trainEx->example), 1e-9);
      (void)x;
    }
  }
}

TEST(ModelFile, ReaderFailures) {
  KernelCellGuard guard;
  const std::string path = tempPath("bad.model");
  std::string header =
      "sig\n0 # k\n1 # d\n1.0 # g\n1.0 # s\n0.0 # r\nempty# u\n3 # h\n2 # n\n1 # sv\n2.0 # b\n";
  // Truncated headers.
  for (std::size_t cut : {0ul, 10ul, header.size() - 8}) {
    writeFile(path, header.substr(0, cut));
    EXPECT_NE(fatalMessage([&] { readQuietly(path); }).find("ends at line"), std::string::npos);
  }
  // A value line without a word is a user error naming the line.
  std::string noWord = header;
  noWord.replace(noWord.find("1 # d"), 5, "   ");
  writeFile(path, noWord);
  EXPECT_EQ(fatalMessage([&] { readQuietly(path); }).rfind("user error\nReason: ", 0), 0u);
  // A rejected support-vector line reports its 0-based number, the word
  // that failed and, as every failure of a line, the file line.
  const std::string at = "\nat " + path + ":";
  writeFile(path, header + "1 3:1\n1 3:x\n1 a:1\n");
  EXPECT_EQ(
      fatalMessage([&] { readQuietly(path); }),
      "user error\nReason: Error on line 1\nword 2 is not a valid feature: \"3:x\"" + at + "13");
  // So is a line whose features are out of order.
  for (const auto& c : kOutOfOrderLines) {
    writeFile(path, header + "1 1:1\n" + c.line + "\n");
    EXPECT_EQ(fatalMessage([&] { readQuietly(path); }),
              "user error\nReason: Error on line 1\n" + c.rejection + at + "13");
  }
  // Conversions of header values and support-vector lines.
  auto withHeaderValue = [&](const std::string& from, const std::string& to) {
    std::string changed = header;
    changed.replace(changed.find(from), from.size(), to);
    return changed;
  };
  const std::pair<std::string, std::string> conversions[] = {
      {withHeaderValue("0 # k", "7 # k") + "1 3:1\n",
       "toEnum{KernelType}: tag (7) is outside of enumeration's range (0,4)" + at + "2"},
      {withHeaderValue("2.0 # b", "2.x # b") + "1 3:1\n",
       "Cannot read \"2.x\" as Double" + at + "11"},
      {withHeaderValue("1.0 # g", "g # g"), "Cannot read \"g\" as Double" + at + "4"},
      {withHeaderValue("empty# u", "a:z# u"), "Cannot read \"z\" as Double" + at + "7"},
      {withHeaderValue("empty# u", "q:1# u"),
       "unrecognized feature in user kernel param: q:1" + at + "7"},
      {header + "1 3:1\n1 3:1e\n", "Cannot read \"1e\" as Double" + at + "13"},
      {header + "1 tree:1:\n", "Multiple trees found while parsing:\n" + at + "12"},
  };
  for (const auto& [contents, message] : conversions) {
    writeFile(path, contents);
    EXPECT_EQ(fatalMessage([&] { readQuietly(path); }), message);
  }
  EXPECT_NE(fatalMessage([&] { readQuietly(tempPath("missing.model")); }).find("missing.model"),
            std::string::npos);
}

// A file that holds other than the support-vector lines its header states
// (line 10) is cut short or damaged: it would classify with what is left.
TEST(ModelFile, ReaderRefusesAFileCutShort) {
  KernelCellGuard guard;
  const std::string path = tempPath("cut.model");
  writeModel(path, modelWith(collection({{example(reals({{0, 2.0}, {1, 0.5}})), 1.0},
                                         {example(reals({{0, 2.0}, {2, -1.0}})), -1.0}})));
  const std::string whole = readFile(path);
  const std::size_t threshold = whole.find(" # threshold");
  const std::pair<std::string, std::string> cases[] = {
      {whole.substr(0, whole.find('\n', threshold) + 1), "holds 0 support-vector lines"},
      {whole.substr(0, whole.rfind("\n-1.0 ") + 1), "holds 1 support-vector lines"},
      {whole + "1.0 1:1.0\n", "holds 3 support-vector lines"},
  };
  for (const auto& [text, holds] : cases) {
    writeFile(path, text);
    EXPECT_EQ(fatalMessage([&] { readQuietly(path); }),
              path +
                  ": the header states 2 support vectors (line 10 holds 3, the number plus 1), "
                  "but the file " +
                  holds + ": it is cut short or damaged");
  }
  writeFile(path, whole);
  EXPECT_EQ(readQuietly(path).supportVectors.collectionSize(), 2);
}

TEST(ModelFile, ReaderEdgeCases) {
  KernelCellGuard guard;
  const std::string path = tempPath("edge.model");
  const std::string head = "sig\r\n0 # k\r\n1 # d\r\n1.0 # g\r\n1.0 # s\r\n0.0 # r\r\n";
  // The header with the number of support vectors plus 1.
  auto tail = [](int svsPlus1) {
    return "3 # h\r\n2 # n\r\n" + std::to_string(svsPlus1) + " # sv\r\n2.0 # b\r\n";
  };
  // CRLF lines and no support vectors; a line 7 without "#" is taken whole.
  writeFile(path, head + "empty# u\r\n" + tail(1));
  Model m = readQuietly(path);
  writeFile(path, head + "empty\n" + tail(1));
  EXPECT_EQ(readQuietly(path).kernelParamU, "empty");
  EXPECT_EQ(m.modelSignature, "sig\r");
  EXPECT_EQ(m.numberSVs, 0);
  EXPECT_EQ(m.supportVectors.collectionSize(), 0);
  // 100,000 support vectors and one more.
  std::string big = head + "empty# u\n" + tail(100002);
  for (int i = 0; i < 100000; ++i) big += "1 " + std::to_string(i % 50 + 1) + ":0.5\n";
  big += "-1 2:1\n";
  writeFile(path, big);
  Model many = readQuietly(path);
  EXPECT_EQ(many.supportVectors.collectionSize(), 100001);
  EXPECT_EQ(many.supportVectors.at(100001).value, -1.0);
  // Bytes that are not UTF-8 and a support-vector line of 10 MB.
  const std::string longToken(10 << 20, 'x');
  writeFile(path, "\xff\xfe sig\n" + head.substr(head.find('\n') + 1) + "empty# u\n" + tail(2) +
                      "1 string:1:\xe9t\xe9#" + longToken + "\n");
  Model odd = readQuietly(path);
  EXPECT_EQ(odd.modelSignature, "\xff\xfe sig");
  EXPECT_EQ(odd.supportVectors.at(1).example->vectorString().at(1).tokens.text(1).size(),
            longToken.size());
  // Bias of each support vector: the stored lambda when the rule agrees.
  EXPECT_EQ(many.supportVectors.at(1).example->vectorReal().at(1).value, 2.0);
  Model other = readQuietly(path, [](KernelType, double) { return 4.0; });
  EXPECT_EQ(other.supportVectors.at(1).example->vectorReal().at(1).value, 1.0);
  Model zero = readQuietly(path, [](KernelType, double) { return 0.0; });
  EXPECT_EQ(zero.supportVectors.at(1).example->vectorReal().at(1).value, 0.0);
}

TEST(ModelFile, ReaderPrintsTheUserKernelResult) {
  KernelCellGuard guard;
  const std::string path = tempPath("sig.model");
  writeFile(path,
            "s\n0 # k\n1 # d\n1 # g\n1 # s\n0 # r\n sx:2 tl:0.25 a:-1.5 b:0.25# u\n"
            "3 # h\n2 # n\n1 # sv\n2.0 # b\n");
  ::testing::internal::CaptureStdout();
  Model m = readModel(ruleOf, path);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "(1,\"2\")\n(4,\"0.25\")\n(5,\"-1.5\")\n(6,\"0.25\")\n(\"empty\",(True,-1.5,0.25))\n");
  EXPECT_TRUE(m.kernelParamSigmoid);
  EXPECT_EQ(m.kernelParamSigmoidA, -1.5);
  EXPECT_EQ(m.kernelParamU, "empty");
  EXPECT_EQ(m.kernelParamD, 1);
}

}  // namespace
}  // namespace kelvor
