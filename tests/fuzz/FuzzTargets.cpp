#include "tests/fuzz/FuzzTargets.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/Fatal.h"

namespace kelvor::fuzz {

namespace {

constexpr NamedTarget kTargets[] = {
    {"tree_reader", fuzzTreeReader},         {"example_line", fuzzExampleLine},
    {"example_file", fuzzExampleFile},       {"model_reader", fuzzModelReader},
    {"user_kernel", fuzzUserKernelLine},     {"number_text", fuzzNumberText},
    {"lagrangian_file", fuzzLagrangianFile}, {"option_parser", fuzzOptionParser},
};

}  // namespace

std::span<const NamedTarget> fuzzTargets() { return kTargets; }

const NamedTarget* findFuzzTarget(std::string_view name) {
  for (const NamedTarget& t : kTargets)
    if (t.name == name) return &t;
  return nullptr;
}

void propertyBroken(std::string_view what, std::string_view input) {
  std::fprintf(stderr, "\nProperty broken: %.*s\nInput: %s\n", static_cast<int>(what.size()),
               what.data(), quoteForMessage(input, 2000).c_str());
  std::abort();
}

}  // namespace kelvor::fuzz
