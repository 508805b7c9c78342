#include "core/Fatal.h"

#include <cstdio>
#include <iostream>

#include "core/StringEscape.h"

namespace kelvor {

void fail(const std::string& message) { throw FatalError(message); }

std::string quoteForMessage(std::string_view text, std::size_t limit) {
  std::string out;
  if (text.size() <= limit) {
    appendHaskellString(out, text);
  } else {
    appendHaskellString(out, text.substr(0, limit));
    out += "...";
  }
  return out;
}

void failNumberText(std::string_view text, std::string_view wantedType) {
  fail("Cannot read " + quoteForMessage(text) + " as " + std::string(wantedType));
}

void failIndex(std::int64_t index, std::int64_t lo, std::int64_t hi) {
  fail("Index " + std::to_string(index) + " out of bounds (" + std::to_string(lo) + "," +
       std::to_string(hi) + ")");
}

void failField(std::string_view field, std::string_view variant) {
  fail("Field " + std::string(field) + " read on a " + std::string(variant));
}

void failUncovered(std::string_view where) {
  fail("Case not covered in " + std::string(where));
}

int runProgram(const std::function<int()>& body) {
  try {
    return body();
  } catch (const FatalError& e) {
    std::cout.flush();
    std::fflush(stdout);
    std::cerr << "\nFail: " << e.what() << "\n";
    std::cerr.flush();
    return 1;
  }
}

}  // namespace kelvor
