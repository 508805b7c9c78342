#include "learn/Learn.h"

#include "base/Console.h"
#include "base/InputFile.h"
#include "base/ProgramEnd.h"
#include "base/WhiteSpace.h"
#include "core/classification/Classify.h"
#include "learn/DoLearning.h"
#include "learn/LearnOptions.h"
#include "learn/OptionParser.h"

namespace kelvor {

namespace {

// The words of all of standard input. A second call fails: what was read
// is gone.
std::vector<std::string> standardInputWords() {
  InputFile in = InputFile::standardInput();
  std::vector<std::string> out;
  std::string line;
  while (in.readLine(line)) forEachWord(line, [&](std::string_view w) { out.emplace_back(w); });
  return out;
}

}  // namespace

void showHelp(int status) {
  std::string text = "Kelvor Learner Version ";
  text += version();
  text +=
      "\n\n"
      "Usage: KelvorLearn [options] example-file model-file\n"
      "   or: KelvorLearn stdin < config-file\n"
      "            where config-file just writes out options\n";
  text += formatOptionTable("", learnOptions());
  text += '\n';
  printOut(text);
  endProgram(status);
}

int go(const std::vector<std::string>& args) {
  if (args.empty()) showHelp(kUsageError);
  if (args.size() == 1 && args[0] == "stdin") return go(standardInputWords());
  const ParsedOptions parsed = parseOptions(learnOptions(), args);
  if (!parsed.errors.empty()) {
    for (const std::string& e : parsed.errors) printOut(e + "\n");
    showHelp(kUsageError);
  }
  if (parsed.nonOptions.size() != 2) showHelp(parsed.helpAsked ? 0 : kUsageError);
  for (const OptionAction& action : parsed.actions) action();
  // A run that writes no model must not let a script go on with the model
  // file an earlier run left.
  const LearningEnd end = doLearning(parsed.nonOptions[0], parsed.nonOptions[1]);
  return end == LearningEnd::ModelWritten ? 0 : 1;
}

}  // namespace kelvor
