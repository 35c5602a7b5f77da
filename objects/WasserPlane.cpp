#include "objects/WasserPlane.h"

#include "app/Game.h"
#include "base/ContentFiles.h"
#include "objects/LevelScene.h"
#include "render/Shader.h"
#include "render/TextureUnits.h"

#include <GL/glew.h>
#include <glm/gtc/type_ptr.hpp>

WasserPlane::WasserPlane(const glm::vec3& position, Shader* shader, Shader* shadowShader)
    : SceneObject(position, shader, shadowShader) {
  loadModel(content::kWaterModel);
  uploadMeshes();
}

void WasserPlane::update(double, Game*) {}

// The reflection texture has waited on its unit since the game was built.
void WasserPlane::drawWaterSurface(Game* game, Shader* waterShader, glm::mat4 mirror) {
  const glm::mat4& projection = shader->projectionMatrix;
  const glm::mat4& view = shader->viewMatrix;
  waterShader->use();
  const glm::mat4 projectionModelView = projection * view * modelMatrix;
  glUniformMatrix4fv(game->locProjectionModelView, 1, GL_FALSE, glm::value_ptr(projectionModelView));
  // The reflection pass drew the world as projection x view x mirror x model;
  // the water looks its texture up through the same product, so each point of
  // the surface finds what the reflection pass drew there. (Mirroring after
  // the view instead would flip view-space heights and look far off screen.)
  const glm::mat4 reflectionProjectionModelView = projection * view * mirror * modelMatrix;
  glUniformMatrix4fv(game->locReflectionProjectionModelView, 1, GL_FALSE,
                     glm::value_ptr(reflectionProjectionModelView));
  if (game->level && !game->level->lights.empty())
    glUniform3fv(game->locLichtposition, 1, game->level->lights[0]->position);
  glUniform3fv(game->locViewTranslation, 1, glm::value_ptr(view) + 12);
  glUniformMatrix4fv(game->locModelMatrix, 1, GL_FALSE, glm::value_ptr(modelMatrix));
  glUniform1f(game->locTime, game->elapsedTime);

  for (std::size_t i = 0; i < meshes.size(); ++i) {
    glActiveTexture(GL_TEXTURE0 + render::kColorTextureUnit);
    glBindTexture(GL_TEXTURE_2D, textures[i]);
    drawMesh(i, nullptr);
  }
}
