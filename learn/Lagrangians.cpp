#include "learn/Lagrangians.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/LineLocation.h"
#include "base/NumberText.h"
#include "base/WhiteSpace.h"

namespace kelvor {

namespace {

InitialLagrangian parseRecord(std::string_view line, std::int32_t examples) {
  std::string_view parts[2];
  int count = 0;
  forEachWord(line, [&](std::string_view w) {
    if (count < 2) parts[count] = w;
    ++count;
  });
  if (count != 2)
    fail("Not a lagrangian record (an example's index and its value, as in \"3 0.5\"): " +
         quoteForMessage(line));
  const std::int32_t index = readInt(parts[0]);
  const double value = readDouble(parts[1]);
  if (index < 1 || index > examples)
    fail("The lagrangian of example " + showInt(index) + " names no training example (1 to " +
         showInt(examples) + ")");
  if (std::isnan(value))
    fail("The lagrangian of example " + showInt(index) + " is not a number (NaN)");
  return {index, value};
}

constexpr std::string_view kHeader = "Iteration ";

}  // namespace

std::vector<InitialLagrangian> readLagrangianRecords(InputFile& file, std::int64_t& lineNumber,
                                                     std::int32_t examples) {
  std::vector<std::string> lines;
  std::string line;
  bool closed = false;
  while (!closed && file.readLine(line)) {
    closed = line.empty();
    if (!closed) lines.push_back(line);
  }
  const std::int64_t first = lineNumber + 1;
  lineNumber += static_cast<std::int64_t>(lines.size());
  // The writer closes every block with an empty line: a block that runs
  // into the end of the file was cut, and the examples it lost would start
  // from 0 without a word.
  if (!closed)
    atLine(file.path(), lineNumber, [] {
      fail("The lagrangian block is cut short: the file ends before the empty line that closes it");
    });
  std::vector<InitialLagrangian> records;
  records.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    records.push_back(atLine(file.path(), first + static_cast<std::int64_t>(i),
                             [&] { return parseRecord(lines[i], examples); }));
  }
  // An example starts from one value: of an index given twice, one value
  // would be lost.
  std::vector<std::pair<std::int32_t, std::int64_t>> byIndex;  // (index, line)
  byIndex.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i)
    byIndex.emplace_back(records[i].index, first + static_cast<std::int64_t>(i));
  std::sort(byIndex.begin(), byIndex.end());
  for (std::size_t i = 1; i < byIndex.size(); ++i)
    if (byIndex[i].first == byIndex[i - 1].first)
      atLine(file.path(), byIndex[i].second, [&] {
        fail("The lagrangian of example " + showInt(byIndex[i].first) +
             " is given twice (first at line " + showInt(byIndex[i - 1].second) + ")");
      });
  return records;
}

std::vector<InitialLagrangian> readLagrangians(const std::string& path, std::int32_t iteration,
                                               std::int32_t examples) {
  printOut("Reading lagrangians from " + path + "\n");
  InputFile file = InputFile::open(path);
  std::vector<InitialLagrangian> records;
  std::int64_t lineNumber = 0;
  std::string line;
  while (true) {
    if (!file.readLine(line))
      fail("End of lagrangian file reached before iteration " + showInt(iteration) + " found");
    ++lineNumber;
    if (line.size() < kHeader.size() || line.compare(0, kHeader.size(), kHeader) != 0) continue;
    const std::int32_t n = atLine(path, lineNumber, [&] {
      const std::int32_t found = readInt(std::string_view(line).substr(kHeader.size()));
      if (found > iteration)
        fail("Arrived at lagrangian iteration " + showInt(found) + " without passing " +
             showInt(iteration));
      return found;
    });
    if (n == iteration) {
      records = readLagrangianRecords(file, lineNumber, examples);
      break;
    }
  }
  std::sort(
      records.begin(), records.end(),
      [](const InitialLagrangian& a, const InitialLagrangian& b) { return a.index < b.index; });
  return records;
}

}  // namespace kelvor
