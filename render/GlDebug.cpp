#include "render/GlDebug.h"

#include "render/Shader.h"

#include <GL/glew.h>

#include <utility>

namespace {

GlDebug::Sink gSink;

// Driver texts may span lines; a report stays on one.
std::string oneLine(const char* text, std::size_t length) {
  std::string line(text, length);
  for (char& c : line)
    if (c == '\n' || c == '\r')
      c = ' ';
  while (!line.empty() && line.back() == ' ')
    line.pop_back();
  return line;
}

void report(const std::string& text) {
  if (gSink)
    gSink(GlDebug::kPrefix + text);
}

#ifndef __EMSCRIPTEN__
void GLAPIENTRY onMessage(GLenum, GLenum type, GLuint, GLenum severity, GLsizei length, const GLchar* message,
                          const void*) {
  const bool wrong = type == GL_DEBUG_TYPE_ERROR || type == GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR ||
                     type == GL_DEBUG_TYPE_DEPRECATED_BEHAVIOR;
  if (!wrong && severity != GL_DEBUG_SEVERITY_HIGH)
    return; // performance hints and chatter
  const std::size_t size = length >= 0 ? static_cast<std::size_t>(length) : std::char_traits<char>::length(message);
  report(oneLine(message, size));
}
#endif

// The GLSL name of a sampler type, or nullptr for any other uniform type.
const char* samplerTypeName(GLenum type) {
  switch (type) {
  case GL_SAMPLER_1D: return "sampler1D";
  case GL_SAMPLER_2D: return "sampler2D";
  case GL_SAMPLER_3D: return "sampler3D";
  case GL_SAMPLER_CUBE: return "samplerCube";
  case GL_SAMPLER_1D_SHADOW: return "sampler1DShadow";
  case GL_SAMPLER_2D_SHADOW: return "sampler2DShadow";
  case GL_SAMPLER_1D_ARRAY: return "sampler1DArray";
  case GL_SAMPLER_2D_ARRAY: return "sampler2DArray";
  case GL_SAMPLER_1D_ARRAY_SHADOW: return "sampler1DArrayShadow";
  case GL_SAMPLER_2D_ARRAY_SHADOW: return "sampler2DArrayShadow";
  case GL_SAMPLER_2D_MULTISAMPLE: return "sampler2DMS";
  case GL_SAMPLER_2D_MULTISAMPLE_ARRAY: return "sampler2DMSArray";
  case GL_SAMPLER_CUBE_SHADOW: return "samplerCubeShadow";
  case GL_SAMPLER_BUFFER: return "samplerBuffer";
  case GL_SAMPLER_2D_RECT: return "sampler2DRect";
  case GL_SAMPLER_2D_RECT_SHADOW: return "sampler2DRectShadow";
  case GL_INT_SAMPLER_1D: return "isampler1D";
  case GL_INT_SAMPLER_2D: return "isampler2D";
  case GL_INT_SAMPLER_3D: return "isampler3D";
  case GL_INT_SAMPLER_CUBE: return "isamplerCube";
  case GL_INT_SAMPLER_1D_ARRAY: return "isampler1DArray";
  case GL_INT_SAMPLER_2D_ARRAY: return "isampler2DArray";
  case GL_INT_SAMPLER_2D_MULTISAMPLE: return "isampler2DMS";
  case GL_INT_SAMPLER_2D_MULTISAMPLE_ARRAY: return "isampler2DMSArray";
  case GL_INT_SAMPLER_BUFFER: return "isamplerBuffer";
  case GL_INT_SAMPLER_2D_RECT: return "isampler2DRect";
  case GL_UNSIGNED_INT_SAMPLER_1D: return "usampler1D";
  case GL_UNSIGNED_INT_SAMPLER_2D: return "usampler2D";
  case GL_UNSIGNED_INT_SAMPLER_3D: return "usampler3D";
  case GL_UNSIGNED_INT_SAMPLER_CUBE: return "usamplerCube";
  case GL_UNSIGNED_INT_SAMPLER_1D_ARRAY: return "usampler1DArray";
  case GL_UNSIGNED_INT_SAMPLER_2D_ARRAY: return "usampler2DArray";
  case GL_UNSIGNED_INT_SAMPLER_2D_MULTISAMPLE: return "usampler2DMS";
  case GL_UNSIGNED_INT_SAMPLER_2D_MULTISAMPLE_ARRAY: return "usampler2DMSArray";
  case GL_UNSIGNED_INT_SAMPLER_BUFFER: return "usamplerBuffer";
  case GL_UNSIGNED_INT_SAMPLER_2D_RECT: return "usampler2DRect";
  default: return nullptr;
  }
}

struct Sampler {
  std::string name;
  GLenum type;
  GLint unit;
};

// Every active sampler of the program with the unit it reads, one entry per
// array element.
std::vector<Sampler> activeSamplers(GLuint program) {
  std::vector<Sampler> samplers;
  GLint count = 0, longest = 0;
  glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
  glGetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
  std::vector<GLchar> buffer(static_cast<std::size_t>(longest > 0 ? longest : 1));
  for (GLint i = 0; i < count; ++i) {
    GLint size = 0;
    GLenum type = 0;
    GLsizei length = 0;
    glGetActiveUniform(program, static_cast<GLuint>(i), static_cast<GLsizei>(buffer.size()), &length, &size, &type,
                       buffer.data());
    if (!samplerTypeName(type))
      continue;
    std::string name(buffer.data(), static_cast<std::size_t>(length));
    // an array reports itself as "name[0]"
    const std::size_t bracket = name.find('[');
    const std::string base = bracket == std::string::npos ? name : name.substr(0, bracket);
    for (GLint element = 0; element < size; ++element) {
      const std::string elementName = size > 1 ? base + "[" + std::to_string(element) + "]" : name;
      const GLint location = glGetUniformLocation(program, elementName.c_str());
      if (location < 0)
        continue;
      GLint unit = 0;
      glGetUniformiv(program, location, &unit);
      samplers.push_back({size > 1 ? elementName : base, type, unit});
    }
  }
  return samplers;
}

} // namespace

