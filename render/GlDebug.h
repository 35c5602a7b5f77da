// Strict GL: the driver's debug output and the checks that forgiving drivers
// (Mesa's software renderers among them) do not make for us. The game turns
// it on with FELIDORA_GL_DEBUG=1; the tests' context always has it.
//
// Every report is one line that begins with "GL: ": a driver message of type
// error, undefined or deprecated behaviour, or of high severity; a program
// that does not validate against the current state; or two active sampler
// uniforms of different types on one texture unit, which GL 3.3 forbids and
// strict drivers refuse at the draw.
#pragma once

#include <functional>
#include <string>
#include <vector>

class GlDebug {
public:
  // Receives each report line (without a line end).
  using Sink = std::function<void(const std::string& line)>;

  struct Program {
    std::string label;
    unsigned name;
  };

  // Installs the message callback on the current context, which must be a
  // debug context; messages arrive synchronously, inside the GL call that
  // caused them. Returns false (and installs nothing) on any other context.
  static bool install(Sink sink);
  static void uninstall();
  static bool installed();

  // Validates each program against the current GL state and checks its
  // sampler units; every finding goes to the sink. Does nothing when no sink
  // is installed.
  static void checkPrograms(const std::vector<Program>& programs);

  // The findings themselves, for callers without a sink.
  static std::string validationLog(unsigned program); // empty when valid
  static std::vector<std::string> samplerConflicts(unsigned program, const std::string& label);

  static constexpr const char* kPrefix = "GL: ";
};
