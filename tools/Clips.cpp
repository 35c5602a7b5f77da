// Clip scenes. Each scene is a function of time drawn into one canvas per
// picture; the cat scene repeats seamlessly because every motion in it has a
// period that divides the clip's length.
#include "tools/Clips.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "base/ContentFiles.h"
#include "tools/Canvas.h"
#include "tools/Cartoons.h"
#include "tools/ClipEncoder.h"
#include "tools/Noise.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 360;
constexpr double kPi = 3.14159265358979;

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double smooth(double v) {
  v = clamp01(v);
  return v * v * (3 - 2 * v);
}

using Scene = std::function<void(cairo_t*, double seconds)>;

bool encode(const std::string& folder, const std::string& path, double seconds, const Scene& scene,
            std::vector<GeneratedFile>& files) {
  ClipEncoder encoder;
  if (!encoder.open(folder + "/" + path, kWidth, kHeight))
    return false;
  const int pictures = static_cast<int>(std::lround(seconds * ClipEncoder::kFramesPerSecond));
  Canvas canvas(kWidth, kHeight);
  for (int p = 0; p < pictures; ++p) {
    cairo_t* cr = canvas.context();
    cairo_save(cr);
    scene(cr, static_cast<double>(p) / ClipEncoder::kFramesPerSecond);
    cairo_restore(cr);
    if (!encoder.addPicture(canvas))
      return false;
  }
  if (!encoder.finish())
    return false;
  files.push_back({path, 0});
  return true;
}

void sky(cairo_t* cr, double r0, double g0, double b0, double r1, double g1, double b1) {
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, kHeight);
  cairo_pattern_add_color_stop_rgb(gradient, 0, r0, g0, b0);
  cairo_pattern_add_color_stop_rgb(gradient, 1, r1, g1, b1);
  cairo_set_source(cr, gradient);
  cairo_paint(cr);
  cairo_pattern_destroy(gradient);
}

void cloud(cairo_t* cr, double x, double y, double s) {
  cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
  const double puffs[][3] = {{0, 0, 22}, {24, -8, 26}, {50, 0, 20}, {20, 8, 20}, {-18, 6, 15}};
  for (const auto& p : puffs) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + p[0] * s, y + p[1] * s, p[2] * s, 0, 2 * kPi);
  }
  cairo_fill(cr);
}

void hills(cairo_t* cr, double base, double r, double g, double b, double phase) {
  cairo_move_to(cr, 0, kHeight);
  for (int x = 0; x <= kWidth; x += 8)
    cairo_line_to(cr, x, base + 18 * std::sin(x / 70.0 + phase) + 10 * std::sin(x / 31.0 + 2 * phase));
  cairo_line_to(cr, kWidth, kHeight);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, r, g, b);
  cairo_fill(cr);
}

