// The strict GL check of the game's own programs: the lit, the depth and the
// water program, validated with the state the first frame draws with. Only
// with strict GL on (FELIDORA_GL_DEBUG=1, and always in the tests).
#pragma once

class Game;

void checkGamePrograms(const Game& game);
