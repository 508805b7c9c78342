// The option parser against the learner's and the classifier's tables, on
// two argument lists made from the input: the parts between NUL bytes (as
// the process would get them) and the words of the learner's standard-input
// mode. The parsed actions then run as the programs run them; a bad value
// (FatalError) and the help (ProgramEnd) are their two normal endings.
#include <algorithm>
#include <string>
#include <vector>

#include "base/ProgramEnd.h"
#include "base/WhiteSpace.h"
#include "classify/ClassifierCells.h"
#include "classify/ClassifierCommandLine.h"
#include "learn/LearnOptions.h"
#include "learn/OptionParser.h"
#include "tests/fuzz/FuzzTargets.h"

namespace kelvor::fuzz {

namespace {

using Args = std::vector<std::string>;

// Every option cell of both programs at its default, now and when the
// input is done: no input sees what an earlier one wrote.
struct DefaultCells {
  DefaultCells() { reset(); }
  ~DefaultCells() { reset(); }
  static void reset() {
    learnCells() = LearnCells{};
    classifier::refL().reset();
    classifier::refSigmoid() = false;
    classifier::refBias() = 0.0;
    classifier::refPRGraph().reset();
  }
};

Args splitAtNul(std::string_view input) {
  Args out;
  std::size_t from = 0;
  while (true) {
    const std::size_t nul = input.find('\0', from);
    out.emplace_back(input.substr(from, nul - from));
    if (nul == std::string_view::npos) return out;
    from = nul + 1;
  }
}

Args standardInputWords(std::string_view input) {
  const std::vector<std::string_view> split = words(input);
  return Args(split.begin(), split.end());
}

bool looksLikeOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

void checkTable(const std::vector<OptDescr>& table, const std::string& header,
                std::string_view input) {
  const std::string help = formatOptionTable(header, table);
  const auto lines = std::count(help.begin(), help.end(), '\n');
  if (help.compare(0, header.size(), header) != 0 || help.back() != '\n' ||
      lines != std::count(header.begin(), header.end(), '\n') + 1 +
                   static_cast<std::ptrdiff_t>(table.size()))
    propertyBroken("the table is not the header and one line per option", input);
}

void checkParse(const std::vector<OptDescr>& table, const Args& args, std::string_view input) {
  const ParsedOptions parsed = parseOptions(table, args);
  for (const std::string& e : parsed.errors)
    if (e.empty() || e.back() != '\n') propertyBroken("an error text without its newline", input);
  // Up to the first "--", no word that looks like an option: nothing but
  // file names, all of them but that "--".
  const auto dashes = std::find(args.begin(), args.end(), "--");
  if (std::none_of(args.begin(), dashes, looksLikeOption)) {
    Args files(args.begin(), dashes);
    if (dashes != args.end()) files.insert(files.end(), dashes + 1, args.end());
    if (!parsed.actions.empty() || !parsed.errors.empty() || parsed.nonOptions != files)
      propertyBroken("file names taken for options", input);
  }

  DefaultCells cells;
  try {
    for (const OptionAction& action : parsed.actions) action();
  } catch (const FatalError& e) {
    if (std::string_view(e.what()).rfind("Could not understand value for option '", 0) != 0)
      propertyBroken("an option action failed other than with the bad-value message", input);
  } catch (const ProgramEnd& end) {
    if (end.status != 0) propertyBroken("the help ended with a status other than 0", input);
  }
}

}  // namespace

void fuzzOptionParser(std::string_view input) {
  const Args separate = splitAtNul(input);
  for (const Args& args : {separate, standardInputWords(input)}) {
    checkParse(learnOptions(), args, input);
    checkParse(classifier::options(), args, input);
  }
  // The tables are fixed, their header is not.
  checkTable(learnOptions(), separate.front(), input);
  checkTable(classifier::options(), separate.front(), input);
}

}  // namespace kelvor::fuzz