// Katzenvideo: a cat on a meadow bats at a ball of wool swinging from a branch
// while a bumblebee circles. 12 s; every motion repeats within that time.
void catScene(cairo_t* cr, double t) {
  constexpr double kLength = 12.0;
  sky(cr, 0.45, 0.72, 0.98, 0.82, 0.93, 1.0);
  // Sun with slowly turning rays (a sixth of a turn per clip, with six-fold symmetry).
  cairo_save(cr);
  cairo_translate(cr, 410, 60);
  cairo_rotate(cr, t / kLength * kPi / 3);
  cairo_set_source_rgba(cr, 1.0, 0.9, 0.4, 0.6);
  for (int k = 0; k < 12; ++k) {
    cairo_move_to(cr, 0, 0);
    cairo_arc(cr, 0, 0, 60, k * kPi / 6, k * kPi / 6 + 0.12);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
  cairo_arc(cr, 0, 0, 28, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 1.0, 0.88, 0.3);
  cairo_fill(cr);
  cairo_restore(cr);
  // Clouds drift across once per clip and wrap around.
  for (int c = 0; c < 3; ++c) {
    const double span = kWidth + 160.0;
    const double x = std::fmod(c * span / 3 + t / kLength * span, span) - 80;
    cloud(cr, x, 45 + 28 * c, 0.8 + 0.2 * c);
  }
  hills(cr, 245, 0.45, 0.72, 0.35, 0.0);
  hills(cr, 290, 0.30, 0.58, 0.22, 1.7);
  // Tree with the branch that holds the wool.
  cairo_rectangle(cr, 52, 150, 26, 160);
  cairo_set_source_rgb(cr, 0.45, 0.28, 0.14);
  cairo_fill(cr);
  cairo_move_to(cr, 70, 170);
  cairo_curve_to(cr, 140, 150, 200, 140, 250, 138);
  cairo_set_line_width(cr, 9);
  cairo_stroke(cr);
  const double leaves[][3] = {{40, 120, 48}, {95, 105, 52}, {65, 75, 45}, {140, 130, 34}, {20, 160, 30}};
  for (const auto& l : leaves) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, l[0], l[1], l[2], 0, 2 * kPi);
  }
  cairo_set_source_rgb(cr, 0.22, 0.52, 0.2);
  cairo_fill(cr);

  // The wool swings on its thread, period 3 s; the cat bats when it comes near.
  const double swing = std::sin(t / 3.0 * 2 * kPi);
  const double anchorX = 245, anchorY = 140, threadLength = 120;
  const double angle = 0.55 * swing;
  const double ballX = anchorX + threadLength * std::sin(angle), ballY = anchorY + threadLength * std::cos(angle);
  cairo_move_to(cr, anchorX, anchorY);
  cairo_line_to(cr, ballX, ballY);
  cairo_set_source_rgb(cr, 0.9, 0.3, 0.4);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  drawWoolBall(cr, ballX, ballY, 18, swing * 0.15, 0.88, 0.25, 0.35);

  CatPose pose;
  pose.tail = std::sin(t / 2.0 * 2 * kPi);
  pose.paw = smooth(1.0 - std::fabs(std::sin(t / 3.0 * 2 * kPi) + 1.0) * 1.5);
  const double blinkAt[] = {2.0, 6.5, 10.2};
  for (double b : blinkAt)
    pose.blink = std::max(pose.blink, clamp01(1.0 - std::fabs(t - b) / 0.12));
  drawCat(cr, 150, 318, 190, pose);

  // A bumblebee flies a figure of eight, twice per clip.
  const double a = t / 6.0 * 2 * kPi;
  drawBee(cr, 360 + 70 * std::sin(a), 170 + 35 * std::sin(2 * a), 60, t * 4.0);

  cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
  clipText(cr, "Felidora", 470, 340, 18, true, 1.0);
}

// Tutorial pages: title, turning, climbing, throwing, speed, function keys,
// sound, pause and full screen, goal.
void keyLine(cairo_t* cr, double y, const std::string& key, double keyWidth, const std::string& text, bool pressed) {
  drawKey(cr, 40, y - 20, keyWidth, 36, key, pressed);
  cairo_set_source_rgb(cr, 0.95, 0.96, 1.0);
  clipText(cr, text, 60 + keyWidth, y - 2, 19, false, 0.0);
}

void pageTitle(cairo_t* cr, const std::string& text) {
  cairo_set_source_rgb(cr, 1.0, 0.8, 0.3);
  clipText(cr, text, kWidth / 2.0, 34, 28);
  cairo_rectangle(cr, 60, 58, kWidth - 120, 2);
  cairo_fill(cr);
}

