// The game's models. Each mesh is built from a few shapes and has its own
// texture painted with cairo; texture v runs upwards (row 0 of a PNG is v = 1),
// the way the game's image loader hands pictures to GL.
#include "tools/Models.h"

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

#include "base/ContentFiles.h"
#include "tools/Canvas.h"
#include "tools/HudStyle.h"
#include "tools/Landscape.h"
#include "tools/Model.h"
#include "tools/Noise.h"

namespace {

constexpr float kPi = 3.14159265358979f;

glm::mat4 translate(glm::vec3 v) { return glm::translate(glm::mat4(1.0f), v); }
glm::mat4 rotateX(float degrees) { return glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(1, 0, 0)); }
glm::mat4 rotateY(float degrees) { return glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(0, 1, 0)); }
glm::mat4 rotateZ(float degrees) { return glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(0, 0, 1)); }
glm::mat4 scale(glm::vec3 v) { return glm::scale(glm::mat4(1.0f), v); }
// Turns a shape built along +Y (lathe axis) to point along -Z, the models' forward.
glm::mat4 alongForward() { return rotateX(-90.0f); }

struct Rgb {
  double r, g, b;
};

void fill(Canvas& canvas, Rgb c) {
  canvas.setColour(c.r, c.g, c.b);
  cairo_paint(canvas.context());
}

// Short curved strokes scattered over the texture: fur, wool fibres, grain.
void strokes(Canvas& canvas, Random& random, int count, const std::vector<Rgb>& colours, double length, double width,
             double alpha, double angle = -1.0) {
  cairo_t* cr = canvas.context();
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, width);
  for (int i = 0; i < count; ++i) {
    const Rgb& c = colours[random.next() % colours.size()];
    const double x = random.range(0, canvas.width()), y = random.range(0, canvas.height());
    const double a = angle >= 0.0 ? angle + random.range(-0.4f, 0.4f) : random.range(0.0f, 2.0f * kPi);
    const double bend = random.range(-0.5f, 0.5f);
    const double dx = std::cos(a) * length, dy = std::sin(a) * length;
    canvas.setColour(c.r, c.g, c.b, alpha);
    cairo_move_to(cr, x, y);
    cairo_curve_to(cr, x + dx * 0.3 - dy * bend, y + dy * 0.3 + dx * bend, x + dx * 0.7 - dy * bend,
                   y + dy * 0.7 + dx * bend, x + dx, y + dy);
    cairo_stroke(cr);
  }
}

// Writes one texture and names it for the model.
std::string saveTexture(Canvas& canvas, const std::string& folder, const std::string& name) {
  canvas.savePng(folder + "/" + content::kModelFolder + "/" + name);
  return name;
}

void saveModel(const Model& model, const std::string& folder, const std::string& path,
               std::vector<GeneratedFile>& files) {
  writeCollada(model, folder + "/" + path);
  files.push_back({path, model.triangleCount()});
}

// Canvas y of texture coordinate v.
double rowOf(const Canvas& canvas, double v) { return (1.0 - v) * canvas.height(); }

// The landscape with its baked ground texture and the scene's lights.
void landscape(const std::string& folder, std::vector<GeneratedFile>& files) {
  Landscape land;
  Canvas ground(Landscape::kTextureSize, Landscape::kTextureSize);
  land.bakeTexture(ground);
  Canvas trees(128, 128);
  Landscape::paintTrees(trees);
  saveModel(
      land.model(saveTexture(ground, folder, "UmgebungBoden.png"), saveTexture(trees, folder, "UmgebungWald.png")),
      folder, content::kLevelModel, files);
}

// Tileable water normal map: a few travelling swells plus fine ripples, all
// whole multiples of the tile so the pattern repeats without seams.
void water(const std::string& folder, std::vector<GeneratedFile>& files) {
  constexpr int kSize = 512;
  constexpr float kHalfExtent = 6500.0f; // reaches the far plane in every direction
  constexpr float kTileRepeats = 130.0f; // one tile per 100 units
  const Noise noise(7u);
  struct Wave {
    int kx, ky;
    float amplitude, phase;
  };
  const Wave waves[] = {{1, 2, 0.035f, 0.3f}, {3, -1, 0.025f, 1.7f},  {-2, 3, 0.018f, 4.1f},
                        {5, 2, 0.010f, 2.2f}, {-4, -5, 0.008f, 5.3f}, {7, -3, 0.006f, 0.9f}};
  std::vector<float> height(kSize * kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float u = (x + 0.5f) / kSize, v = (y + 0.5f) / kSize;
      float h = 0.0f;
      for (const Wave& w : waves)
        h += w.amplitude * std::sin(2.0f * kPi * (w.kx * u + w.ky * v) + w.phase);
      h += 0.012f * noise.fractal(u * 8.0f, v * 8.0f, 4, 0.5f, 8);
      height[y * kSize + x] = h;
    }
  Canvas map(kSize, kSize);
  map.beginPixels();
  const float strength = 9.0f;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      auto at = [&](int px, int py) { return height[((py + kSize) % kSize) * kSize + (px + kSize) % kSize]; };
      const float dx = (at(x + 1, y) - at(x - 1, y)) * kSize * 0.5f / kSize * strength;
      // Image rows grow downwards, texture v upwards.
      const float dy = -(at(x, y + 1) - at(x, y - 1)) * kSize * 0.5f / kSize * strength;
      const glm::vec3 n = glm::normalize(glm::vec3(-dx * kSize / 64.0f, -dy * kSize / 64.0f, 1.0f));
      auto channel = [](float c) { return static_cast<uint8_t>(std::lround((c * 0.5f + 0.5f) * 255.0f)); };
      map.setPixel(x, y, channel(n.x), channel(n.y), channel(n.z));
    }
  map.endPixels();

  Mesh plane;
  constexpr int kCells = 20;
  for (int j = 0; j <= kCells; ++j)
    for (int i = 0; i <= kCells; ++i) {
      const float x = -kHalfExtent + 2.0f * kHalfExtent * i / kCells;
      const float z = -kHalfExtent + 2.0f * kHalfExtent * j / kCells;
      plane.positions.emplace_back(x, 0.0f, z);
      plane.normals.emplace_back(0.0f, 1.0f, 0.0f);
      plane.uvs.emplace_back(kTileRepeats * i / kCells, kTileRepeats * (kCells - j) / kCells);
    }
  for (int j = 0; j < kCells; ++j)
    for (int i = 0; i < kCells; ++i) {
      const uint32_t a = j * (kCells + 1) + i, b = a + 1, d = a + kCells + 1, c = d + 1;
      plane.indices.insert(plane.indices.end(), {a, d, c, a, c, b});
    }
  Model model;
  model.parts.push_back({"Wasser", std::move(plane), saveTexture(map, folder, "WasserNormalmap.png")});
  model.specular = glm::vec3(0.9f);
  model.shininess = 96.0f;
  saveModel(model, folder, content::kWaterModel, files);
}

