// A temp folder of this test process's own. CTest runs the tests of one binary
// in parallel processes, and two writers of one file make a torn read for both.
#pragma once

#include <string>

namespace felidora::test {

class ProcessFolder {
public:
  explicit ProcessFolder(const std::string& prefix);
  ~ProcessFolder();
  ProcessFolder(const ProcessFolder&) = delete;
  ProcessFolder& operator=(const ProcessFolder&) = delete;

  std::string file(const std::string& name) const { return path_ + name; }

private:
  int owner_;
  std::string path_;
};

} // namespace felidora::test