void tutorialScene(cairo_t* cr, double t) {
  sky(cr, 0.10, 0.14, 0.26, 0.05, 0.07, 0.14);
  const double pages[] = {0, 3, 7.5, 12, 17, 21.5, 25, 29};
  int page = 0;
  while (page < 6 && t >= pages[page + 1])
    ++page;
  const double local = t - pages[page];
  const double length = pages[page + 1] - pages[page];
  const double pulse = std::fmod(local, 1.0) < 0.5 ? 1.0 : 0.0;
  switch (page) {
  case 0: {
    cairo_set_source_rgb(cr, 1.0, 0.8, 0.3);
    clipText(cr, "STEUERUNG", kWidth / 2.0, 80, 44);
    cairo_set_source_rgb(cr, 0.9, 0.92, 1.0);
    clipText(cr, "So fliegst du die Schnecke", kWidth / 2.0, 130, 22, false);
    drawSnail(cr, kWidth / 2.0 + 40 * std::sin(local * 2), 275, 150, local * 3);
    break;
  }
  case 1: {
    pageTitle(cr, "Drehen");
    const bool left = local < length / 2;
    keyLine(cr, 110, "\u2190", 56, "Pfeil links: nach links drehen", left && pulse > 0);
    keyLine(cr, 165, "\u2192", 56, "Pfeil rechts: nach rechts drehen", !left && pulse > 0);
    // Top view of the flight path bending the way of the key.
    const double dir = left ? -1.0 : 1.0;
    const double bend = smooth(std::fmod(local, length / 2) / (length / 2));
    cairo_move_to(cr, kWidth / 2.0, 330);
    cairo_curve_to(cr, kWidth / 2.0, 280, kWidth / 2.0, 260, kWidth / 2.0 + dir * 110 * bend, 230);
    cairo_set_source_rgb(cr, 0.4, 0.8, 1.0);
    cairo_set_line_width(cr, 4);
    const double dashes[] = {10, 8};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_save(cr);
    cairo_translate(cr, kWidth / 2.0 + dir * 110 * bend, 230);
    if (left)
      cairo_scale(cr, -1, 1);
    drawSnail(cr, 0, 0, 80, local * 3);
    cairo_restore(cr);
    break;
  }
  case 2: {
    pageTitle(cr, "Sinken und Steigen");
    const bool down = local < length / 2;
    keyLine(cr, 110, "\u2191", 56, "Pfeil hoch: sinken", down && pulse > 0);
    keyLine(cr, 165, "\u2193", 56, "Pfeil runter: steigen", !down && pulse > 0);
    const double phase = smooth(std::fmod(local, length / 2) / (length / 2));
    const double y = down ? 230 + 80 * phase : 310 - 80 * phase;
    cairo_set_source_rgb(cr, 0.4, 0.8, 1.0);
    clipText(cr, down ? "\u2193" : "\u2191", 150, 270, 60);
    drawSnail(cr, 300, y, 100, local * 3);
    break;
  }
  case 3: {
    pageTitle(cr, "Werfen");
    const bool holding = local > 1.0 && local < 4.2;
    keyLine(cr, 100, "Leertaste", 130, "oder", local < 1.0 || holding);
    drawKey(cr, 250, 80, 44, 36, "F", false);
    cairo_set_source_rgb(cr, 0.95, 0.96, 1.0);
    clipText(cr, "Wollkn\u00e4uel werfen", kWidth / 2.0, 146, 20, false);
    clipText(cr, "3 Sekunden halten und loslassen: Superschuss!", kWidth / 2.0, 178, 16, false);
    // Charge bar filling while the key is held.
    const double charge = holding ? clamp01((local - 1.0) / 3.0) : (local >= 4.2 ? 1.0 : 0.0);
    cairo_rectangle(cr, 90, 198, 300, 16);
    cairo_set_source_rgb(cr, 0.2, 0.22, 0.3);
    cairo_fill(cr);
    cairo_rectangle(cr, 90, 198, 300 * charge, 16);
    cairo_set_source_rgb(cr, charge >= 1.0 ? 0.3 : 1.0, charge >= 1.0 ? 0.9 : 0.7, charge >= 1.0 ? 1.0 : 0.2);
    cairo_fill(cr);
    drawSnail(cr, 100, 295, 90, local * 3);
    // A normal shot right at the press, a super shot on release.
    if (local < 2.2) {
      const double x = 160 + local * 160;
      drawWoolBall(cr, x, 280, 10, local, 0.88, 0.25, 0.35);
    }
    if (local >= 4.2) {
      const double x = 160 + (local - 4.2) * 220;
      drawWoolBall(cr, x, 275, 22, local, 0.25, 0.4, 0.95);
    }
    break;
  }
  case 4: {
    pageTitle(cr, "Tempo");
    const bool boosting = local < length / 2;
    keyLine(cr, 105, "S", 56, "Schub: schneller fliegen", boosting && pulse > 0);
    keyLine(cr, 160, "A", 56, "Bremsen: langsamer fliegen", !boosting && pulse > 0);
    cairo_set_source_rgb(cr, 0.8, 0.85, 0.95);
    clipText(cr, "h\u00f6chstens 3 Sekunden, danach kurze Erholung", kWidth / 2.0, 210, 16, false);
    const double phase = std::fmod(local, length / 2);
    const double speed = boosting ? 1.0 + 2.0 * smooth(phase / 1.5) : 1.0 - 0.65 * smooth(phase / 1.5);
    drawSnail(cr, 170, 290 + 4 * std::sin(local * 5), 80, local * 3 * speed);
    // Speed lines behind the snail, longer the faster it flies.
    for (int l = 0; l < 4; ++l) {
      const double x = 120 - std::fmod(local * 120 * speed + l * 17, 50);
      cairo_move_to(cr, x, 268 + l * 12);
      cairo_line_to(cr, x - 22 * speed, 268 + l * 12);
    }
    cairo_set_source_rgba(cr, 1, 1, 1, 0.7);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, boosting ? 1.0 : 0.35, boosting ? 0.66 : 0.75, boosting ? 0.2 : 1.0);
    clipText(cr, boosting ? (phase > 1.5 ? "TURBO" : "SCHUB") : (phase > 1.5 ? "VOLLBREMSUNG" : "BREMSEN"), 340, 290,
             24);
    break;
  }
  case 5: {
    pageTitle(cr, "Funktionstasten");
    const char* keys[][2] = {{"F1", "dieses Tutorial"},       {"F2", "Statistik (FPS, Objekte)"},
                             {"F3", "Drahtgitter"},           {"F4", "Texturfilter linear/n\u00e4chster"},
                             {"F5", "Mipmap-Modus wechseln"}, {"F8", "Sichtbarkeitstest (Culling)"},
                             {"F9", "Transparenz (Blending)"}};
    for (int k = 0; k < 7; ++k) {
      const double y = 84 + k * 39;
      drawKey(cr, 40, y - 16, 48, 30, keys[k][0], static_cast<int>(local * 2) == k);
      cairo_set_source_rgb(cr, 0.95, 0.96, 1.0);
      clipText(cr, keys[k][1], 104, y, 17, false, 0.0);
    }
    break;
  }
  default: {
    if (local < 2.8) {
      pageTitle(cr, "Ton, Pause, Vollbild");
      const char* keys[][2] = {{"M", "Ton aus / an"},
                               {"P", "Pause / weiter (auch die Pause-Taste)"},
                               {"F11", "Vollbild / Fenster (auch Alt+Enter)"},
                               {"Esc", "Spiel beenden"}};
      for (int k = 0; k < 4; ++k) {
        const double y = 100 + k * 52;
        drawKey(cr, 40, y - 18, 64, 34, keys[k][0], static_cast<int>(local * 1.5) == k);
        cairo_set_source_rgb(cr, 0.95, 0.96, 1.0);
        clipText(cr, keys[k][1], 120, y, 18, false, 0.0);
      }
      cairo_set_source_rgb(cr, 0.8, 0.85, 0.95);
      clipText(cr, "Fenster verlassen pausiert auch", kWidth / 2.0, 316, 16, false);
    } else {
      pageTitle(cr, "Los geht's!");
      cairo_set_source_rgb(cr, 1.0, 0.8, 0.3);
      clipText(cr, "Besiege alle 17 Hummelots!", kWidth / 2.0, 130, 24);
      drawSnail(cr, 150, 260, 90, local * 3);
      drawBee(cr, 340, 250, 70, local * 4);
    }
    break;
  }
  }
}

