// The desktop benchmark's three frames (FrameBench.cpp) drawn by the web
// engine on the page's canvas, timed with the browser's clock:
//   full-screen  every cell of the window through drawCh + swapBuffer
//   title        the start screen drawn by the world + swapBuffer
//   play         a busy moment of play drawn by the world + swapBuffer
// The browser only records a canvas's drawing and rasterises it later (when
// it shows the page, or when a script reads pixels back), so each timed
// frame ends with a read-back of one pixel, which waits for the drawing.
//
// The page's address may ask for a number of frames per case ("?frames=N",
// default 100). Each case prints one console line,
//   web-bench: CASE: T ms (drawing D ms, read-back R ms) median of N frames
// and the program ends with "web-bench: done" (scripts/bench reads them).
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <emscripten.h>

#include "DisplayManager.h"
#include "FrameScenes.h"
#include "WorldManager.h"

namespace {

// The number after "frames=" in the page's address, or 0.
EM_JS(int, lk_bench_frames_asked, (), {
  var frames = new URLSearchParams(location.search).get('frames');
  return frames ? (parseInt(frames, 10) || 0) : 0;
});

// Reading a pixel back makes the browser carry out the canvas's recorded
// drawing first.
EM_JS(void, lk_bench_read_back, (), {
  var canvas = Module['canvas'] || document.getElementById('canvas');
  canvas.getContext('2d').getImageData(0, 0, 1, 1);
});

const int DEFAULT_FRAMES = 100;

struct Case {
  const char* name;
  std::function<void()> set_up;
  std::function<void()> draw;
};

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void runCase(const Case& c, int frames) {
  lk::DisplayManager& display = lk::DisplayManager::getInstance();
  c.set_up();
  // A first frame lays out the font's glyphs: not part of the steady cost.
  c.draw();
  display.swapBuffer();
  lk_bench_read_back();
  std::vector<double> total, drawing, read_back;
  for (int i = 0; i < frames; ++i) {
    const double start = emscripten_get_now();
    c.draw();
    display.swapBuffer();
    const double drawn = emscripten_get_now();
    lk_bench_read_back();
    const double end = emscripten_get_now();
    total.push_back(end - start);
    drawing.push_back(drawn - start);
    read_back.push_back(end - drawn);
  }
  std::printf("web-bench: %s: %.3f ms (drawing %.3f ms, read-back %.3f ms) median of %d frames\n",
              c.name, median(total), median(drawing), median(read_back), frames);
  std::fflush(stdout);
  scenes::clearWorld();
  display.swapBuffer();
  // Between cases the page takes its turn: the console's lines go out.
  emscripten_sleep(0);
}

}  // namespace

int main() {
  if (const char* failed = scenes::startEngine()) {
    std::printf("web-bench: the engine's %s did not start\n", failed);
    return 1;
  }
  if (!scenes::haveGameSprites()) {
    std::printf("web-bench: the game's sprites are not in the page's data\n");
    scenes::stopEngine();
    return 1;
  }
  const int asked = lk_bench_frames_asked();
  const int frames = asked > 0 ? asked : DEFAULT_FRAMES;
  const auto world_draw = [] { lk::WorldManager::getInstance().draw(); };
  const Case cases[] = {{"full-screen", scenes::clearWorld, scenes::drawFullScreen},
                        {"title", scenes::setUpTitle, world_draw},
                        {"play", scenes::setUpPlay, world_draw}};
  for (const Case& c : cases) runCase(c, frames);
  std::printf("web-bench: done\n");
  std::fflush(stdout);
  scenes::clearWorld();
  scenes::stopEngine();
  return 0;
}
