#include "app/GameProgramCheck.h"

#include "app/Game.h"
#include "render/GlDebug.h"
#include "render/Shader.h"

void checkGamePrograms(const Game& game) {
  if (!GlDebug::installed())
    return;
  GlDebug::checkPrograms({{"Hauptprogramm", game.mainShader->program},
                          {"Schattenprogramm", game.shadowShader->program},
                          {"Wasserprogramm", game.waterShader->program}});
}
