#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FatalMessage.h"
#include "base/NumberText.h"
#include "learn/OptionParser.h"

namespace kelvor {
namespace {

// A table whose actions log what they were given, so that a parse can be
// compared as one string: the actions run in order, then the file names.
struct Recorder {
  std::vector<std::string> log;

  NoArg flag(const std::string& name) {
    return NoArg{[this, name] { log.push_back(name); }};
  }
  ReqArg valued(const std::string& name, const std::string& argName) {
    return ReqArg{[this, name](const std::string& v) -> OptionAction {
                    return [this, name, v] { log.push_back(name + "=" + v); };
                  },
                  argName};
  }

  std::vector<OptDescr> table() {
    return {
        {{'?'}, {"help"}, flag("help"), "this help"},
        {{'c'}, {}, valued("c", "float"), "C"},
        {{'v'}, {}, flag("v"), "verbose"},
        {{}, {"rank"}, flag("rank"), "do ranking"},
        {{}, {"rank-margin"}, valued("rank-margin", "float"), "margin"},
        {{}, {"rank-highmem"}, flag("rank-highmem"), "memory"},
        {{}, {"sigmoid"}, flag("sigmoid"), "fit"},
    };
  }

  std::string parse(const std::vector<std::string>& args) {
    log.clear();
    const std::vector<OptDescr> t = table();
    ParsedOptions p = parseOptions(t, args);
    for (const OptionAction& a : p.actions) a();
    std::string out;
    for (const std::string& s : log) out += s + " ";
    out += "|";
    for (const std::string& s : p.nonOptions) out += " " + s;
    for (const std::string& e : p.errors) out += " !" + e;
    return out;
  }
};

TEST(ParseOptions, ArgumentsAndTheirErrors) {
  const std::string ambiguousRan =
      "option `--ran' is ambiguous; could be one of:\n"
      "    --rank               do ranking\n"
      "    --rank-margin=float  margin\n"
      "    --rank-highmem       memory\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-c", "5", "a", "b"}, "c=5 | a b"},
      {{"-c5", "a", "b"}, "c=5 | a b"},
      {{"a", "-c", "5", "b"}, "c=5 | a b"},
      {{"a", "b", "-c", "5"}, "c=5 | a b"},
      {{"-c", "-1", "a"}, "c=-1 | a"},
      {{"-c", "1", "-c", "2"}, "c=1 c=2 |"},
      {{"--rank"}, "rank |"},
      {{"--rank-m", "0.5"}, "rank-margin=0.5 |"},
      {{"--rank-margin=0.5"}, "rank-margin=0.5 |"},
      {{"--rank-margin="}, "rank-margin= |"},
      {{"--rank-margin=a=b"}, "rank-margin=a=b |"},
      {{"--s"}, "sigmoid |"},
      {{"--ran", "a", "b"}, "| a b !" + ambiguousRan},
      {{"--sigmoid=x"}, "| !option `--sigmoid' doesn't allow an argument\n"},
      {{"--sigmoid="}, "| !option `--sigmoid' doesn't allow an argument\n"},
      {{"--nope", "a"}, "| a !unrecognized option `--nope'\n"},
      {{"-c"}, "| !option `-c' requires an argument float\n"},
      {{"--rank-margin"}, "| !option `--rank-margin' requires an argument float\n"},
      {{"--rank-ma"}, "| !option `--rank-ma' requires an argument float\n"},
      {{"-x", "a", "b"}, "| a b !unrecognized option `-x'\n"},
      // Clusters come apart letter by letter, an unknown letter included.
      {{"-vxv"}, "v v | !unrecognized option `-x'\n"},
      {{"-?c5", "a", "b"}, "help c=5 | a b"},
      {{"-vc", "7"}, "v c=7 |"},
      {{"--", "-c", "a"}, "| -c a"},
      {{"-v", "--", "--rank"}, "v | --rank"},
      {{"-", "", "stdin"}, "| -  stdin"},
      {{"-c", "--", "a"}, "c=-- | a"},
  };
  Recorder r;
  for (const auto& [args, expected] : cases) {
    std::string label;
    for (const std::string& a : args) label += "[" + a + "]";
    EXPECT_EQ(r.parse(args), expected) << label;
  }
}

TEST(ParseOptions, SharedShortLetterIsAmbiguous) {
  const std::vector<OptDescr> table = {
      {{'a'}, {"all"}, NoArg{[] {}}, "first"},
      {{'a', 'b'}, {}, NoArg{[] {}}, "second"},
  };
  const ParsedOptions p = parseOptions(table, {"-a"});
  ASSERT_EQ(p.errors.size(), 1u);
  EXPECT_EQ(p.errors[0],
            "option `-a' is ambiguous; could be one of:\n"
            "  -a      --all  first\n"
            "  -a, -b         second\n");
  EXPECT_TRUE(p.actions.empty());
}

TEST(FormatOptionTable, ColumnsPaddedToTheirWidest) {
  Recorder r;
  EXPECT_EQ(formatOptionTable("", r.table()),
            "\n"
            "  -?        --help               this help\n"
            "  -c float                       C\n"
            "  -v                             verbose\n"
            "            --rank               do ranking\n"
            "            --rank-margin=float  margin\n"
            "            --rank-highmem       memory\n"
            "            --sigmoid            fit\n");
  EXPECT_EQ(formatOptionTable("head", {}), "head\n");
}

TEST(ReqArg, BadValueNamesOptionKindAndValue) {
  double cell = 0.0;
  const ReqArg kind = reqArg(
      "c", [&](const std::string& v) { cell = readDouble(v); }, "float");
  EXPECT_EQ(kind.argName, "float");
  kind.makeAction(" 2.5 ")();
  EXPECT_EQ(cell, 2.5);
  const std::string indent(15, ' ');
  EXPECT_EQ(testing::fatalMessage([&] { kind.makeAction(" abc")(); }),
            "Could not understand value for option 'c'\n" + indent +
                "expecting float, got ' abc'\n" + indent + "Cannot read \" abc\" as Double");
  EXPECT_EQ(cell, 2.5);
}

}  // namespace
}  // namespace kelvor
