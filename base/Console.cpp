#include "base/Console.h"

#include "base/Platform.h"

#include <cstdlib>
#include <iostream>

namespace {
std::ostream* gStream = nullptr;
}

std::ostream& messageStream() { return gStream ? *gStream : std::cout; }

void setMessageStream(std::ostream* stream) { gStream = stream; }

void fatalError(const std::string& message) {
  messageStream() << message << std::endl;
  waitForKeyIfInteractive();
  std::exit(-1);
}

void fatalError(const std::string& message, const std::string& detail) {
  messageStream() << message << std::endl << detail << std::endl;
  waitForKeyIfInteractive();
  std::exit(-1);
}
