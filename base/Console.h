// The game's one message channel. Every German message goes through
// messageStream() (standard output unless a test swaps it), and every fatal
// failure ends through fatalError().
#pragma once

#include <ostream>
#include <string>

std::ostream& messageStream();

// nullptr restores standard output.
void setMessageStream(std::ostream* stream);

// Prints the message and a line end (and the detail as a second line when
// given), waits for Enter where a person sits at a terminal, then exits -1.
[[noreturn]] void fatalError(const std::string& message);
[[noreturn]] void fatalError(const std::string& message, const std::string& detail);
