/* Preloaded into the game (LD_PRELOAD) to clock it as the player sees it:
 * every glfwSwapBuffers is stamped on the monotonic clock when it returns,
 * and at exit the stamps (seconds, one a line) go to the file that
 * FELIDORA_SWAP_LOG names. Any build of the game can be clocked so, without
 * a line of its own code. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

typedef struct GLFWwindow GLFWwindow;
typedef void (*SwapFunction)(GLFWwindow*);

enum { kMaxStamps = 1 << 20 };
static double stamps[kMaxStamps];
static int stampCount;

void glfwSwapBuffers(GLFWwindow* window) {
  static SwapFunction swap;
  if (!swap)
    swap = (SwapFunction)dlsym(RTLD_NEXT, "glfwSwapBuffers");
  if (swap)
    swap(window);
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  if (stampCount < kMaxStamps)
    stamps[stampCount++] = (double)now.tv_sec + (double)now.tv_nsec * 1e-9;
}

__attribute__((destructor)) static void writeStamps(void) {
  const char* path = getenv("FELIDORA_SWAP_LOG");
  FILE* out = path ? fopen(path, "w") : NULL;
  if (!out)
    return;
  for (int i = 0; i < stampCount; ++i)
    fprintf(out, "%.6f\n", stamps[i]);
  fclose(out);
}