// The player: a flying snail with a spiral shell, eye stalks and small wings.
void snail(const std::string& folder, std::vector<GeneratedFile>& files) {
  Random random(11u);
  Model model;
  model.specular = glm::vec3(0.45f);
  model.shininess = 40.0f;

  // Body: a soft foot, flattened, head raised at the front (-Z). Texture:
  // v 0..0.75 the foot (u = 0 on top), v 0.75..1 the head (u = 0.5 faces forward).
  {
    Canvas tex(256, 256);
    fill(tex, {0.78, 0.80, 0.42});
    cairo_t* cr = tex.context();
    // Pale belly around u = 0.5 of the foot.
    cairo_pattern_t* belly = cairo_pattern_create_linear(0, 0, 256, 0);
    cairo_pattern_add_color_stop_rgba(belly, 0.25, 0.95, 0.92, 0.70, 0.0);
    cairo_pattern_add_color_stop_rgba(belly, 0.5, 0.95, 0.92, 0.70, 1.0);
    cairo_pattern_add_color_stop_rgba(belly, 0.75, 0.95, 0.92, 0.70, 0.0);
    cairo_set_source(cr, belly);
    cairo_rectangle(cr, 0, rowOf(tex, 0.75), 256, 0.75 * 256);
    cairo_fill(cr);
    cairo_pattern_destroy(belly);
    // Wrinkles and spots on the back.
    for (int i = 0; i < 40; ++i) {
      const double v = random.range(0.05f, 0.72f);
      const double u = random.next() % 2 ? random.range(0.0f, 0.22f) : random.range(0.78f, 1.0f);
      tex.setColour(0.52, 0.58, 0.22, 0.8);
      cairo_arc(cr, u * 256, rowOf(tex, v), random.range(2.0f, 6.0f), 0, 2 * kPi);
      cairo_fill(cr);
    }
    strokes(tex, random, 120, {{0.62, 0.66, 0.30}, {0.88, 0.88, 0.55}}, 10, 1.5, 0.6, kPi / 2);
    // Face: a wide smile and rosy cheeks on the front of the head.
    tex.setColour(0.35, 0.15, 0.10);
    cairo_set_line_width(cr, 4);
    cairo_arc(cr, 128, rowOf(tex, 0.875) - 10, 20, 0.2 * kPi, 0.8 * kPi);
    cairo_stroke(cr);
    tex.setColour(0.98, 0.55, 0.50, 0.8);
    for (double side : {-30.0, 30.0}) {
      cairo_arc(cr, 128 + side, rowOf(tex, 0.875), 8, 0, 2 * kPi);
      cairo_fill(cr);
    }
    Mesh body = lathe({{0.0f, 0.0f},
                       {0.12f, 0.08f},
                       {0.26f, 0.35f},
                       {0.36f, 0.8f},
                       {0.40f, 1.4f},
                       {0.38f, 1.9f},
                       {0.30f, 2.2f},
                       {0.0f, 2.32f}},
                      24);
    body.transform(translate({0, -0.05f, 1.2f}) * scale({1.2f, 0.62f, 1.0f}) * alongForward());
    body.mapUvs({0, 0}, {1, 0.75f});
    Mesh head = ellipsoid({0.30f, 0.33f, 0.32f}, 20, 12);
    head.transform(translate({0, 0.24f, -0.88f}));
    head.mapUvs({0, 0.75f}, {1, 0.25f});
    body.append(head);
    model.parts.push_back({"Koerper", std::move(body), saveTexture(tex, folder, "SchneckeKoerper.png")});
  }

  // Shell: a tube wound along a shrinking spiral about the X axis.
  {
    Canvas tex(512, 256);
    fill(tex, {0.76, 0.47, 0.20});
    cairo_t* cr = tex.context();
    // Spiral bands run along the tube (u), growth lines across it.
    const Rgb bands[] = {{0.48, 0.26, 0.10}, {0.93, 0.80, 0.55}, {0.60, 0.33, 0.12}};
    const double bandRows[] = {0.22, 0.5, 0.78};
    for (int b = 0; b < 3; ++b) {
      tex.setColour(bands[b].r, bands[b].g, bands[b].b);
      cairo_rectangle(cr, 0, rowOf(tex, bandRows[b]) - 12, 512, 24);
      cairo_fill(cr);
    }
    for (int i = 0; i < 90; ++i) {
      const double x = i * 512.0 / 90 + random.range(-1.5f, 1.5f);
      tex.setColour(0.35, 0.18, 0.06, 0.35);
      cairo_set_line_width(cr, random.range(1.0f, 2.5f));
      cairo_move_to(cr, x, 0);
      cairo_line_to(cr, x + random.range(-4.0f, 4.0f), 256);
      cairo_stroke(cr);
    }
    std::vector<glm::vec3> path;
    const float turns = 3.0f, growth = 0.13f, outer = 0.52f;
    const int steps = 90;
    const glm::vec3 centre(0.0f, 0.84f, 0.25f);
    for (int k = 0; k <= steps; ++k) {
      const float theta = 2.0f * kPi * turns * k / steps;
      const float radius = outer * std::exp(-growth * theta);
      // Starts at the lower front, winds up over the back; drifts sideways like a real shell.
      const float angle = theta + 1.15f * kPi;
      path.emplace_back(0.16f * (1.0f - std::exp(-growth * theta)), centre.y + radius * std::sin(angle),
                        centre.z + radius * std::cos(angle));
    }
    Mesh shell = tube(
        path,
        [&](float t) {
          const float theta = 2.0f * kPi * turns * t;
          return 0.4f * outer * std::exp(-growth * theta) + 0.005f;
        },
        16);
    shell.transform(translate(centre) * scale({1.7f, 1.0f, 1.0f}) * translate(-centre));
    model.parts.push_back({"Haus", std::move(shell), saveTexture(tex, folder, "SchneckeHaus.png")});
  }

  // Eyes on stalks: stalks use the left half of the texture, eyeballs the right
  // half (pupils at the top of the ball, turned to look forward).
  {
    Canvas tex(256, 128);
    fill(tex, {0.72, 0.76, 0.38});
    cairo_t* cr = tex.context();
    tex.setColour(0.98, 0.98, 0.96);
    cairo_rectangle(cr, 128, 0, 128, 128);
    cairo_fill(cr);
    tex.setColour(0.10, 0.10, 0.14);
    cairo_rectangle(cr, 128, 0, 128, rowOf(tex, 0.80));
    cairo_fill(cr);
    tex.setColour(0.30, 0.45, 0.85);
    cairo_rectangle(cr, 128, rowOf(tex, 0.80), 128, 6);
    cairo_fill(cr);
    Mesh eyes;
    for (float side : {-1.0f, 1.0f}) {
      const glm::vec3 base(side * 0.10f, 0.46f, -0.92f), tip(side * 0.26f, 0.98f, -1.12f);
      std::vector<glm::vec3> path;
      for (int k = 0; k <= 8; ++k) {
        const float t = k / 8.0f;
        path.push_back(glm::mix(base, tip, t) + glm::vec3(0, 0, 0.08f * std::sin(t * kPi)));
      }
      Mesh stalk = tube(
          path, [](float t) { return 0.055f - 0.02f * t; }, 8);
      stalk.mapUvs({0, 0}, {0.5f, 1});
      Mesh ball = ellipsoid(glm::vec3(0.13f), 14, 10);
      ball.transform(translate(tip + glm::vec3(0, 0.05f, 0)) * rotateY(-side * 12.0f) * alongForward());
      ball.mapUvs({0.5f, 0}, {0.5f, 1});
      eyes.append(stalk);
      eyes.append(ball);
    }
    model.parts.push_back({"Augen", std::move(eyes), saveTexture(tex, folder, "SchneckeAugen.png")});
  }

  // Wings: thin discs, veins radiating from the root.
  {
    Canvas tex(256, 128);
    fill(tex, {0.70, 0.88, 0.98});
    cairo_t* cr = tex.context();
    for (int i = 0; i < 16; ++i) {
      tex.setColour(0.95, 0.98, 1.0, 0.9);
      cairo_set_line_width(cr, 2);
      cairo_move_to(cr, i * 16.0, 0);
      cairo_line_to(cr, i * 16.0, 128);
      cairo_stroke(cr);
    }
    tex.setColour(0.35, 0.55, 0.80);
    cairo_rectangle(cr, 0, rowOf(tex, 0.56), 256, 0.12 * 128);
    cairo_fill(cr);
    Mesh wings;
    for (float side : {-1.0f, 1.0f}) {
      Mesh wing = ellipsoid({0.62f, 0.025f, 0.34f}, 24, 6);
      wing.transform(translate({side * 0.78f, 0.62f, 0.35f}) * rotateY(side * -18.0f) * rotateZ(side * 22.0f));
      wings.append(wing);
    }
    model.parts.push_back({"Fluegel", std::move(wings), saveTexture(tex, folder, "SchneckeFluegel.png")});
  }
  saveModel(model, folder, content::kPlayerModel, files);
}

