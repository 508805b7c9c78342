#include "core/examples/ExampleFile.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/LineLocation.h"
#include "core/examples/Collections.h"
#include "core/examples/ExampleLine.h"
#include "core/examples/ExampleScan.h"

namespace kelvor {

namespace {

std::int32_t highestOfExample(const Example& e) {
  std::int32_t highest = 0;
  if (!e.vectorReal().empty()) highest = std::max(highest, e.vectorReal().elems().back().index);
  if (!e.vectorString().empty())
    highest = std::max(highest, e.vectorString().elems().back().number);
  if (!e.vectorTree().empty()) highest = std::max(highest, e.vectorTree().elems().back().number);
  return highest;
}

}  // namespace

LineTally tallyExampleLines(InputFile& file) {
  LineTally tally{0, 0};
  std::string line;
  while (file.readLine(line)) {
    ++tally.allLines;
    if (isExampleLine(line)) countExampleLine(tally.exampleLines, file);
  }
  return tally;
}

std::pair<Examples, std::int32_t> readExampleFile(const std::string& path, double bias) {
  InputFile file = InputFile::open(path);
  return readExampleFile(file, bias);
}

std::pair<Examples, std::int32_t> readExampleFile(InputFile& file, double bias) {
  requireSeekable(file);
  const std::string& path = file.path();
  file.seek(0);
  const LineTally tally = tallyExampleLines(file);
  file.seek(0);
  std::vector<Element> slots(static_cast<std::size_t>(tally.exampleLines));
  std::int32_t k = 1;
  std::int32_t highest = 0;
  std::string line;
  for (std::int64_t n = 0; n < tally.allLines; ++n) {
    if (k % 1000 == 0) printOut(".");
    file.readLineOrFail(line);
    if (!isExampleLine(line)) continue;
    atLine(path, n + 1, [&] {
      std::optional<Element> parsed = parseExampleLineForced(bias, line);
      if (!parsed)
        fail("Error reading line " + std::to_string(k) + " of " + path + "\n" +
             describeRejection(line));
      if (k > tally.exampleLines) failIndex(k, 1, tally.exampleLines);
      highest = std::max(highest, highestOfExample(*parsed->example));
      slots[static_cast<std::size_t>(k - 1)] = std::move(*parsed);
    });
    ++k;
  }
  auto array = std::make_shared<const ArrayCollection>(
      Array<Element>(std::move(slots)), "undefined array element from readExampleFile");
  return {Examples(std::move(array)), highest};
}

}  // namespace kelvor
