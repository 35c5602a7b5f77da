#include "tests/support/RecordedEvents.h"

#include <algorithm>

namespace felidora::test {

int RecordedEvents::count(const std::string& event) const {
  return static_cast<int>(std::count(heard.begin(), heard.end(), event));
}

} // namespace felidora::test
