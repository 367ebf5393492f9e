#include <cstdio>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "GameManager.h"
#include "LoadResources.h"
#include "LogManager.h"
#include "StartGame.h"

int main() {
  // The OpenGL driver allocates and frees its vertex buffers on every draw.
  // glibc would hand the freed top of the heap back to the system each time
  // and fault it in again on the next frame: hundreds of page faults a frame.
  // The heap keeps its top instead, and blocks of up to 32 MiB come from it.
  // A setting of the whole process, so the game makes it, not the engine.
#if defined(__GLIBC__)
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
#endif
  lk::GameManager& game_manager = lk::GameManager::getInstance();
  if (game_manager.startUp() == -1) {
    std::printf("ERROR: The GameManager could not start up successfully.\n");
    game_manager.shutDown();
    return 1;
  }

  lk::LogManager::getInstance().setFlush(true);

  loadResources();
  new StartGame;  // the world manager owns it from here on

  game_manager.run();
  game_manager.shutDown();
  return 0;
}