// Game over: dusk falls, the snail tumbles down, the bumblebees hover.
void gameOverScene(cairo_t* cr, double t) {
  const double dark = smooth(t / 2.0);
  sky(cr, 0.45 - 0.3 * dark, 0.35 - 0.28 * dark, 0.55 - 0.35 * dark, 0.25 - 0.12 * dark, 0.1, 0.15);
  hills(cr, 300, 0.12, 0.2, 0.12, 0.5);
  cairo_save(cr);
  cairo_translate(cr, 240, 40 + 230 * smooth(t / 2.5));
  cairo_rotate(cr, t * 4.0);
  drawSnail(cr, 0, 0, 90, 0);
  cairo_restore(cr);
  drawBee(cr, 90, 110 + 10 * std::sin(t * 3), 60, t * 4);
  drawBee(cr, 400, 130 + 10 * std::sin(t * 3 + 1), 60, t * 4 + 0.3);
  const double appear = smooth((t - 1.0) / 1.0);
  cairo_set_source_rgba(cr, 0.95, 0.2, 0.15, appear);
  clipText(cr, "GAME OVER", 240, 170, 30 + 28 * appear);
  cairo_set_source_rgba(cr, 1, 1, 1, smooth((t - 2.0) / 0.8));
  clipText(cr, "Die Hummelots haben gewonnen ...", 240, 220, 18, false);
}