// Ball of wool: the ball with wound fibres, a few strands around it and a loose
// end trailing behind. The super shot is bigger, blue and gold, with sparks.
void woolBall(const std::string& folder, std::vector<GeneratedFile>& files, bool super) {
  Random random(super ? 23u : 17u);
  const float radius = super ? 1.5f : 0.75f;
  const Rgb base = super ? Rgb{0.20, 0.35, 0.95} : Rgb{0.86, 0.22, 0.32};
  const Rgb light = super ? Rgb{0.55, 0.80, 1.00} : Rgb{1.00, 0.55, 0.60};
  const Rgb dark = super ? Rgb{0.10, 0.15, 0.55} : Rgb{0.55, 0.08, 0.16};
  const Rgb thread = super ? Rgb{1.00, 0.82, 0.25} : Rgb{0.98, 0.45, 0.52};
  const std::string prefix = super ? "Superknaeuel" : "Wollknaeuel";
  Model model;
  model.specular = glm::vec3(super ? 0.35f : 0.08f);
  model.shininess = super ? 24.0f : 6.0f;

  Canvas ballTexture(256, 256);
  fill(ballTexture, base);
  strokes(ballTexture, random, 500, {light, dark, base}, 40, 3.0, 0.85);
  strokes(ballTexture, random, 200, {light}, 25, 1.5, 0.9);
  if (super)
    strokes(ballTexture, random, 120, {thread, {1, 1, 1}}, 20, 2.0, 0.9);
  model.parts.push_back(
      {"Knaeuel", ellipsoid(glm::vec3(radius), 24, 16), saveTexture(ballTexture, folder, prefix + "Ball.png")});

  // Strands: twisted yarn look, diagonal stripes.
  Canvas strandTexture(128, 64);
  fill(strandTexture, thread);
  cairo_t* cr = strandTexture.context();
  cairo_set_line_width(cr, 4);
  for (int i = -8; i < 24; ++i) {
    strandTexture.setColour(dark.r, dark.g, dark.b, 0.55);
    cairo_move_to(cr, i * 8.0, 0);
    cairo_line_to(cr, i * 8.0 + 32, 64);
    cairo_stroke(cr);
  }
  Mesh strands;
  const int rings = super ? 7 : 4;
  for (int r = 0; r < rings; ++r) {
    std::vector<glm::vec3> circle;
    for (int k = 0; k < 40; ++k) {
      const float a = 2.0f * kPi * k / 40;
      circle.emplace_back(std::cos(a) * radius * 1.01f, std::sin(a) * radius * 1.01f, 0.0f);
    }
    Mesh ring = ringTube(circle, radius * (super ? 0.07f : 0.06f), 6);
    ring.transform(rotateY(r * 180.0f / rings + random.range(-10.0f, 10.0f)) * rotateX(random.range(-50.0f, 50.0f)));
    strands.append(ring);
  }
  // The loose end trails behind the flying ball (+Z).
  std::vector<glm::vec3> tail;
  for (int k = 0; k <= 16; ++k) {
    const float t = k / 16.0f;
    tail.emplace_back(0.25f * radius * std::sin(t * 3.0f * kPi), radius * (0.2f - 0.3f * t),
                      radius * (0.95f + 1.6f * t));
  }
  strands.append(tube(
      tail, [radius](float) { return radius * 0.05f; }, 6));
  model.parts.push_back({"Faden", std::move(strands), saveTexture(strandTexture, folder, prefix + "Faden.png")});

  if (super) {
    // Sparks: small gold spikes around the ball.
    Canvas sparkTexture(64, 64);
    fill(sparkTexture, {1.0, 0.95, 0.55});
    cairo_pattern_t* glow = cairo_pattern_create_linear(0, 0, 0, 64);
    cairo_pattern_add_color_stop_rgb(glow, 0.0, 1.0, 1.0, 0.95);
    cairo_pattern_add_color_stop_rgb(glow, 1.0, 1.0, 0.65, 0.10);
    cairo_set_source(sparkTexture.context(), glow);
    cairo_paint(sparkTexture.context());
    cairo_pattern_destroy(glow);
    Mesh sparks;
    for (int s = 0; s < 10; ++s) {
      Mesh spike = lathe({{0.0f, 0.0f}, {0.16f, 0.25f}, {0.0f, 0.9f}}, 4);
      const float yaw = s * 137.5f, pitch = -60.0f + 120.0f * (s + 0.5f) / 10.0f;
      spike.transform(rotateY(yaw) * rotateX(90.0f - pitch) * translate({0, radius * 0.95f, 0}));
      sparks.append(spike);
    }
    model.parts.push_back({"Funken", std::move(sparks), saveTexture(sparkTexture, folder, prefix + "Funken.png")});
  }
  saveModel(model, folder, super ? content::kSuperShotModel : content::kShotModel, files);
}