// WebGL has no debug output: the browser's console reports its errors itself,
// so in the browser nothing is installed and the checks stay off.
bool GlDebug::install(Sink sink) {
#ifdef __EMSCRIPTEN__
  (void)sink;
  return false;
#else
  GLint flags = 0;
  glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
  if (!(flags & GL_CONTEXT_FLAG_DEBUG_BIT) || !glDebugMessageCallback || !glDebugMessageControl)
    return false;
  gSink = std::move(sink);
  glEnable(GL_DEBUG_OUTPUT);
  // in the call that caused it, so a report follows what the game printed
  // before and a test sees it while it runs
  glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
  // low-severity messages are off by default; the kinds we report are not
  for (GLenum type : {GL_DEBUG_TYPE_ERROR, GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR, GL_DEBUG_TYPE_DEPRECATED_BEHAVIOR})
    glDebugMessageControl(GL_DONT_CARE, type, GL_DONT_CARE, 0, nullptr, GL_TRUE);
  glDebugMessageCallback(onMessage, nullptr);
  return true;
#endif
}

void GlDebug::uninstall() {
#ifndef __EMSCRIPTEN__
  if (gSink && glDebugMessageCallback)
    glDebugMessageCallback(nullptr, nullptr);
#endif
  gSink = nullptr;
}

bool GlDebug::installed() { return static_cast<bool>(gSink); }

std::string GlDebug::validationLog(unsigned program) {
  glValidateProgram(program);
  GLint valid = 0;
  glGetProgramiv(program, GL_VALIDATE_STATUS, &valid);
  if (valid)
    return "";
  const std::string log = Shader::programLog(program);
  const std::string text = oneLine(log.data(), log.size());
  return text.empty() ? "(kein Protokoll)" : text;
}

std::vector<std::string> GlDebug::samplerConflicts(unsigned program, const std::string& label) {
  std::vector<std::string> conflicts;
  const std::vector<Sampler> samplers = activeSamplers(program);
  for (std::size_t a = 0; a < samplers.size(); ++a)
    for (std::size_t b = a + 1; b < samplers.size(); ++b) {
      const Sampler& first = samplers[a];
      const Sampler& second = samplers[b];
      if (first.unit != second.unit || first.type == second.type)
        continue;
      conflicts.push_back(label + ": Sampler \"" + first.name + "\" (" + samplerTypeName(first.type) + ") und \"" +
                          second.name + "\" (" + samplerTypeName(second.type) + ") auf derselben Textureinheit " +
                          std::to_string(first.unit));
    }
  return conflicts;
}

void GlDebug::checkPrograms(const std::vector<Program>& programs) {
  if (!installed())
    return;
  for (const Program& program : programs) {
    const std::string log = validationLog(program.name);
    if (!log.empty())
      report(program.label + " ist ungueltig: " + log);
    for (const std::string& conflict : samplerConflicts(program.name, program.label))
      report(conflict);
  }
}
