// The example-line format: a target, an optional "qid:" word and features of
// three kinds (index:value, string:N:tok#tok, tree:N:encoded-tree).
//
// Within each kind the numbers must ascend strictly (the dot product merges
// index lists); the kinds may interleave.
//
// Parsing has two stages. The shape check decides between rejection and a
// result; the conversions (numbers, trees, self-kernels) come second and can
// only stop the program, never turn a result into a rejection. An example
// parsed for an on-disk collection converts each field at its first use;
// the in-memory readers complete every field at once.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/InputFile.h"
#include "core/examples/ExampleCollection.h"

namespace kelvor {

// How the text of a tree feature is to be taken. Model files wrap each tree
// as "(tree,self-kernel)"; the wrapper is stripped so that the tree read
// back is the tree that was written.
enum class TreeTextForm { Bare, ModelWrapped };

// Where an on-disk line begins, so that a field converted long after the
// line was read can still name its line.
struct LineOrigin {
  std::shared_ptr<InputFile> file;
  std::int64_t offset;
};

// The lazily completed parse: the example keeps a copy of the line until
// every field has been converted. The target is converted at once. With an
// origin, a failed conversion names the file and line (base/LineLocation.h).
std::optional<Element> parseExampleLine(double bias, std::string_view line,
                                        TreeTextForm form = TreeTextForm::Bare,
                                        std::optional<LineOrigin> origin = std::nullopt);

// Completes every field in the order target, query identifier, real, string
// and tree features, so that the first faulty conversion in that order is
// the one reported; twonorm_sq stays for its first use.
std::optional<Element> forceParsedExample(std::optional<Element> parsed);

// parseExampleLine and forceParsedExample in one step, converting straight
// from the line without keeping a copy of it.
std::optional<Element> parseExampleLineForced(double bias, std::string_view line,
                                              TreeTextForm form = TreeTextForm::Bare);

// For a line that parseExampleLine rejects: which word failed, as
// `word 3 is not a valid feature: "a:1"` or `word 3 is not in ascending
// order (index 2 after 3): "2:1"` (the target is word 1). Empty for a line
// that is not rejected.
std::string describeRejection(std::string_view line);

// "#" becomes a blank and "*pound*" a "#", in one pass.
std::string decodeTreeText(std::string_view text);

// The highest feature number of the line as reading it into memory takes
// it: the largest of its last real index, last string number and last tree
// number (each kind ascends on a line the parser accepts); nothing when the
// line has no feature word. Follows the feature grammar, so the colons in a
// string or tree text are no feature number, but converts nothing beyond
// those numbers. Never fails: a line the parser would reject is reported
// when its example is used.
std::optional<std::int32_t> highestFeatureNumber(std::string_view line);

// Is this line an example line (not empty, not starting with "#")?
constexpr bool isExampleLine(std::string_view line) { return !line.empty() && line.front() != '#'; }

}  // namespace kelvor
