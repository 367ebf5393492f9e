#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "GameManager.h"
#include "LoadResources.h"
#include "LogManager.h"
#include "StartGame.h"

namespace {

std::atomic<bool> exit_done(false);

// Made before the managers, so destroyed after them: the last of the
// program's own clean-up at exit.
struct ExitDone {
  ~ExitDone() { exit_done = true; }
};

}  // namespace

int main() {
  static ExitDone exit_marker;
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

  // OpenAL Soft 1.19 times its silent "null" output by the wall clock in
  // unsigned numbers: once the clock is set back past the device's opening,
  // its mixer thread spins for good, and closing the device at exit (the
  // sound resources' destructors) waits on it for ever. The log is complete
  // by now; should the clean-up at exit hang, the program ends without it.
  // (A page has no such clean-up, and no threads.)
#if !defined(__EMSCRIPTEN__)
  std::thread([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    if (exit_done) return;
    std::fputs(
        "main(): the audio library did not close within 1.5 s; the program ends without it.\n",
        stderr);
    std::_Exit(0);
  }).detach();
#endif
  return 0;
}
