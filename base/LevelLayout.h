// The fixed numbers that the game and its content generator share, so that
// the generated landscape can never drift from the game: the places of the
// one level that the landscape is shaped around (where the player starts,
// where the seventeen enemies circle, where the water lies, where the
// landscape model is put).
#pragma once

#include <array>

#include <glm/glm.hpp>

namespace layout {

constexpr float kWaterLevel = 60.0f;
// The game places the landscape model at (1, 1, 1); model y = world y - 1.
constexpr glm::vec3 kLandscapeOffset{1.0f, 1.0f, 1.0f};

constexpr glm::vec3 kPlayerStart{0.0f, 500.0f, 400.0f};
// Ten seconds of straight flight at 40 units per second towards -Z.
constexpr glm::vec3 kPlayerStraightEnd{0.0f, 500.0f, 0.0f};

// Enemies fly 20 units per second while turning left at 45 degrees per second:
// a circle of radius 20 / (pi / 4) whose centre lies that far to their -X side.
constexpr float kEnemyCircleRadius = 25.4647909f;

constexpr std::array<glm::vec3, 17> kEnemySpawns{{
    {-417, 213, 40},
    {409, 359, 407},
    {409, 359, 480},
    {657, 252, -56},
    {542, 252, -56},
    {830, 217, -820},
    {830, 217, -924},
    {851, 182, -880},
    {666, 182, -880},
    {118, 259, -880},
    {118, 328, -880},
    {-505, 202, -1015},
    {-972, 399, 588},
    {-972, 399, 399},
    {-972, 399, 832},
    {-944, 415, 709},
    {-1094, 415, 709},
}};

inline glm::vec3 enemyCircleCentre(const glm::vec3& spawn) { return spawn - glm::vec3(kEnemyCircleRadius, 0, 0); }

} // namespace layout
