// The example-line parser on any line, through both completions: fields
// converted one at a time at their first use (on-disk examples), and all at
// once (in-memory examples and support vectors). Both must agree on the
// example, or both stop with a fatal error.
#include <optional>
#include <string>

#include "core/examples/ExampleLine.h"
#include "core/model/RecordShow.h"
#include "tests/fuzz/FuzzTargets.h"

namespace kelvor::fuzz {

namespace {

constexpr double kBias = 2.0;

// The printed example, "rejected", or "fatal".
std::string lazyReading(std::string_view line) {
  std::optional<Element> parsed;
  if (!endsNormally([&] { parsed = parseExampleLine(kBias, line); })) return "fatal";
  if (!parsed) {
    if (describeRejection(line).empty()) propertyBroken("a rejection without a word", line);
    return "rejected";
  }
  // Every field by itself, as the first use of each would convert it.
  const Example& e = *parsed->example;
  bool ok = endsNormally([&] { e.ex_qid(); });
  ok = endsNormally([&] { e.vectorReal(); }) && ok;
  ok = endsNormally([&] { e.vectorString(); }) && ok;
  ok = endsNormally([&] { e.vectorTree(); }) && ok;
  if (!ok) return "fatal";
  return showExample(e);
}

template <class Parse>
std::string forcedReading(Parse parse) {
  std::string out;
  if (!endsNormally([&] {
        std::optional<Element> parsed = parse();
        out = parsed ? showExample(*parsed->example) : "rejected";
      }))
    return "fatal";
  return out;
}

}  // namespace

void fuzzExampleLine(std::string_view input) {
  highestFeatureNumber(input);  // never fails, whatever the line
  const std::string lazy = lazyReading(input);
  const std::string forced =
      forcedReading([&] { return forceParsedExample(parseExampleLine(kBias, input)); });
  const std::string direct = forcedReading([&] { return parseExampleLineForced(kBias, input); });
  if (lazy != forced || forced != direct)
    propertyBroken("the completions differ: " + lazy + " / " + forced + " / " + direct, input);
  endsNormally([&] { parseExampleLineForced(kBias, input, TreeTextForm::ModelWrapped); });
}

}  // namespace kelvor::fuzz
