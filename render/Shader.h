// One linked GLSL program built from a vertex and a fragment file. It keeps
// copies of the projection and view last uploaded to it, so draw code can form
// its matrix products on the CPU without asking GL. Any failure to read,
// compile or link is fatal: the game cannot run without its programs.
#pragma once

#include "render/TriangleSieve.h"

#include <glm/glm.hpp>

#include <string>

class ScreenReach;

class Shader {
public:
  Shader(std::string vertexPath, std::string fragmentPath);
  virtual ~Shader();
  Shader(const Shader&) = delete;
  Shader& operator=(const Shader&) = delete;

  // Makes this the current program; useNone() leaves none current.
  void use() const;
  static void useNone();
  unsigned getProgram() const { return program; }

  // GL names
  unsigned vertexShader = 0;
  unsigned fragmentShader = 0;
  unsigned program = 0;
  // matrices last uploaded to this program (never uploaded by Shader itself)
  glm::mat4 projectionMatrix{1.0f};
  glm::mat4 viewMatrix{1.0f};
  // While a pass's target matters only in part: the culled draws through
  // this program leave out what cannot cover that part. Null: all of it.
  const ScreenReach* reach = nullptr;
  // While a surface laid its depth first (the monitor's screen in the main
  // pass): the sifted draws through this program leave out what it hides.
  TriangleSieve::Cover cover;

  // The driver's info log of a shader stage or a program ("" when empty).
  static std::string stageLog(unsigned stage);
  static std::string programLog(unsigned program);

private:
  static unsigned compileStage(unsigned stageType, const std::string& path);
  static unsigned linkProgram(unsigned vertex, unsigned fragment);
};
