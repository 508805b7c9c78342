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
  if (message.empty() || message.back() != '\n') message += '\n';
  message += locationLine(path, line);
  return message;
}

void rethrowAtLine(std::string_view path, std::int64_t line) {
  throw FatalError(withLocation(failureMessage(), path, line));
}

}  // namespace kelvor
