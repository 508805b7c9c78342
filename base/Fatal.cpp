#include "base/Fatal.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <new>
#include <stdexcept>

#include "base/Console.h"
#include "base/ProgramEnd.h"
#include "base/StringEscape.h"

namespace kelvor {

void fail(const std::string& message) { throw FatalError(message); }

void failUser(const std::string& reason) { fail("user error\nReason: " + reason); }

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

void failUncovered(std::string_view where) { fail("Case not covered in " + std::string(where)); }

namespace {

[[noreturn]] void failAtLocation(std::string_view where, std::string_view kind) {
  const std::size_t bar = where.find('|');
  std::string message(where.substr(0, bar));
  message += ": ";
  message += kind;
  if (bar != std::string_view::npos) {
    message += ' ';
    message += where.substr(bar + 1);
  }
  fail(message);
}

}  // namespace

void failPattern(std::string_view where) { failAtLocation(where, "Non-exhaustive patterns in"); }

std::string failureMessage() {
  try {
    throw;
  } catch (const FatalError& e) {
    return e.what();
  } catch (const std::bad_alloc&) {
    return "out of memory";
  } catch (const std::length_error&) {
    return "out of memory: a size beyond what this machine can address was asked for";
  } catch (const std::exception& e) {
    return std::string("internal error: ") + e.what();
  } catch (...) {
    return "internal error: an unknown exception";
  }
}

int runProgram(const std::function<int()>& body) {
  // A write to a pipe whose reader has gone, or beyond the file-size limit,
  // must fail like any other write and be reported, naming the file, rather
  // than end the program silently through the signal it raises.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    int status;
    try {
      status = body();
    } catch (const ProgramEnd& end) {
      status = end.status;
    }
    finishStandardOutput();
    return status;
  } catch (...) {
    std::cout.flush();
    std::fflush(stdout);
    // Building the message can itself run out of memory; the failure is
    // reported all the same.
    std::string message;
    try {
      message = failureMessage();
    } catch (...) {
      std::fputs("\nFail: out of memory\n", stderr);
      return 1;
    }
    std::cerr << "\nFail: " << message << "\n";
    std::cerr.flush();
    return 1;
  }
}

}  // namespace kelvor
