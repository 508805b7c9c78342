// Fuzz targets for the readers of untrusted text. A target feeds one input
// to a reader; the system's own fatal error (FatalError) is normal
// behaviour and is caught, and nothing else is: a crash, any other
// exception or a broken property ends the run, and that is what the fuzzer
// reports.
//
// The same functions run under libFuzzer (FuzzEntry.cpp, one program per
// target, built by scripts/fuzz.sh) and replay the seed corpora of
// tests/fuzz/corpus/<name>/ in every ordinary build (ReplayTest.cpp), so an
// input once found stays found. A new target is a function, an entry in
// fuzzTargets() and a corpus directory of the same name.
#pragma once

#include <span>
#include <string_view>

#include "base/Fatal.h"

namespace kelvor::fuzz {

using FuzzTarget = void (*)(std::string_view input);

struct NamedTarget {
  std::string_view name;
  FuzzTarget run;
};

std::span<const NamedTarget> fuzzTargets();
const NamedTarget* findFuzzTarget(std::string_view name);

// Runs body; true when it ended without a fatal error.
template <class Body>
bool endsNormally(Body&& body) {
  try {
    body();
    return true;
  } catch (const FatalError&) {
    return false;
  }
}

// A property of the readers that the input broke: the message goes to
// standard error and the process aborts, which the fuzzer and the replay
// test both report.
[[noreturn]] void propertyBroken(std::string_view what, std::string_view input);

// The targets.
void fuzzTreeReader(std::string_view input);
void fuzzExampleLine(std::string_view input);
void fuzzExampleFile(std::string_view input);
void fuzzModelReader(std::string_view input);
void fuzzUserKernelLine(std::string_view input);
void fuzzNumberText(std::string_view input);
void fuzzLagrangianFile(std::string_view input);
void fuzzOptionParser(std::string_view input);

}  // namespace kelvor::fuzz
