#include "app/GameSummary.h"

#include "app/Game.h"
#include "objects/Schnecke.h"

#include <cstdio>

std::string gameSummary(const Game& game, long long frames) {
  const Schnecke* player = game.player;
  const glm::vec3 at = game.playerPosition();
  char line[256];
  std::snprintf(line, sizeof line,
                "%lld Bilder, Punkte %d, Leben %d, Gesundheit %d, Gegner %zu, Position (%.3f, %.3f, %.3f)", frames,
                player ? player->score : 0, player ? player->lives : 0, player ? player->health : 0,
                game.enemies.size(), at.x, at.y, at.z);
  return line;
}
