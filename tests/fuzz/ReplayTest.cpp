// Every seed and every input the fuzzers once found, replayed through its
// target in every build: each must end normally or with a fatal error.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzTargets.h"

namespace kelvor::fuzz {
namespace {

const std::filesystem::path kCorpora = KELVOR_FUZZ_CORPORA;

std::string contentsOf(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class FuzzReplay : public ::testing::TestWithParam<std::string_view> {};

TEST_P(FuzzReplay, CorpusEndsNormallyOrFatally) {
  const NamedTarget* target = findFuzzTarget(GetParam());
  ASSERT_NE(target, nullptr);
  std::vector<std::filesystem::path> inputs;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpora / GetParam()))
    if (entry.is_regular_file()) inputs.push_back(entry.path());
  std::sort(inputs.begin(), inputs.end());
  EXPECT_FALSE(inputs.empty());
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.filename().string());
    ::testing::internal::CaptureStdout();
    target->run(contentsOf(input));
    ::testing::internal::GetCapturedStdout();
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, FuzzReplay, ::testing::ValuesIn(std::vector<std::string_view>([] {
                           std::vector<std::string_view> names;
                           for (const NamedTarget& t : fuzzTargets()) names.push_back(t.name);
                           return names;
                         }())),
                         [](const auto& info) { return std::string(info.param); });

TEST(FuzzReplay, EveryCorpusHasItsTarget) {
  std::set<std::string> corpora, targets;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpora))
    if (entry.is_directory()) corpora.insert(entry.path().filename().string());
  for (const NamedTarget& t : fuzzTargets()) targets.insert(std::string(t.name));
  EXPECT_EQ(corpora, targets);
}

}  // namespace
}  // namespace kelvor::fuzz
