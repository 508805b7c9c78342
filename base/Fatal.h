// The one way the library stops the program: throw FatalError. Only each
// program's main catches it (see runProgram); nothing in the library calls
// exit() or prints the failure itself.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvor {

class FatalError : public std::runtime_error {
 public:
  explicit FatalError(const std::string& message, bool located = false)
      : std::runtime_error(message), located_(located) {}
  // Whether the message already names the file line it arose at (see
  // base/LineLocation.h); an outer reader then adds no second location.
  bool located() const { return located_; }

 private:
  bool located_;
};

// Stops with the given message, which is printed as it stands.
[[noreturn]] void fail(const std::string& message);

// The four failure kinds whose wording is ours to choose. Each names the
// value or index involved; quoted texts are cut to a readable length.
[[noreturn]] void failNumberText(std::string_view text, std::string_view wantedType);
[[noreturn]] void failIndex(std::int64_t index, std::int64_t lo, std::int64_t hi);
[[noreturn]] void failField(std::string_view field, std::string_view variant);
[[noreturn]] void failUncovered(std::string_view where);

// A value that matched none of the alternatives the code provides. `where`
// is a location and a detail joined by "|", for example
// "NLP/FiniteMap:694|function findMin":
// "<location>: Non-exhaustive patterns in <detail>".
[[noreturn]] void failPattern(std::string_view where);

// A failure the user caused through a bad input file, reported with the
// text as its reason: "user error", a line break, "Reason: " and the text.
[[noreturn]] void failUser(const std::string& reason);

// A text quoted for a failure message: in double quotes, escaped like a
// string literal, and cut after `limit` bytes with "..." so that a 10 MB
// line does not become a 10 MB message.
std::string quoteForMessage(std::string_view text, std::size_t limit = 80);

// Only inside a catch block: the message with which the failure being
// handled stops the program. A FatalError gives its own; an exhausted
// resource says what ran out ("out of memory"); anything else is an
// internal error that names the exception.
std::string failureMessage();

// Runs a program's body. Whatever escapes it, a FatalError or any other
// exception, flushes standard output, writes "\nFail: <message>\n" (see
// failureMessage) to standard error and gives exit status 1: no input ends
// the program through std::terminate. A ProgramEnd (base/ProgramEnd.h) is no
// failure: it flushes standard output and gives its own status. Output lost
// at the end (see finishStandardOutput) is a failure. SIGPIPE and SIGXFSZ
// are ignored, so that a write to a closed pipe or beyond the file-size
// limit fails as a write and is reported like every other.
int runProgram(const std::function<int()>& body);

}  // namespace kelvor
