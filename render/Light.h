// A point light as imported from a model: attenuation, colours, direction and
// position. Ambient and direction travel with it but no program reads them.
#pragma once

struct Light {
  float constantAttenuation = 1.0f;
  float linearAttenuation = 0.0f;
  float quadraticAttenuation = 0.0f;
  float ambient[3] = {0.0f, 0.0f, 0.0f};
  float diffuse[3] = {0.0f, 0.0f, 0.0f};
  float specular[3] = {0.0f, 0.0f, 0.0f};
  float direction[3] = {0.0f, 0.0f, 0.0f};
  float position[3] = {0.0f, 0.0f, 0.0f};
};
