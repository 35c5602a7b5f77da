// Cartoon figures for the clips, drawn with cairo in a unit space: the cat,
// the flying snail, the bumblebee enemy, a ball of wool and keyboard keys.
#pragma once

#include <string>

#include <cairo.h>

struct CatPose {
  double tail = 0.0;  // -1..1 tail swing
  double blink = 0.0; // 0 open .. 1 closed
  double paw = 0.0;   // 0 resting .. 1 raised to bat
  double mood = 1.0;  // 1 happy smile, -1 sad
};

// A sitting cat, feet at (x, y), about size pixels tall, body facing right.
void drawCat(cairo_t* cr, double x, double y, double size, const CatPose& pose);
// The flying snail seen from the side, facing right; centre (x, y), size pixels long.
void drawSnail(cairo_t* cr, double x, double y, double size, double wingPhase);
// The bumblebee enemy with its rotor, facing right; rotor phase in turns.
void drawBee(cairo_t* cr, double x, double y, double size, double rotorPhase);
// A ball of wool of the given radius; spin in turns.
void drawWoolBall(cairo_t* cr, double x, double y, double radius, double spin, double r, double g, double b);
// A keyboard key with its label; pressed keys glow and sit lower.
void drawKey(cairo_t* cr, double x, double y, double width, double height, const std::string& label, bool pressed);
// Text helpers for the clips (DejaVu Sans).
void clipText(cairo_t* cr, const std::string& text, double x, double y, double size, bool bold = true,
              double align = 0.5);