// The enemy: a round bumblebee with a rotor mast, big eyes and a stinger.
// The mast stands on the origin, so the separate rotor spins about the Y axis.
void bumblebee(const std::string& folder, std::vector<GeneratedFile>& files) {
  Random random(31u);
  Model model;
  model.specular = glm::vec3(0.35f);
  model.shininess = 24.0f;

  // Body atlas: abdomen (v 0..0.5, stripes across v), thorax (0.5..0.75), head (0.75..1).
  {
    Canvas tex(256, 512);
    fill(tex, {0.98, 0.78, 0.10});
    cairo_t* cr = tex.context();
    // Abdomen: v runs from the waist (0) to the tail (0.5): black bands, white tail.
    const double stripes[][2] = {{0.10, 0.18}, {0.27, 0.35}, {0.43, 0.5}};
    for (const auto& s : stripes) {
      tex.setColour(0.08, 0.07, 0.06);
      cairo_rectangle(cr, 0, rowOf(tex, s[1]), 256, (s[1] - s[0]) * 512);
      cairo_fill(cr);
    }
    tex.setColour(0.97, 0.95, 0.88);
    cairo_rectangle(cr, 0, rowOf(tex, 0.43), 256, 0.08 * 512);
    cairo_fill(cr);
    // Thorax: black with a yellow collar; head black.
    tex.setColour(0.08, 0.07, 0.06);
    cairo_rectangle(cr, 0, 0, 256, rowOf(tex, 0.62));
    cairo_fill(cr);
    strokes(tex, random, 900, {{0.20, 0.17, 0.12}, {1.0, 0.88, 0.35}, {0.05, 0.05, 0.05}}, 9, 1.6, 0.45, kPi / 2);
    // A grim zigzag mouth on the front of the head (u = 0.5).
    tex.setColour(0.85, 0.15, 0.10);
    cairo_set_line_width(cr, 5);
    cairo_move_to(cr, 128 - 30, rowOf(tex, 0.845));
    for (int k = 1; k <= 6; ++k)
      cairo_line_to(cr, 128 - 30 + 10 * k, rowOf(tex, k % 2 ? 0.835 : 0.85));
    cairo_stroke(cr);
    Mesh body = ellipsoid({1.10f, 1.0f, 1.45f}, 28, 16);
    // Lathe axis turned backwards: v = 0 at the waist, 1 at the tail.
    body.transform(translate({0, -0.2f, 1.75f}) * rotateX(90.0f));
    body.mapUvs({0, 0}, {1, 0.5f});
    Mesh thorax = ellipsoid({0.95f, 0.92f, 1.0f}, 24, 14);
    thorax.transform(rotateX(90.0f));
    thorax.mapUvs({0, 0.5f}, {1, 0.25f});
    Mesh head = ellipsoid({0.74f, 0.70f, 0.68f}, 24, 14);
    head.transform(translate({0, 0.1f, -1.3f}));
    head.mapUvs({0, 0.75f}, {1, 0.25f});
    body.append(thorax);
    body.append(head);
    model.parts.push_back({"Rumpf", std::move(body), saveTexture(tex, folder, "HummelotRumpf.png")});
  }

  // Eyes: dark glossy domes with a red glint, looking forward and outward.
  {
    Canvas tex(128, 128);
    fill(tex, {0.12, 0.05, 0.18});
    cairo_t* cr = tex.context();
    for (int y = 0; y < 128; y += 8)
      for (int x = (y / 8) % 2 * 4; x < 128; x += 8) {
        tex.setColour(0.25, 0.10, 0.35, 0.8);
        cairo_arc(cr, x, y, 3, 0, 2 * kPi);
        cairo_fill(cr);
      }
    tex.setColour(1.0, 0.25, 0.15);
    cairo_rectangle(cr, 0, 0, 128, rowOf(tex, 0.82));
    cairo_fill(cr);
    tex.setColour(1.0, 0.9, 0.6);
    cairo_rectangle(cr, 0, 0, 128, rowOf(tex, 0.93));
    cairo_fill(cr);
    Mesh eyes;
    for (float side : {-1.0f, 1.0f}) {
      Mesh eye = ellipsoid({0.30f, 0.28f, 0.40f}, 18, 10);
      eye.transform(translate({side * 0.42f, 0.30f, -1.72f}) * rotateY(side * -30.0f) * alongForward());
      eyes.append(eye);
    }
    model.parts.push_back({"Augen", std::move(eyes), saveTexture(tex, folder, "HummelotAugen.png")});
  }

  // Small bee wings behind the mast.
  {
    Canvas tex(128, 64);
    fill(tex, {0.82, 0.92, 0.98});
    cairo_t* cr = tex.context();
    for (int i = 0; i < 12; ++i) {
      tex.setColour(0.45, 0.55, 0.65, 0.8);
      cairo_set_line_width(cr, 1.5);
      cairo_move_to(cr, i * 128.0 / 12, 0);
      cairo_line_to(cr, i * 128.0 / 12, 64);
      cairo_stroke(cr);
    }
    Mesh wings;
    for (float side : {-1.0f, 1.0f}) {
      Mesh wing = ellipsoid({0.95f, 0.03f, 0.42f}, 20, 6);
      wing.transform(translate({side * 1.35f, 0.55f, 0.55f}) * rotateY(side * -25.0f) * rotateZ(side * 25.0f));
      wings.append(wing);
    }
    model.parts.push_back({"Fluegel", std::move(wings), saveTexture(tex, folder, "HummelotFluegel.png")});
  }

  // Mechanics and limbs: the rotor mast (left half of the texture, metal) and
  // stinger, antennae and legs (right half, black).
  {
    Canvas tex(128, 64);
    cairo_t* cr = tex.context();
    cairo_pattern_t* metal = cairo_pattern_create_linear(0, 0, 0, 64);
    cairo_pattern_add_color_stop_rgb(metal, 0.0, 0.85, 0.86, 0.90);
    cairo_pattern_add_color_stop_rgb(metal, 0.5, 0.45, 0.47, 0.52);
    cairo_pattern_add_color_stop_rgb(metal, 1.0, 0.80, 0.81, 0.85);
    cairo_set_source(cr, metal);
    cairo_rectangle(cr, 0, 0, 64, 64);
    cairo_fill(cr);
    cairo_pattern_destroy(metal);
    tex.setColour(0.07, 0.06, 0.06);
    cairo_rectangle(cr, 64, 0, 64, 64);
    cairo_fill(cr);
    tex.setColour(0.35, 0.32, 0.30);
    cairo_rectangle(cr, 64, 28, 64, 6);
    cairo_fill(cr);

    Mesh parts = lathe({{0.14f, 0.7f}, {0.14f, 1.75f}, {0.20f, 1.75f}, {0.20f, 1.82f}, {0.0f, 1.82f}}, 10);
    parts.mapUvs({0, 0}, {0.5f, 1});
    Mesh limbs = lathe({{0.0f, 0.0f}, {0.32f, 0.05f}, {0.0f, 0.55f}}, 10);
    limbs.transform(translate({0, -0.3f, 3.05f}) * rotateX(90.0f)); // stinger pointing back
    for (float side : {-1.0f, 1.0f}) {
      std::vector<glm::vec3> antenna;
      for (int k = 0; k <= 8; ++k) {
        const float t = k / 8.0f;
        antenna.emplace_back(side * (0.18f + 0.35f * t), 0.62f + 0.75f * t - 0.25f * t * t, -1.55f - 0.55f * t);
      }
      limbs.append(tube(
          antenna, [](float) { return 0.045f; }, 6));
      limbs.append(ellipsoid(glm::vec3(0.11f), 8, 6).transform(translate(antenna.back())));
      for (int leg = 0; leg < 3; ++leg) {
        const float z = -0.55f + 0.55f * leg;
        const std::vector<glm::vec3> path = {
            {side * 0.55f, -0.55f, z}, {side * 0.95f, -0.85f, z + 0.1f}, {side * 0.85f, -1.35f, z + 0.35f}};
        limbs.append(tube(
            path, [](float) { return 0.06f; }, 6));
      }
    }
    limbs.mapUvs({0.5f, 0}, {0.5f, 1});
    parts.append(limbs);
    model.parts.push_back({"Technik", std::move(parts), saveTexture(tex, folder, "HummelotTechnik.png")});
  }
  saveModel(model, folder, content::kEnemyModel, files);
}