// Victory: confetti rains, the cat jumps for joy with a ball of wool.
void victoryScene(cairo_t* cr, double t) {
  sky(cr, 0.35, 0.65, 1.0, 0.95, 0.85, 0.55);
  hills(cr, 290, 0.35, 0.65, 0.28, 0.9);
  Random random(5u);
  for (int k = 0; k < 90; ++k) {
    const double x0 = random.range(0, kWidth), speed = random.range(60, 140), phase = random.range(0, 6.3f);
    const double x = x0 + 12 * std::sin(t * 3 + phase);
    const double y = std::fmod(random.range(0, kHeight) + speed * t, kHeight + 20.0) - 10;
    const double colours[][3] = {{1, 0.3, 0.3}, {1, 0.85, 0.2}, {0.3, 0.8, 1}, {0.5, 1, 0.4}, {1, 0.5, 0.9}};
    const auto& c = colours[k % 5];
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, t * 5 + phase);
    cairo_rectangle(cr, -4, -2, 8, 4);
    cairo_set_source_rgb(cr, c[0], c[1], c[2]);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  const double jump = std::fabs(std::sin(t * kPi * 1.2));
  CatPose pose;
  pose.tail = std::sin(t * 6);
  pose.paw = jump;
  drawCat(cr, 105, 335 - 40 * jump, 150, pose);
  drawWoolBall(cr, 205, 245 - 110 * jump, 16, t, 0.88, 0.25, 0.35);
  drawSnail(cr, 370, 265 + 10 * std::sin(t * 4), 110, t * 3);
  const double grow = smooth(t / 0.8);
  cairo_set_source_rgb(cr, 1.0, 0.78, 0.1);
  clipText(cr, "SIEG!", 320, 70, 20 + 44 * grow);
  cairo_set_source_rgba(cr, 0.15, 0.1, 0.3, smooth((t - 1.0) / 0.8));
  clipText(cr, "Alle Hummelots besiegt!", 330, 130, 19);
}

} // namespace

bool writeClips(const std::string& folder, std::vector<GeneratedFile>& files) {
  return encode(folder, content::kDefaultClip, 12.0, catScene, files) &&
         encode(folder, content::kTutorialClip, 29.0, tutorialScene, files) &&
         encode(folder, content::kGameOverClip, 4.0, gameOverScene, files) &&
         encode(folder, content::kVictoryClip, 5.0, victoryScene, files);
}
