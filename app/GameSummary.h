// One line with what decides a game: frames played, score, lives, health,
// enemies left and where the player is. A recording and its replay print it
// in the same format, so the two lines compare equal after their first word.
#pragma once

#include <string>

class Game;

std::string gameSummary(const Game& game, long long frames);
