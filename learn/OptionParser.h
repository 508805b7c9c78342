// The command-line parser and the help-table layout that both programs use.
//
// Options may stand before, between and after the file names; "--" ends
// them. A long name may be shortened to any prefix that selects one option,
// but a name written out in full always selects its own option, even where it
// is the prefix of others ("--rank" beside "--rank-margin"). Short letters
// cluster ("-pq"), and a value may follow its letter directly ("-c5") or its
// long name after "=". Parsing is pure: the recognised options come back as
// actions, to be run in command-line order once the whole line is known to be
// good.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelvor {

using OptionAction = std::function<void()>;

// The exit status of a run that ends in the help because its command line
// was wrong (an option error, a wrong number of file names, no arguments),
// so that a script never takes it for a run that did its work. The help
// asked for with -? or --help ends with 0.
constexpr int kUsageError = 1;

// The short letter of the help option in both programs' tables.
constexpr char kHelpLetter = '?';

struct NoArg {
  OptionAction action;
};

struct ReqArg {
  std::function<OptionAction(const std::string&)> makeAction;
  std::string argName;  // shown in the help and in the missing-argument error
};

using ArgDescr = std::variant<NoArg, ReqArg>;

struct OptDescr {
  std::vector<char> shortLetters;
  std::vector<std::string> longNames;
  ArgDescr argKind;
  std::string help;
};

struct ParsedOptions {
  std::vector<OptionAction> actions;    // recognised options, in command-line order
  std::vector<std::string> nonOptions;  // file names, in command-line order
  std::vector<std::string> errors;      // each ends with a newline
  // Whether the help option was recognised: the help it prints is then what
  // was asked for, even when the file names are wrong and no action runs.
  bool helpAsked = false;
};

ParsedOptions parseOptions(const std::vector<OptDescr>& table,
                           const std::vector<std::string>& args);

// The header line and one row per option, every line ended by a newline. A
// row is two blanks, the short cell, two blanks, the long cell, two blanks
// and the help text; the two cells are padded to the widest of their column.
std::string formatOptionTable(std::string_view header, const std::vector<OptDescr>& table);

// The guarded required-argument kind both programs build their valued options
// with: a setter that fails (FatalError from the number reader) becomes the
// three-line "Could not understand value for option '..." fatal error, which
// names the option (without dashes), the argument name and the value.
ReqArg reqArg(std::string optionName, std::function<void(const std::string&)> setter,
              std::string argName);

}  // namespace kelvor