// The rotor: three blades and a hub on top of the enemy's mast.
void rotor(const std::string& folder, std::vector<GeneratedFile>& files) {
  Model model;
  model.specular = glm::vec3(0.5f);
  model.shininess = 32.0f;
  constexpr float kHubHeight = 1.9f;
  {
    // Each blade is a flat ellipsoid whose lathe angle u = 0.25 points to its tip.
    Canvas tex(256, 64);
    fill(tex, {0.80, 0.12, 0.10});
    cairo_t* cr = tex.context();
    for (double tip : {0.25 * 256, 0.75 * 256}) {
      const bool outer = tip < 128;
      tex.setColour(outer ? 0.98 : 0.2, outer ? 0.98 : 0.2, outer ? 0.95 : 0.22);
      cairo_rectangle(cr, tip - 24, 0, 48, 64);
      cairo_fill(cr);
    }
    Mesh blades;
    for (int b = 0; b < 3; ++b) {
      Mesh blade = ellipsoid({1.45f, 0.05f, 0.26f}, 24, 6);
      blade.transform(rotateY(b * 120.0f) * translate({1.45f, kHubHeight + 0.08f, 0}) * rotateX(8.0f));
      blades.append(blade);
    }
    model.parts.push_back({"Blaetter", std::move(blades), saveTexture(tex, folder, "RotorBlaetter.png")});
  }
  {
    Canvas tex(64, 64);
    fill(tex, {0.25, 0.25, 0.28});
    cairo_t* cr = tex.context();
    tex.setColour(0.95, 0.80, 0.15);
    cairo_rectangle(cr, 0, 20, 64, 10);
    cairo_fill(cr);
    Mesh hub = lathe({{0.0f, kHubHeight - 0.05f},
                      {0.30f, kHubHeight - 0.05f},
                      {0.30f, kHubHeight - 0.05f},
                      {0.30f, kHubHeight + 0.2f},
                      {0.30f, kHubHeight + 0.2f},
                      {0.18f, kHubHeight + 0.32f},
                      {0.0f, kHubHeight + 0.36f}},
                     14);
    model.parts.push_back({"Nabe", std::move(hub), saveTexture(tex, folder, "RotorNabe.png")});
  }
  saveModel(model, folder, content::kRotorModel, files);
}

