#include "tests/support/ProcessFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace felidora::test {

ProcessFolder::ProcessFolder(const std::string& prefix)
    : owner_(getpid()), path_(::testing::TempDir() + prefix + std::to_string(owner_) + "/") {
  std::filesystem::create_directories(path_);
}

// Only the process that made the folder removes it: a death test's forked
// child exits too.
ProcessFolder::~ProcessFolder() {
  std::error_code ignored;
  if (getpid() == owner_)
    std::filesystem::remove_all(path_, ignored);
}

} // namespace felidora::test
