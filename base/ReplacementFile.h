// A file that replaces its target only when it is complete: it is written
// as a temporary file beside the target and renamed over it at commit().
// Until then, and whenever writing fails, the target keeps its old content;
// a temporary file that was not committed is removed.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "base/OutputFile.h"

namespace kelvor {

class ReplacementFile {
 public:
  explicit ReplacementFile(std::string target);
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;
  ~ReplacementFile();

  void write(std::string_view text) { file_.write(text); }
  // Flushes, forces the data to the device, and renames over the target.
  void commit();

 private:
  ReplacementFile(std::pair<std::string, int> temporary, std::string target);

  std::string target_;
  std::string temporary_;
  OutputFile file_;
  bool committed_ = false;
};

}  // namespace kelvor
