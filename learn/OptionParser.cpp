#include "learn/OptionParser.h"

#include <algorithm>
#include <cstddef>
#include <deque>

#include "base/Fatal.h"

namespace kelvor {

namespace {

bool isReqArg(const OptDescr& d) { return std::holds_alternative<ReqArg>(d.argKind); }

std::string errUnrecognized(const std::string& optText) {
  return "unrecognized option `" + optText + "'\n";
}

std::string errMissing(const std::string& optText, const std::string& argName) {
  return "option `" + optText + "' requires an argument " + argName + "\n";
}

std::string errNoArg(const std::string& optText) {
  return "option `" + optText + "' doesn't allow an argument\n";
}

std::string errAmbiguous(const std::string& optText, const std::vector<OptDescr>& candidates) {
  return formatOptionTable("option `" + optText + "' is ambiguous; could be one of:", candidates);
}

// Takes the arguments from the front of a queue, so that the rest of a
// cluster of letters can go back to the front as an argument of its own.
class Parser {
 public:
  Parser(const std::vector<OptDescr>& table, const std::vector<std::string>& args)
      : table_(table), pending_(args.begin(), args.end()) {}

  ParsedOptions run() {
    while (!pending_.empty()) {
      std::string arg = std::move(pending_.front());
      pending_.pop_front();
      if (arg == "--") {
        for (std::string& rest : pending_) out_.nonOptions.push_back(std::move(rest));
        pending_.clear();
      } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
        longOption(arg.substr(2));
      } else if (arg.size() > 1 && arg[0] == '-') {
        shortOption(arg[1], arg.substr(2));
      } else {
        out_.nonOptions.push_back(std::move(arg));
      }
    }
    return std::move(out_);
  }

 private:
  void longOption(const std::string& written) {
    const std::size_t eq = written.find('=');
    const std::string name = written.substr(0, eq);
    const std::string optText = "--" + name;
    std::vector<OptDescr> matches = longMatches(name);
    if (matches.size() > 1) return error(errAmbiguous(optText, matches));
    if (matches.empty()) return error(errUnrecognized(optText));
    const OptDescr& d = matches.front();
    if (!isReqArg(d)) {
      if (eq != std::string::npos) return error(errNoArg(optText));
      noArg(d);
      return;
    }
    if (eq != std::string::npos) return valued(d, written.substr(eq + 1));
    valuedFromNext(d, optText);
  }

  void shortOption(char letter, std::string tail) {
    const std::string optText = std::string("-") + letter;
    std::vector<OptDescr> matches;
    for (const OptDescr& d : table_)
      if (std::find(d.shortLetters.begin(), d.shortLetters.end(), letter) != d.shortLetters.end())
        matches.push_back(d);
    if (matches.size() > 1) return error(errAmbiguous(optText, matches));
    if (matches.empty() || !isReqArg(matches.front())) {
      if (matches.empty())
        error(errUnrecognized(optText));
      else
        noArg(matches.front());
      // The rest of a cluster is taken as an argument of its own.
      if (!tail.empty()) pending_.push_front("-" + tail);
      return;
    }
    if (!tail.empty()) return valued(matches.front(), tail);
    valuedFromNext(matches.front(), optText);
  }

  // An exact long name wins over prefixes; a descriptor counts once however
  // many of its names match.
  std::vector<OptDescr> longMatches(const std::string& name) const {
    std::vector<OptDescr> exact, prefixed;
    for (const OptDescr& d : table_) {
      const auto& names = d.longNames;
      if (std::find(names.begin(), names.end(), name) != names.end()) exact.push_back(d);
      if (std::any_of(names.begin(), names.end(),
                      [&](const std::string& n) { return n.compare(0, name.size(), name) == 0; }))
        prefixed.push_back(d);
    }
    return exact.empty() ? prefixed : exact;
  }

  void noArg(const OptDescr& d) {
    out_.actions.push_back(std::get<NoArg>(d.argKind).action);
    const auto& letters = d.shortLetters;
    if (std::find(letters.begin(), letters.end(), kHelpLetter) != letters.end())
      out_.helpAsked = true;
  }

  void valued(const OptDescr& d, const std::string& value) {
    out_.actions.push_back(std::get<ReqArg>(d.argKind).makeAction(value));
  }

  // The next argument is the value whatever it looks like, "-1" included.
  void valuedFromNext(const OptDescr& d, const std::string& optText) {
    if (pending_.empty()) return error(errMissing(optText, std::get<ReqArg>(d.argKind).argName));
    std::string value = std::move(pending_.front());
    pending_.pop_front();
    valued(d, value);
  }

  void error(std::string text) { out_.errors.push_back(std::move(text)); }

  const std::vector<OptDescr>& table_;
  std::deque<std::string> pending_;
  ParsedOptions out_;
};

std::string joinCells(const std::vector<std::string>& cells) {
  std::string out;
  for (const std::string& c : cells) {
    if (!out.empty()) out += ", ";
    out += c;
  }
  return out;
}

std::string shortCell(const OptDescr& d) {
  std::vector<std::string> cells;
  for (char c : d.shortLetters) {
    std::string cell = std::string("-") + c;
    if (isReqArg(d)) cell += " " + std::get<ReqArg>(d.argKind).argName;
    cells.push_back(std::move(cell));
  }
  return joinCells(cells);
}

std::string longCell(const OptDescr& d) {
  std::vector<std::string> cells;
  for (const std::string& name : d.longNames) {
    std::string cell = "--" + name;
    if (isReqArg(d)) cell += "=" + std::get<ReqArg>(d.argKind).argName;
    cells.push_back(std::move(cell));
  }
  return joinCells(cells);
}

}  // namespace

ParsedOptions parseOptions(const std::vector<OptDescr>& table,
                           const std::vector<std::string>& args) {
  return Parser(table, args).run();
}

std::string formatOptionTable(std::string_view header, const std::vector<OptDescr>& table) {
  std::vector<std::string> shorts, longs;
  std::size_t shortWidth = 0, longWidth = 0;
  for (const OptDescr& d : table) {
    shorts.push_back(shortCell(d));
    longs.push_back(longCell(d));
    shortWidth = std::max(shortWidth, shorts.back().size());
    longWidth = std::max(longWidth, longs.back().size());
  }
  std::string out(header);
  out += '\n';
  for (std::size_t i = 0; i < table.size(); ++i) {
    out += "  ";
    out += shorts[i];
    out.append(shortWidth - shorts[i].size(), ' ');
    out += "  ";
    out += longs[i];
    out.append(longWidth - longs[i].size(), ' ');
    out += "  ";
    out += table[i].help;
    out += '\n';
  }
  return out;
}

ReqArg reqArg(std::string optionName, std::function<void(const std::string&)> setter,
              std::string argName) {
  auto makeAction = [optionName, setter = std::move(setter),
                     argName](const std::string& value) -> OptionAction {
    return [optionName, setter, argName, value] {
      try {
        setter(value);
      } catch (const FatalError& e) {
        const std::string indent(15, ' ');
        fail("Could not understand value for option '" + optionName + "'\n" + indent +
             "expecting " + argName + ", got '" + value + "'\n" + indent + e.what());
      }
    };
  };
  return ReqArg{std::move(makeAction), std::move(argName)};
}

}  // namespace kelvor