// The enemy's laser bolt: a long glowing capsule along Z with two energy rings.
void laser(const std::string& folder, std::vector<GeneratedFile>& files) {
  Model model;
  model.specular = glm::vec3(0.8f);
  model.shininess = 64.0f;
  {
    Canvas tex(64, 256);
    cairo_t* cr = tex.context();
    cairo_pattern_t* glow = cairo_pattern_create_linear(0, 0, 0, 256);
    cairo_pattern_add_color_stop_rgb(glow, 0.0, 0.9, 0.05, 0.05);
    cairo_pattern_add_color_stop_rgb(glow, 0.25, 1.0, 0.30, 0.20);
    cairo_pattern_add_color_stop_rgb(glow, 0.5, 1.0, 0.70, 0.55);
    cairo_pattern_add_color_stop_rgb(glow, 0.75, 1.0, 0.30, 0.20);
    cairo_pattern_add_color_stop_rgb(glow, 1.0, 0.9, 0.05, 0.05);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
    Mesh bolt = lathe(
        {{0.0f, 0.0f}, {0.12f, 0.08f}, {0.19f, 0.3f}, {0.21f, 1.6f}, {0.19f, 2.9f}, {0.12f, 3.12f}, {0.0f, 3.2f}}, 12);
    bolt.transform(translate({0, 0, 1.6f}) * alongForward());
    model.parts.push_back({"Strahl", std::move(bolt), saveTexture(tex, folder, "LaserStrahl.png")});
  }
  {
    Canvas tex(32, 32);
    fill(tex, {1.0, 0.15, 0.35});
    Mesh rings;
    for (float z : {-0.7f, 0.5f}) {
      std::vector<glm::vec3> circle;
      for (int k = 0; k < 16; ++k) {
        const float a = 2.0f * kPi * k / 16;
        circle.emplace_back(0.33f * std::cos(a), 0.33f * std::sin(a), z);
      }
      rings.append(ringTube(circle, 0.05f, 6));
    }
    model.parts.push_back({"Ringe", std::move(rings), saveTexture(tex, folder, "LaserRinge.png")});
  }
  saveModel(model, folder, content::kLaserModel, files);
}

