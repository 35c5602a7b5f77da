#include "render/Shader.h"

#include "base/Console.h"
#include "render/GlFlavour.h"

#include <GL/glew.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

// Info logs come with a length that includes the terminating NUL, but a driver
// may report 0 or leave the NUL out; never read past what it wrote.
template <typename GetParameter, typename GetLog>
std::string infoLog(GLuint id, GetParameter getParameter, GetLog getLog) {
  GLint length = 0;
  getParameter(id, GL_INFO_LOG_LENGTH, &length);
  if (length <= 0)
    return "";
  std::vector<char> buffer(static_cast<std::size_t>(length), '\0');
  getLog(id, length, nullptr, buffer.data());
  std::size_t end = 0;
  while (end < buffer.size() && buffer[end] != '\0')
    ++end;
  return std::string(buffer.data(), end);
}

} // namespace

std::string Shader::stageLog(unsigned stage) { return infoLog(stage, glGetShaderiv, glGetShaderInfoLog); }

std::string Shader::programLog(unsigned program) { return infoLog(program, glGetProgramiv, glGetProgramInfoLog); }

Shader::Shader(std::string vertexPath, std::string fragmentPath) {
  projectionMatrix = glm::mat4(1.0f);
  viewMatrix = glm::mat4(1.0f);
  vertexShader = compileStage(GL_VERTEX_SHADER, vertexPath);
  fragmentShader = compileStage(GL_FRAGMENT_SHADER, fragmentPath);
  program = linkProgram(vertexShader, fragmentShader);
}

Shader::~Shader() {
  glDeleteProgram(program);
  glDeleteShader(vertexShader);
  glDeleteShader(fragmentShader);
}

void Shader::use() const { glUseProgram(program); }

void Shader::useNone() { glUseProgram(0); }

unsigned Shader::compileStage(unsigned stageType, const std::string& path) {
  std::ifstream file(path);
  if (file.fail())
    fatalError("Die Shader-Datei konnte nicht geoeffnet werden: " + path);
  std::string source((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();
  // one source for both GLs: the first lines are the flavour's
  source = render::withShaderHeader(source, render::glFlavour(), render::glFeatures(), stageType == GL_VERTEX_SHADER);

  GLuint id = glCreateShader(stageType);
  if (id == 0)
    fatalError("Es konnte kein Shader erstellt werden.");
  const char* text = source.c_str();
  glShaderSource(id, 1, &text, nullptr);
  glCompileShader(id);

  GLint status = 0;
  glGetShaderiv(id, GL_COMPILE_STATUS, &status);
  if (status != 0 && glIsShader(id))
    return id;

  fatalError("Der Shader konnte nicht kompiliert werden.", stageLog(id));
}

unsigned Shader::linkProgram(unsigned vertex, unsigned fragment) {
  GLuint id = glCreateProgram();
  if (id == 0)
    fatalError("Das Programm konnte nicht erstellt werden.");
  glAttachShader(id, vertex);
  glAttachShader(id, fragment);
  // "fragColor" is bound to colour 0 by its layout in the source (ES has no
  // glBindFragDataLocation)
  glLinkProgram(id);

  GLint status = 0;
  glGetProgramiv(id, GL_LINK_STATUS, &status);
  if (status != 0)
    return id;

  fatalError("Linken des Shader-Programms fehlgeschlagen.", programLog(id));
}
