#include "app/Game.h"

#include "render/Shader.h"

#include <GL/glew.h>

Game::Game() {
  enemies.clear();
  windowWidth = 800;
  windowHeight = 600;
  mainShader = new Shader("Shader/OurVertexShader.vert", "Shader/OurFragmentShader.frag");
  shadowShader = new Shader("Shader/ShadowMap.vert", "Shader/ShadowMap.frag");
  waterShader = new Shader("Shader/Wasser.vert", "Shader/Wasser.frag");
  setupReflectionTarget();
}

Game::~Game() {
  glDeleteRenderbuffers(1, &reflectionDepthRenderbuffer);
  glDeleteFramebuffers(1, &reflectionFramebuffer);
  glDeleteTextures(1, &reflectionColorTexture);
  delete waterShader;
  delete shadowShader;
  delete mainShader;
}

void Game::setupReflectionTarget() {
  glUseProgram(waterShader->program);

  glGenTextures(1, &reflectionColorTexture);
  glBindTexture(GL_TEXTURE_2D, reflectionColorTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, windowWidth, windowHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

  glGenFramebuffers(1, &reflectionFramebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, reflectionFramebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, reflectionColorTexture, 0);

  glGenRenderbuffers(1, &reflectionDepthRenderbuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, reflectionDepthRenderbuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, windowWidth, windowHeight);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, reflectionDepthRenderbuffer);

  glUseProgram(waterShader->program);
  const unsigned p = waterShader->program;
  locProjectionModelView = glGetUniformLocation(p, "projectionModelView");
  locReflectionProjectionModelView = glGetUniformLocation(p, "reflectionProjectionModelView");
  locReflectionTexture = glGetUniformLocation(p, "reflectionTexture");
  locLichtposition = glGetUniformLocation(p, "lichtposition");
  locModelMatrix = glGetUniformLocation(p, "modelMatrix");
  locNormalMap = glGetUniformLocation(p, "normalMap");
  locTime = glGetUniformLocation(p, "time");
  locViewTranslation = glGetUniformLocation(p, "viewTranslation");

  glUniform1i(locNormalMap, 0);
  glUniform1i(locReflectionTexture, 2);
  glActiveTexture(GL_TEXTURE2);
  glBindTexture(GL_TEXTURE_2D, reflectionColorTexture);
  // the reflection framebuffer stays bound; the passes bind what they need
}

void Game::assembleLevel() {}

void Game::handleFunctionKeys() {}

void Game::applyTextureFiltering() {}

void Game::update(double dt) { (void)dt; }

void Game::render() {}

void Game::drawShadowCasters() {}

int Game::drawScene(glm::mat4 world, bool culling) {
  (void)world;
  (void)culling;
  return 0;
}
