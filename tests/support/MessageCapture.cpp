#include "tests/support/MessageCapture.h"

#include "base/Console.h"

namespace felidora::test {

MessageCapture::MessageCapture() : previous_(&messageStream()) { setMessageStream(&buffer_); }

MessageCapture::~MessageCapture() { setMessageStream(previous_); }

} // namespace felidora::test
