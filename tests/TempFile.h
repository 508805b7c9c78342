// Files with given contents in a directory of this test process's own, so
// that tests running in parallel processes never share a file name.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "FatalMessage.h"
#include "base/InputFile.h"

namespace kelvor::testing {

// Ends with "/".
inline const std::string& testDir() {
  static const std::string dir = [] {
    std::string pattern = ::testing::TempDir() + "kelvor-test-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) ADD_FAILURE() << "cannot create a test directory";
    return std::string(buf.data()) + "/";
  }();
  // Gone with the process, files and all. Registered once the name is
  // complete, so the name outlives the clean-up.
  static const bool cleanedAtExit = [] {
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(dir, ignored);
    });
    return true;
  }();
  (void)cleanedAtExit;
  return dir;
}

inline std::string writeTempFile(const std::string& name, const std::string& contents) {
  const std::string path = testDir() + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
  return path;
}

inline std::shared_ptr<InputFile> openTemp(const std::string& name, const std::string& contents) {
  return std::make_shared<InputFile>(InputFile::open(writeTempFile(name, contents)));
}

}  // namespace kelvor::testing