// Draws a rectangle given in texel coordinates counted from the texture's bottom row.
void texelRectangle(Canvas& canvas, double x, double y, double width, double height) {
  cairo_rectangle(canvas.context(), x, canvas.height() - y - height, width, height);
}

// The screen texture: the status panel with the video frame, the title and
// the empty statistics row; the game writes clips and status images into it.
void paintScreen(Canvas& s) {
  using namespace hud;
  cairo_t* cr = s.context();
  fill(s, {kPanel.r, kPanel.g, kPanel.b});
  // Frame just inside the visible part.
  s.setColour(kFrame.r, kFrame.g, kFrame.b);
  cairo_set_line_width(cr, 3);
  s.roundedRectangle(kScreenLeft + 8, kScreenTextureSize - kScreenTop + 8, kScreenRight - kScreenLeft - 16,
                     kScreenTop - kScreenBottom - 16, 14);
  cairo_stroke(cr);
  // Rule under the statistics row and the video window with its frame.
  s.setColour(kFrame.r, kFrame.g, kFrame.b, 0.6);
  texelRectangle(s, 25, 950, 654, 2);
  cairo_fill(cr);
  s.setColour(kFrame.r, kFrame.g, kFrame.b);
  texelRectangle(s, 96, 440, 488, 368);
  cairo_fill(cr);
  s.setColour(0, 0, 0);
  texelRectangle(s, 100, 444, 480, 360);
  cairo_fill(cr);
  // Title between the video and the statistics row.
  const double titleY = kScreenTextureSize - 880.0;
  s.setColour(kAccent.r, kAccent.g, kAccent.b);
  s.centredText("FELIDORA", 352, titleY - 6, 62);
  s.setColour(kText.r, kText.g, kText.b, 0.75);
  s.centredText("Katzen gegen Hummelots", 352, titleY + 50, 26);
  // A paw print on either side of the title.
  for (double x : {70.0, 634.0}) {
    s.setColour(kAccent.r, kAccent.g, kAccent.b, 0.8);
    cairo_arc(cr, x, titleY + 14, 17, 0, 2 * kPi);
    cairo_fill(cr);
    for (int toe = 0; toe < 4; ++toe) {
      const double a = kPi * (1.15 + 0.233 * toe);
      cairo_arc(cr, x + 27 * std::cos(a), titleY + 10 + 27 * std::sin(a), 7, 0, 2 * kPi);
      cairo_fill(cr);
    }
  }
}

