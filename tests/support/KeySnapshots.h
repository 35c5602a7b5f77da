// A frame's keys written as the list of keys held, for tests of recording,
// replay and the frame source.
#pragma once

#include "app/KeyFlags.h"

#include <cstddef>
#include <initializer_list>

namespace felidora::test {

inline KeySnapshot keysOf(std::initializer_list<GameKey> keys) {
  KeySnapshot snapshot;
  for (GameKey k : keys)
    snapshot.set(static_cast<std::size_t>(k));
  return snapshot;
}

} // namespace felidora::test
