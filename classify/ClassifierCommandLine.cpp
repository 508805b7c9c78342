#include "classify/ClassifierCommandLine.h"

#include "base/Console.h"
#include "base/NumberText.h"
#include "base/ProgramEnd.h"
#include "classify/Classification.h"
#include "classify/ClassifierCells.h"
#include "core/classification/Classify.h"

namespace kelvor::classifier {

const std::vector<OptDescr>& options() {
  static const std::vector<OptDescr> table = {
      {{kHelpLetter}, {"help"}, NoArg{[] { showHelp(0); }}, "this help"},
      {{'l'},
       {},
       reqArg(
           "l", [](const std::string& v) { refL() = readDouble(v); }, "float"),
       "lambda value for bias (default: the lambda the model was trained with)"},
      {{'p'},
       {"sigmoid"},
       NoArg{[] { refSigmoid() = true; }},
       "produce probabilities based on trained sigmoid (model must be trained with --sigmoid "
       "option)"},
      {{},
       {"bias"},
       reqArg(
           "bias", [](const std::string& v) { refBias() = readDouble(v); }, "float"),
       "change bias for classification (useful for generating PR graphs), (0)"},
      {{},
       {"pr-graph"},
       reqArg(
           "pr-graph", [](const std::string& v) { refPRGraph() = v; }, "file"),
       "write a precision/recall graph to file"},
  };
  return table;
}

void showHelp(int status) {
  printOut("Kelvor Classifier Version " + std::string(version()) +
           "\n\n"
           "Usage: KelvorClassify [options] model-file example-file (output-file)\n"
           "         (if output-file is not specified, only error rates are calculated)\n" +
           formatOptionTable("", options()) + "\n");
  endProgram(status);
}

void go(const std::vector<std::string>& args) {
  if (args.empty()) showHelp(kUsageError);
  const ParsedOptions parsed = parseOptions(options(), args);
  if (!parsed.errors.empty()) {
    for (const std::string& error : parsed.errors) printOut(error + "\n");
    showHelp(kUsageError);
  }
  const std::vector<std::string>& files = parsed.nonOptions;
  if (files.size() != 2 && files.size() != 3) showHelp(parsed.helpAsked ? 0 : kUsageError);
  for (const OptionAction& action : parsed.actions) action();
  doClassification(files[0], files[1],
                   files.size() == 3 ? std::optional<std::string>(files[2]) : std::nullopt);
}

}  // namespace kelvor::classifier
