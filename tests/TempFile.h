// Files with given contents in the test temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "FatalMessage.h"
#include "core/InputFile.h"

namespace kelvor::testing {

inline std::string writeTempFile(const std::string& name, const std::string& contents) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
  return path;
}

inline std::shared_ptr<InputFile> openTemp(const std::string& name, const std::string& contents) {
  return std::make_shared<InputFile>(InputFile::open(writeTempFile(name, contents)));
}

}  // namespace kelvor::testing
