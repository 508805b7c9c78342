#include "base/LineLocation.h"

#include "base/Fatal.h"
#include "base/NumberText.h"

namespace kelvor {

std::string locationLine(std::string_view path, std::int64_t line) {
  std::string out = "at ";
  out += path;
  out += ':';
  appendInt(out, line);
  return out;
}

std::string withLocation(std::string message, std::string_view path, std::int64_t line) {
  message += '\n';
  message += locationLine(path, line);
  return message;
}

namespace {

// Rethrows a failure that already names its line.
void rethrowIfLocated() {
  try {
    throw;
  } catch (const FatalError& e) {
    if (e.located()) throw;
  } catch (...) {
  }
}

}  // namespace

void rethrowAtLine(std::string_view path, std::int64_t line) {
  rethrowIfLocated();
  throw FatalError(withLocation(failureMessage(), path, line), /*located=*/true);
}

void rethrowAtOffset(InputFile& file, std::int64_t offset) {
  rethrowIfLocated();
  rethrowAtLine(file.path(), file.lineNumberAt(offset));
}

}  // namespace kelvor
