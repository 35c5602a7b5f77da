#include "app/KeyFlags.h"

#include "render/GlFlavour.h"

#include <GL/glew.h>

KeyFlagTable KeyFlags;

void applyKeys(const KeySnapshot& keys) {
  KeyFlagTable& k = KeyFlags;
  const auto isDown = [&keys](GameKey key) { return isHeld(keys, key); };

  // Setting pass: a held entry goes up with its key.
  if (isDown(GameKey::Left))
    k.keyLeft = true;
  if (isDown(GameKey::Right))
    k.keyRight = true;
  if (isDown(GameKey::Up))
    k.keyUp = true;
  if (isDown(GameKey::Down))
    k.keyDown = true;
  if (isDown(GameKey::Space) || isDown(GameKey::F))
    k.keyFire = true;
  if (isDown(GameKey::S))
    k.keyS = true;
  if (isDown(GameKey::A))
    k.keyA = true;
  if (isDown(GameKey::F1))
    k.keyF1 = true;
  if (isDown(GameKey::F2))
    k.keyF2 = true;

  if (isDown(GameKey::F3)) {
    if (!k.f3Latch) {
      k.wireframe = !k.wireframe;
      render::showWireframe(k.wireframe);
    }
    k.f3Latch = true;
  }

  if (isDown(GameKey::F4))
    k.keyF4 = true;
  if (isDown(GameKey::F5))
    k.keyF5 = true;
  if (isDown(GameKey::F8))
    k.keyF8 = true;

  if (isDown(GameKey::F9)) {
    if (!k.f9Latch) {
      k.blendDisabled = !k.blendDisabled;
      if (k.blendDisabled)
        glDisable(GL_BLEND);
      else
        glEnable(GL_BLEND);
    }
    k.f9Latch = true;
  }

  if (isDown(GameKey::M)) {
    if (!k.mLatch)
      k.soundMuted = !k.soundMuted;
    k.mLatch = true;
  }

  // Clearing pass: a held entry goes down with its key.
  if (!isDown(GameKey::Left))
    k.keyLeft = false;
  if (!isDown(GameKey::Right))
    k.keyRight = false;
  if (!isDown(GameKey::Up))
    k.keyUp = false;
  if (!isDown(GameKey::Down))
    k.keyDown = false;
  if (!isDown(GameKey::Space) && !isDown(GameKey::F))
    k.keyFire = false;
  if (!isDown(GameKey::S))
    k.keyS = false;
  if (!isDown(GameKey::A))
    k.keyA = false;
  if (!isDown(GameKey::F1))
    k.keyF1 = false;
  if (!isDown(GameKey::F2))
    k.keyF2 = false;
  if (!isDown(GameKey::F3))
    k.f3Latch = false;
  if (!isDown(GameKey::F4))
    k.keyF4 = false;
  if (!isDown(GameKey::F5))
    k.keyF5 = false;
  if (!isDown(GameKey::F8))
    k.keyF8 = false;
  if (!isDown(GameKey::F9))
    k.f9Latch = false;
  if (!isDown(GameKey::M))
    k.mLatch = false;
}

void resetKeyToggles() {
  KeyFlags.wireframe = false;
  KeyFlags.blendDisabled = false;
  KeyFlags.f3Latch = false;
  KeyFlags.f9Latch = false;
  KeyFlags.mLatch = false;
  KeyFlags.soundMuted = false;
}
