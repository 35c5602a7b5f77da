#include "render/Shader.h"

#include "app/Console.h"

#include <GL/glew.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

// Info logs come with a length that includes the terminating NUL, but a driver
// may report 0 or leave the NUL out; never read past what it wrote.
std::string logText(const std::vector<char>& buffer) {
  std::size_t end = 0;
  while (end < buffer.size() && buffer[end] != '\0')
    ++end;
  return std::string(buffer.data(), end);
}

} // namespace

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

unsigned Shader::compileStage(unsigned stageType, const std::string& path) {
  std::ifstream file(path);
  if (file.fail())
    fatalError("Die Shader-Datei konnte nicht geoeffnet werden: " + path);
  std::string source((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();

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

  GLint length = 0;
  glGetShaderiv(id, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> log(length > 0 ? static_cast<std::size_t>(length) : 0u);
  if (!log.empty())
    glGetShaderInfoLog(id, length, nullptr, log.data());
  fatalError("Der Shader konnte nicht kompiliert werden.", logText(log));
}

unsigned Shader::linkProgram(unsigned vertex, unsigned fragment) {
  GLuint id = glCreateProgram();
  if (id == 0)
    fatalError("Das Programm konnte nicht erstellt werden.");
  glAttachShader(id, vertex);
  glAttachShader(id, fragment);
  glBindFragDataLocation(id, 0, "fragColor");
  glLinkProgram(id);

  GLint status = 0;
  glGetProgramiv(id, GL_LINK_STATUS, &status);
  if (status != 0)
    return id;

  GLint length = 0;
  glGetProgramiv(id, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> log(length > 0 ? static_cast<std::size_t>(length) : 0u);
  if (!log.empty())
    glGetProgramInfoLog(id, length, nullptr, log.data());
  fatalError("Linken des Shader-Programms fehlgeschlagen.", logText(log));
}
