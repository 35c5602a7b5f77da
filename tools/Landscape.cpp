// Landscape height field, mesh and ground texture.
#include "tools/Landscape.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

#include "base/LevelLayout.h"
#include "tools/Canvas.h"

namespace {

constexpr float kCellSize = 2.0f * Landscape::kHalfSize / Landscape::kCells;

float smoothstep(float edge0, float edge1, float x) {
  const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}

float mix(float a, float b, float t) { return a + (b - a) * t; }

// Smooth minimum: never above min(a, b), rounds the crease over a width of k.
float smoothMin(float a, float b, float k) {
  const float h = std::max(k - std::fabs(a - b), 0.0f) / k;
  return std::min(a, b) - h * h * k * 0.25f;
}

float distanceToSegment(glm::vec2 p, glm::vec2 a, glm::vec2 b) {
  const glm::vec2 ab = b - a;
  const float t = std::clamp(glm::dot(p - a, ab) / glm::dot(ab, ab), 0.0f, 1.0f);
  return glm::length(p - (a + t * ab));
}

// The river runs from the southern mountains past the player's start into the bay.
const glm::vec2 kRiver[] = {{380, 2100}, {330, 1500}, {170, 1050},  {210, 700},    {120, 380},
                            {-60, 60},   {-30, -300}, {-180, -650}, {-120, -1000}, {-260, -1500}};

struct Lake {
  glm::vec2 centre;
  glm::vec2 radii;
};
const Lake kLakes[] = {{{760, -900}, {260, 190}}, {{-330, -330}, {210, 160}}, {{620, 700}, {150, 120}}};

constexpr float kRiverBed = 36.0f;
constexpr float kLakeBed = 30.0f;
constexpr float kSeaFloor = -70.0f;
// Ground kept this far below each enemy over the whole circle and its surroundings.
constexpr float kEnemyClearance = 62.0f;
constexpr float kEnemyFlatRadius = layout::kEnemyCircleRadius + 95.0f;

} // namespace

Landscape::Landscape() : noise(20240601u) {
  const int n = kCells + 1;
  heights.resize(n * n);
  normals.resize(n * n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const float x = -kHalfSize + i * kCellSize + layout::kLandscapeOffset.x;
      const float z = -kHalfSize + j * kCellSize + layout::kLandscapeOffset.z;
      heights[j * n + i] = designHeight(x, z);
    }
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const float dx = gridHeight(std::min(i + 1, kCells), j) - gridHeight(std::max(i - 1, 0), j);
      const float dz = gridHeight(i, std::min(j + 1, kCells)) - gridHeight(i, std::max(j - 1, 0));
      const float spanX = (std::min(i + 1, kCells) - std::max(i - 1, 0)) * kCellSize;
      const float spanZ = (std::min(j + 1, kCells) - std::max(j - 1, 0)) * kCellSize;
      normals[j * n + i] = glm::normalize(glm::vec3(-dx / spanX, 1.0f, -dz / spanZ));
    }
}

