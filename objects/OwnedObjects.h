// What every owner of other scene objects does with them (the player with its
// shots, an enemy with its laser shots, the game with its enemies): remove the
// finished ones, and pass drawing, shadows and texture filtering on.
#pragma once

#include <glm/glm.hpp>

#include <vector>

class Game;

// Deletes every object for which finished(object) holds and removes it from
// the list, keeping the order of the rest; onRemoved() runs once for each,
// right after its delete.
template <typename T, typename Finished, typename OnRemoved>
void removeFinished(std::vector<T*>& objects, Finished finished, OnRemoved onRemoved) {
  auto kept = objects.begin();
  for (T* object : objects) {
    if (finished(object)) {
      delete object;
      onRemoved();
    } else {
      *kept++ = object;
    }
  }
  objects.erase(kept, objects.end());
}

template <typename T, typename Finished> void removeFinished(std::vector<T*>& objects, Finished finished) {
  removeFinished(objects, finished, [] {});
}

// Objects: any list or array of object pointers.
template <typename Objects> int drawEach(const Objects& objects, const glm::mat4& world, bool cull) {
  int drawn = 0;
  for (auto* object : objects)
    drawn += object->draw(world, cull);
  return drawn;
}

template <typename Objects> void drawShadowOfEach(const Objects& objects, Game* game) {
  for (auto* object : objects)
    object->drawShadow(game);
}

// Empty places (a prototype that was never made) are passed over.
template <typename Objects>
void setTextureFilterOfEach(const Objects& objects, bool linear, bool mipmap, bool mipmapLinear) {
  for (auto* object : objects)
    if (object)
      object->setTextureFilter(linear, mipmap, mipmapLinear);
}
