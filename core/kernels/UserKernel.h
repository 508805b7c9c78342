// Line 7 of a model file, the user-kernel parameter line: the string- and
// tree-kernel parameters that differ from their defaults and the fitted
// sigmoid, as written by the model writer and interpreted by the model
// reader (which stores into the kernel-parameter cells and reports each
// recognised word on standard output).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/LineLocation.h"

namespace kelvor {

// The header texts the model writer and reader share.
namespace modelText {
inline constexpr std::string_view kKernelType = " # kernel type";
inline constexpr std::string_view kParamD = " # kernel parameter -d";
inline constexpr std::string_view kParamG = " # kernel parameter -g";
inline constexpr std::string_view kParamS = " # kernel parameter -s";
inline constexpr std::string_view kParamR = " # kernel parameter -r";
inline constexpr std::string_view kEmpty = "empty";
inline constexpr std::string_view kParamU = "# kernel parameter -u";
inline constexpr std::string_view kHighestIndex = " # highest feature index";
inline constexpr std::string_view kTrainingDocs = " # number of training documents";
inline constexpr std::string_view kSupportVectors = " # number of support vectors plus 1";
inline constexpr std::string_view kThreshold =
    " # threshold b, each following line is a SV (starting with alpha*y)";
inline constexpr std::string_view kString = " string:";
inline constexpr std::string_view kTokenSeparator = "#";
inline constexpr std::string_view kTree = " tree:";
}  // namespace modelText

struct SigmoidState {
  bool sigmoid = false;
  double a = 0.0;
  double b = 0.0;
};

// The interpretation of the user-kernel text (name, sigmoid state); the
// name is always "empty". Stores into the kernel-parameter cells and prints
// a debug line per recognised word and then the result line. A cell value
// read from a file is converted at the cell's first use; `where` lets that
// late failure name the file line.
std::pair<std::string, SigmoidState> parseUserKernelLine(
    std::string_view text, const std::optional<FileLine>& where = std::nullopt);

// One word "key:value" of the word form. The values of the four cell keys
// are converted when their reader is first used; those of a and b are kept
// as text (SigmoidText) until the result line needs them.
struct SigmoidText {
  bool sigmoid = false;
  std::string a = "0.0";
  std::string b = "0.0";
};
SigmoidText parseUserKernelParam(SigmoidText state, std::string_view word,
                                 const std::optional<FileLine>& where = std::nullopt);

// The bracketed forms "(n,x)" and "((n,x),(m,y))": every way to read the
// text, each with the rest of the text after its last parenthesis.
using ParamPair = std::pair<std::int32_t, double>;
std::vector<std::pair<ParamPair, std::string_view>> readParamPair(std::string_view text);
std::vector<std::pair<std::pair<ParamPair, ParamPair>, std::string_view>> readTwoParamPairs(
    std::string_view text);

}  // namespace kelvor