float Landscape::designHeight(float x, float z) const {
  // Rolling hills.
  float h = 150.0f + 120.0f * noise.fractal(x / 950.0f, z / 950.0f, 4) +
            35.0f * noise.fractal(x / 260.0f + 31.0f, z / 260.0f, 3);
  // Western highland.
  const float highland =
      std::exp(-((x + 1050.0f) * (x + 1050.0f) + (z - 620.0f) * (z - 620.0f)) / (2.0f * 430.0f * 430.0f));
  h += 140.0f * highland;
  // Mountains along the west, east and south edges, with an irregular foot.
  const float edge = std::max(std::fabs(x), z) + 260.0f * noise.fractal(x / 700.0f - 4.0f, z / 700.0f, 3);
  const float mountains = smoothstep(1250.0f, 1850.0f, edge);
  const float crest = noise.ridged(x / 900.0f + 5.0f, z / 900.0f, 4);
  h += mountains * (120.0f + 820.0f * crest * crest);
  // The bay: the ground falls to the sea floor towards the north edge, between the side ranges.
  const float sea = smoothstep(-1250.0f, -1750.0f, z + 140.0f * noise.fractal(x / 500.0f, 7.0f, 3)) *
                    (1.0f - smoothstep(1450.0f, 1900.0f, std::fabs(x)));
  h = mix(h, kSeaFloor + 15.0f * noise.fractal(x / 300.0f, z / 300.0f, 2), sea);
  // River valley.
  const glm::vec2 p(x, z);
  float river = 1e9f;
  for (size_t k = 0; k + 1 < std::size(kRiver); ++k)
    river = std::min(river, distanceToSegment(p, kRiver[k], kRiver[k + 1]));
  river += 18.0f * noise.fractal(x / 150.0f, z / 150.0f, 2);
  h = smoothMin(h, kRiverBed + std::max(0.0f, river - 30.0f) * 0.5f, 30.0f);
  // Lakes: shallow bowls with gentle shores.
  for (const Lake& lake : kLakes) {
    const glm::vec2 d = (p - lake.centre) / lake.radii;
    const float reach = (glm::length(d) - 1.0f) * std::min(lake.radii.x, lake.radii.y);
    h = smoothMin(h, kLakeBed + std::max(0.0f, reach + 40.0f) * 0.45f, 30.0f);
  }
  // Room for every enemy's circle, with a wide bowl around it.
  for (const glm::vec3& spawn : layout::kEnemySpawns) {
    const glm::vec3 centre = layout::enemyCircleCentre(spawn);
    const float d = glm::length(p - glm::vec2(centre.x, centre.z));
    h = smoothMin(h, spawn.y - kEnemyClearance + std::max(0.0f, d - kEnemyFlatRadius) * 0.8f, 25.0f);
  }
  // The player's first seconds of flight, with a wide margin.
  const float path = distanceToSegment(p, glm::vec2(0.0f, 480.0f), glm::vec2(0.0f, -80.0f));
  h = smoothMin(h, layout::kPlayerStart.y - 120.0f + std::max(0.0f, path - 80.0f) * 0.8f, 25.0f);
  return h;
}

float Landscape::forest(float x, float z) const {
  return smoothstep(0.15f, 0.45f, noise.fractal(x / 160.0f - 3.0f, z / 160.0f, 4));
}

float Landscape::meshHeight(float x, float z) const {
  const float gx = (x - layout::kLandscapeOffset.x + kHalfSize) / kCellSize;
  const float gz = (z - layout::kLandscapeOffset.z + kHalfSize) / kCellSize;
  const int i = std::clamp(static_cast<int>(std::floor(gx)), 0, kCells - 1);
  const int j = std::clamp(static_cast<int>(std::floor(gz)), 0, kCells - 1);
  const float fx = std::clamp(gx - i, 0.0f, 1.0f), fz = std::clamp(gz - j, 0.0f, 1.0f);
  const float a = gridHeight(i, j), b = gridHeight(i + 1, j), c = gridHeight(i + 1, j + 1), d = gridHeight(i, j + 1);
  // Each cell is split along its (i, j)-(i+1, j+1) diagonal, as in the mesh.
  if (fz >= fx)
    return a + fz * (d - a) + fx * (c - d);
  return a + fx * (b - a) + fz * (c - b);
}

glm::vec3 Landscape::meshNormal(float x, float z) const {
  const float gx = (x - layout::kLandscapeOffset.x + kHalfSize) / kCellSize;
  const float gz = (z - layout::kLandscapeOffset.z + kHalfSize) / kCellSize;
  const int i = std::clamp(static_cast<int>(std::floor(gx)), 0, kCells - 1);
  const int j = std::clamp(static_cast<int>(std::floor(gz)), 0, kCells - 1);
  const float fx = std::clamp(gx - i, 0.0f, 1.0f), fz = std::clamp(gz - j, 0.0f, 1.0f);
  const int n = kCells + 1;
  const glm::vec3 top = glm::mix(normals[j * n + i], normals[j * n + i + 1], fx);
  const glm::vec3 bottom = glm::mix(normals[(j + 1) * n + i], normals[(j + 1) * n + i + 1], fx);
  return glm::normalize(glm::mix(top, bottom, fz));
}

