// The libFuzzer program of one target, named by KELVOR_FUZZ_TARGET when the
// program is built (see scripts/fuzz.sh). Not part of the test suite.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/FuzzTargets.h"

#ifndef KELVOR_FUZZ_TARGET
#error "KELVOR_FUZZ_TARGET names the target this program runs"
#endif

namespace {

const kelvor::fuzz::NamedTarget* target = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  target = kelvor::fuzz::findFuzzTarget(KELVOR_FUZZ_TARGET);
  if (target == nullptr) {
    std::fprintf(stderr, "no fuzz target named %s\n", KELVOR_FUZZ_TARGET);
    std::abort();
  }
  // The readers' progress and report lines would only slow the fuzzer down;
  // its own reports go to standard error.
  const int null = ::open("/dev/null", O_WRONLY);
  if (null < 0 || ::dup2(null, STDOUT_FILENO) < 0) std::abort();
  ::close(null);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  target->run({reinterpret_cast<const char*>(data), size});
  return 0;
}
