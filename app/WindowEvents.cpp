#include "app/WindowEvents.h"

void WindowEvents::focusChanged(bool focused) {
  if (!focused)
    left = true;
}

void WindowEvents::iconifyChanged(bool iconified) {
  if (iconified)
    left = true;
}

bool WindowEvents::takeLeft() {
  const bool wasLeft = left;
  left = false;
  return wasLeft;
}

bool WindowEvents::takeExposed() {
  const bool wasExposed = exposed;
  exposed = false;
  return wasExposed;
}
