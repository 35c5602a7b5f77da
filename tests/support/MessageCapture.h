// Redirects the game's message stream into a string for the lifetime of the
// object, so tests can compare the exact German texts.
#pragma once

#include <sstream>
#include <string>

namespace felidora::test {

class MessageCapture {
public:
  MessageCapture();
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  std::string text() const { return buffer_.str(); }
  void clear() { buffer_.str(""); }

private:
  std::ostringstream buffer_;
  std::ostream* previous_;
};

} // namespace felidora::test