Mesh Landscape::trees() const {
  constexpr float kSpacing = 30.0f;
  constexpr float kTreeLine = 430.0f;
  // Trees stay this far from every enemy circle centre and from the player's first flight.
  constexpr float kEnemyKeepOut = 210.0f;
  constexpr float kStartKeepOut = 160.0f;
  Random random(99u);
  Mesh forestMesh;
  for (float z = -1900.0f; z <= 1900.0f; z += kSpacing)
    for (float x = -1900.0f; x <= 1900.0f; x += kSpacing) {
      const float px = x + random.range(-0.4f, 0.4f) * kSpacing, pz = z + random.range(-0.4f, 0.4f) * kSpacing;
      const float height = random.range(22.0f, 36.0f);
      const float shade = static_cast<float>(random.next() % 4);
      if (forest(px, pz) < 0.5f || random.range(0.0f, 1.0f) > 0.85f)
        continue;
      const float ground = meshHeight(px, pz);
      if (ground < layout::kWaterLevel + 8.0f || ground > kTreeLine || 1.0f - meshNormal(px, pz).y > 0.3f)
        continue;
      bool clear = distanceToSegment({px, pz}, {0.0f, 480.0f}, {0.0f, -80.0f}) > kStartKeepOut;
      for (const glm::vec3& spawn : layout::kEnemySpawns) {
        const glm::vec3 centre = layout::enemyCircleCentre(spawn);
        clear = clear && glm::length(glm::vec2(px - centre.x, pz - centre.z)) > kEnemyKeepOut;
      }
      if (!clear)
        continue;
      // Sunk a little into the ground so slopes show no gap under the trunk.
      const glm::vec3 base(px - layout::kLandscapeOffset.x, ground - layout::kLandscapeOffset.y - 2.0f,
                           pz - layout::kLandscapeOffset.z);
      const float radius = height * 0.3f;
      Mesh trunk = lathe({{radius * 0.18f, 0.0f}, {radius * 0.12f, height * 0.4f}}, 5);
      trunk.mapUvs({0.75f, 0.0f}, {0.25f, 1.0f});
      Mesh lower = lathe({{radius, height * 0.22f}, {0.0f, height * 0.8f}}, 7);
      Mesh upper = lathe({{radius * 0.72f, height * 0.5f}, {0.0f, height}}, 7);
      // Each tree takes one of four foliage shades.
      lower.mapUvs({shade * 0.1875f, 0.0f}, {0.1875f, 1.0f});
      upper.mapUvs({shade * 0.1875f, 0.0f}, {0.1875f, 1.0f});
      Mesh tree = trunk;
      tree.append(lower);
      tree.append(upper);
      const float turn = random.range(0.0f, 6.2831853f);
      tree.transform(glm::translate(glm::mat4(1.0f), base) * glm::rotate(glm::mat4(1.0f), turn, glm::vec3(0, 1, 0)));
      forestMesh.append(tree);
    }
  return forestMesh;
}

void Landscape::paintTrees(Canvas& canvas) {
  const double w = canvas.width(), h = canvas.height();
  const double shades[4][3] = {{0.13, 0.33, 0.14}, {0.17, 0.40, 0.16}, {0.11, 0.28, 0.16}, {0.22, 0.42, 0.14}};
  cairo_t* cr = canvas.context();
  for (int s = 0; s < 4; ++s) {
    cairo_rectangle(cr, s * 0.1875 * w, 0, 0.1875 * w, h);
    canvas.setColour(shades[s][0], shades[s][1], shades[s][2]);
    cairo_fill(cr);
  }
  // Needle layers: darker bands across the cones.
  for (int band = 0; band < 6; ++band) {
    cairo_rectangle(cr, 0, (band + 0.6) * h / 6.0, 0.75 * w, h / 24.0);
    canvas.setColour(0.04, 0.12, 0.05, 0.35);
    cairo_fill(cr);
  }
  cairo_rectangle(cr, 0.75 * w, 0, 0.25 * w, h);
  canvas.setColour(0.36, 0.24, 0.14);
  cairo_fill(cr);
}

Model Landscape::model(const std::string& groundTexture, const std::string& treeTexture) const {
  Mesh ground;
  const int n = kCells + 1;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const float xm = -kHalfSize + i * kCellSize, zm = -kHalfSize + j * kCellSize;
      ground.positions.emplace_back(xm, gridHeight(i, j) - layout::kLandscapeOffset.y, zm);
      ground.normals.push_back(normals[j * n + i]);
      // u east, v north: the texture reads like a map with north up.
      ground.uvs.emplace_back((xm + kHalfSize) / (2.0f * kHalfSize), (kHalfSize - zm) / (2.0f * kHalfSize));
    }
  for (int j = 0; j < kCells; ++j)
    for (int i = 0; i < kCells; ++i) {
      const uint32_t a = j * n + i, b = j * n + i + 1, c = (j + 1) * n + i + 1, d = (j + 1) * n + i;
      ground.indices.insert(ground.indices.end(), {a, d, c, a, c, b});
    }

  Model model;
  model.parts.push_back({"Boden", std::move(ground), groundTexture});
  model.parts.push_back({"Wald", trees(), treeTexture});
  // Dull ground: a faint sheen only.
  model.specular = glm::vec3(0.06f);
  model.shininess = 8.0f;
  // Light 0 is the sun and casts the shadows: high in the south-east, behind
  // and to the right of the player's starting view.
  model.lights.push_back({"Sonne", glm::vec3(900.0f, 1750.0f, 1200.0f) - layout::kLandscapeOffset,
                          glm::vec3(1.0f, 0.95f, 0.85f), 1.0f, 0.0f, 0.0f});
  // A faint blue sky light from the opposite side keeps shadowed slopes from going flat.
  model.lights.push_back({"Himmel", glm::vec3(-1600.0f, 1300.0f, -1500.0f) - layout::kLandscapeOffset,
                          glm::vec3(0.16f, 0.19f, 0.26f), 1.0f, 0.0f, 0.0f});
  return model;
}