// The monitor: a portrait screen in a plastic case with cat ears. Mesh 0 is
// the screen; its texture is the status display's screen texture.
void monitor(const std::string& folder, std::vector<GeneratedFile>& files) {
  using namespace hud;
  Model model;
  model.specular = glm::vec3(0.4f);
  model.shininess = 48.0f;
  // Screen: 2 units wide, as tall as the shown part of the texture demands.
  const float halfWidth = 1.0f;
  const float halfHeight = halfWidth * (kScreenTop - kScreenBottom) / static_cast<float>(kScreenRight - kScreenLeft);
  {
    Canvas screen(kScreenTextureSize, kScreenTextureSize);
    paintScreen(screen);
    const float size = kScreenTextureSize;
    Mesh glass = quad({-halfWidth, -halfHeight}, {halfWidth, halfHeight}, {kScreenLeft / size, kScreenBottom / size},
                      {kScreenRight / size, kScreenTop / size});
    model.parts.push_back({"Bildschirm", std::move(glass), saveTexture(screen, folder, "MonitorBildschirm.png")});
  }

  // Case: the front bezel is mapped flat onto the left three quarters of its
  // texture (logo and lamp included); sides and back use the plain right quarter.
  {
    const float left = -halfWidth - 0.16f, right = halfWidth + 0.16f;
    const float bottom = -halfHeight - 0.30f, top = halfHeight + 0.14f;
    const float front = 0.07f, back = -0.32f;
    Canvas tex(512, 512);
    cairo_t* cr = tex.context();
    cairo_pattern_t* plastic = cairo_pattern_create_linear(0, 0, 0, 512);
    cairo_pattern_add_color_stop_rgb(plastic, 0.0, 0.36, 0.31, 0.44);
    cairo_pattern_add_color_stop_rgb(plastic, 1.0, 0.20, 0.17, 0.26);
    cairo_set_source(cr, plastic);
    cairo_paint(cr);
    cairo_pattern_destroy(plastic);
    const double frontWidth = 384.0;
    auto frontX = [&](float x) { return (x - left) / (right - left) * frontWidth; };
    auto frontY = [&](float y) { return (top - y) / (top - bottom) * 512.0; };
    // Inner lip around the screen.
    tex.setColour(0.10, 0.09, 0.13);
    cairo_set_line_width(cr, 8);
    cairo_rectangle(cr, frontX(-halfWidth), frontY(halfHeight), frontX(halfWidth) - frontX(-halfWidth),
                    frontY(-halfHeight) - frontY(halfHeight));
    cairo_stroke(cr);
    tex.setColour(kAccent.r, kAccent.g, kAccent.b);
    tex.centredText("FELIDORA", frontWidth / 2, (frontY(-halfHeight) + 512.0) / 2, 22);
    tex.setColour(0.3, 1.0, 0.4);
    cairo_arc(cr, frontX(halfWidth) - 8, (frontY(-halfHeight) + 512.0) / 2, 6, 0, 2 * kPi);
    cairo_fill(cr);
    tex.setColour(0.30, 0.26, 0.38);
    cairo_rectangle(cr, frontWidth, 0, 512 - frontWidth, 512);
    cairo_fill(cr);

    auto frontUv = [&](float x, float y) { return glm::vec2(frontX(x) / 512.0f, 1.0f - frontY(y) / 512.0f); };
    auto frontQuad = [&](float x0, float y0, float x1, float y1) {
      Mesh q = quad({x0, y0}, {x1, y1}, frontUv(x0, y0), frontUv(x1, y1));
      return q.transform(translate({0, 0, front}));
    };
    Mesh shell = frontQuad(left, bottom, right, -halfHeight);
    shell.append(frontQuad(left, halfHeight, right, top));
    shell.append(frontQuad(left, -halfHeight, -halfWidth, halfHeight));
    shell.append(frontQuad(halfWidth, -halfHeight, right, halfHeight));
    // Case body without its front face, which would hide the screen.
    const glm::vec2 plain(0.78f, 0.05f), plainSize(0.2f, 0.9f);
    Mesh body = box({left, bottom, back}, {right, top, front - 0.001f});
    body.indices.erase(body.indices.begin(), body.indices.begin() + 6);
    body.mapUvs(plain, plainSize);
    shell.append(body);
    // Lip between bezel and the recessed screen, facing inwards.
    Mesh lip = box({-halfWidth, -halfHeight, 0.0f}, {halfWidth, halfHeight, front});
    lip.indices.erase(lip.indices.begin(), lip.indices.begin() + 12); // no front or back face
    lip.flip().mapUvs(plain, plainSize);
    shell.append(lip);
    shell.append(box({-0.85f, -1.05f, back - 0.25f}, {0.85f, 0.95f, back}).mapUvs(plain, plainSize));
    model.parts.push_back({"Gehaeuse", std::move(shell), saveTexture(tex, folder, "MonitorGehaeuse.png")});

    // Cat ears on top: three-sided pyramids with a flat face forwards.
    Canvas earTexture(128, 128);
    fill(earTexture, {0.30, 0.26, 0.38});
    earTexture.setColour(1.0, 0.62, 0.72);
    cairo_rectangle(earTexture.context(), 128 * 0.39, rowOf(earTexture, 0.72), 128 * 0.22, 128 * 0.62);
    cairo_fill(earTexture.context());
    Mesh ears;
    for (float side : {-1.0f, 1.0f}) {
      Mesh ear = lathe({{0.36f, 0.0f}, {0.0f, 0.55f}}, 3);
      ear.transform(translate({side * 0.68f, top - 0.06f, -0.12f}) * rotateZ(side * -14.0f) *
                    scale({1.0f, 1.0f, 0.55f}) * rotateY(180.0f));
      ears.append(ear);
    }
    model.parts.push_back({"Ohren", std::move(ears), saveTexture(earTexture, folder, "MonitorOhren.png")});
  }
  // The screen light: lights only what is close to the screen.
  model.lights.push_back({"Bildschirmlicht", {0.0f, 0.0f, 1.75f}, {0.85f, 0.9f, 1.0f}, 1.0f, 0.15f, 0.04f});
  saveModel(model, folder, content::kMonitorModel, files);
}

} // namespace

void writeModels(const std::string& folder, std::vector<GeneratedFile>& files) {
  landscape(folder, files);
  water(folder, files);
  snail(folder, files);
  woolBall(folder, files, false);
  woolBall(folder, files, true);
  bumblebee(folder, files);
  rotor(folder, files);
  laser(folder, files);
  monitor(folder, files);
}
