// Routes the game's message stream into a string for the lifetime of one
// fuzz case, so that warnings the case provokes on purpose stay off the
// fuzzer's output; the previous stream comes back afterwards.
#pragma once

#include "base/Console.h"

#include <sstream>

namespace felidora::fuzz {

class MessageSink {
public:
  MessageSink() : previous_(&messageStream()) { setMessageStream(&sink_); }
  ~MessageSink() { setMessageStream(previous_); }
  MessageSink(const MessageSink&) = delete;
  MessageSink& operator=(const MessageSink&) = delete;

private:
  std::ostringstream sink_;
  std::ostream* previous_;
};

} // namespace felidora::fuzz