namespace {

struct Colour {
  float r, g, b;
};

Colour blend(Colour a, Colour b, float t) { return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)}; }

} // namespace

void Landscape::bakeTexture(Canvas& canvas) const {
  const int size = canvas.width();
  const float texel = 2.0f * kHalfSize / static_cast<float>(size);
  canvas.beginPixels();
  for (int row = 0; row < size; ++row)
    for (int column = 0; column < size; ++column) {
      // Row 0 of the image is the north edge (model z = -kHalfSize).
      const float x = -kHalfSize + (column + 0.5f) * texel + layout::kLandscapeOffset.x;
      const float z = -kHalfSize + (row + 0.5f) * texel + layout::kLandscapeOffset.z;
      const float h = meshHeight(x, z);
      const glm::vec3 n = meshNormal(x, z);
      const float slope = 1.0f - n.y;
      const float wobble = noise.fractal(x / 90.0f, z / 90.0f, 3);
      const float grain = noise.gradient(x / 6.0f, z / 6.0f) * 0.5f + noise.gradient(x / 2.5f, z / 2.5f) * 0.5f;
      const float hn = h + 14.0f * wobble;

      // Grass: lush and dry meadows with darker thickets.
      const float meadow = noise.fractal(x / 420.0f + 11.0f, z / 420.0f, 4) * 0.5f + 0.5f;
      Colour ground = blend({0.27f, 0.45f, 0.15f}, {0.50f, 0.56f, 0.24f}, smoothstep(0.35f, 0.75f, meadow));
      const float thicket = forest(x, z);
      ground = blend(ground, {0.16f, 0.30f, 0.11f}, thicket * 0.8f);
      // Higher grass turns to alpine brown-green.
      ground = blend(ground, {0.42f, 0.43f, 0.28f}, smoothstep(300.0f, 460.0f, hn));
      // Sand along the water, wet and darker below it.
      const float beach = 1.0f - smoothstep(layout::kWaterLevel + 3.0f, layout::kWaterLevel + 9.0f, hn);
      ground = blend(ground, {0.80f, 0.73f, 0.52f}, beach);
      const float depth = smoothstep(layout::kWaterLevel, layout::kWaterLevel - 60.0f, h);
      ground = blend(ground, {0.36f, 0.38f, 0.28f}, depth);
      // Rock on steep slopes and high up, with strata.
      const float strata = 0.5f + 0.5f * std::sin(h / 23.0f + 4.0f * wobble);
      const Colour rockColour =
          blend({0.45f, 0.42f, 0.38f}, {0.55f, 0.52f, 0.48f}, 0.6f * strata + 0.4f * (0.5f + 0.5f * grain));
      const float rock =
          std::max(smoothstep(0.22f, 0.38f, slope + 0.08f * wobble) * (1.0f - depth), smoothstep(470.0f, 560.0f, hn));
      ground = blend(ground, rockColour, rock);
      // Snow on the peaks, not on the steepest faces.
      const float snow = smoothstep(580.0f, 650.0f, hn + 30.0f * wobble) * (1.0f - smoothstep(0.35f, 0.6f, slope));
      ground = blend(ground, {0.93f, 0.95f, 0.98f}, snow);

      // Tufts and patches give the ground texture up close.
      const float patches = noise.fractal(x / 35.0f + 71.0f, z / 35.0f, 2);
      const float shade = 1.0f + 0.16f * grain + 0.10f * patches;
      auto channel = [shade](float c) {
        return static_cast<uint8_t>(std::clamp(c * shade * 255.0f + 0.5f, 0.0f, 255.0f));
      };
      canvas.setPixel(column, row, channel(ground.r), channel(ground.g), channel(ground.b));
    }
  canvas.endPixels();
}
