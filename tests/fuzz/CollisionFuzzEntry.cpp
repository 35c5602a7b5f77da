// libFuzzer entry point: a failed check prints its description and aborts,
// which libFuzzer reports as a crash and saves the input.
#include "tests/fuzz/CollisionFuzz.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fault = felidora::fuzz::checkCollisionCase(data, size);
  if (!fault.empty()) {
    std::fprintf(stderr, "Collision check failed: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
