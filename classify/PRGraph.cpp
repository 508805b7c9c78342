#include "classify/PRGraph.h"

#include <algorithm>
#include <cmath>

#include "base/Console.h"
#include "base/NumberText.h"
#include "base/ReplacementFile.h"

namespace kelvor {

int truthLabel(const Element& element) { return element.value > 0 ? 1 : -1; }

namespace {

struct Scored {
  double value;
  std::int8_t label;
};

void appendLine(std::string& line, std::int64_t tp, std::int64_t fn, std::int64_t fp) {
  line.clear();
  if (tp == 0) {
    line += "0.0 0.0\n";
    return;
  }
  const double dtp = static_cast<double>(tp);
  appendDouble(line, dtp / (dtp + static_cast<double>(fn)));
  line += ' ';
  appendDouble(line, dtp / (dtp + static_cast<double>(fp)));
  line += '\n';
}

}  // namespace

void emitPRGraph(std::span<const double> values, std::span<const std::int8_t> labels,
                 const std::function<void(std::string_view)>& emitLine) {
  std::vector<Scored> scored(values.size());
  std::int64_t positives = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::int8_t label = i < labels.size() ? labels[i] : std::int8_t{0};
    scored[i] = {values[i], label};
    if (label > 0) ++positives;
  }
  // NaN breaks the ordinary comparison, so NaN values go behind all others
  // before the rest is sorted.
  const auto nanBegin = std::partition(scored.begin(), scored.end(),
                                       [](const Scored& s) { return !std::isnan(s.value); });
  std::sort(scored.begin(), nanBegin,
            [](const Scored& a, const Scored& b) { return a.value < b.value; });

  // Counts of the examples whose value lies above the current threshold.
  std::int64_t tpAbove = 0, fpAbove = 0;
  for (auto it = scored.begin(); it != nanBegin; ++it) {
    if (it->label > 0) ++tpAbove;
    if (it->label < 0) ++fpAbove;
  }
  std::string line;
  for (auto it = scored.begin(); it != nanBegin;) {
    const double threshold = it->value;
    for (; it != nanBegin && it->value == threshold; ++it) {
      if (it->label > 0) --tpAbove;
      if (it->label < 0) --fpAbove;
    }
    appendLine(line, tpAbove, positives - tpAbove, fpAbove);
    emitLine(line);
  }
  if (nanBegin != scored.end()) emitLine("0.0 0.0\n");
}

void writePRGraph(const std::string& path, const ExampleCollection& examples,
                  std::span<const double> values) {
  printOut("Computing precision/recall graph...\n");
  ReplacementFile file(path);
  if (!values.empty()) {
    std::vector<std::int8_t> labels;
    labels.reserve(values.size());
    for (const Element& e : examples.collectionElems())
      labels.push_back(static_cast<std::int8_t>(truthLabel(e)));
    emitPRGraph(values, labels, [&](std::string_view line) { file.write(line); });
  }
  file.commit();
}

}  // namespace kelvor
