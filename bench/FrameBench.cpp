// What a frame costs to draw and show, and what the world's update costs, in
// one run under an X display:
//   frame/full-screen  every cell of the window through drawCh + swapBuffer
//   frame/title        the start screen drawn by the world + swapBuffer
//   frame/play         a busy moment of play drawn by the world + swapBuffer
//   world/update/N     WorldManager::update with N moving objects
// Each frame case runs in the batched way and in the per-cell reference way.
// After them the full-screen frame runs once more while a second process
// keeps one core busy ("full-screen frame under load";
// --lk-load-repetitions=N, 0 for none).
//
// With --lk-callgrind=CASE[,CASE...|all] [--lk-iterations=N] the program
// instead runs each case N times between callgrind's zero and dump requests,
// so that valgrind --tool=callgrind counts the instructions of exactly those
// frames or updates. --lk-list names the cases; --lk-vsync=on|off|auto;
// --lk-snapshot=CASE:/path/picture.png saves the picture a frame case draws.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(label)
#endif

#include "DisplayManager.h"
#include "EventCollision.h"
#include "EventOut.h"
#include "FrameScenes.h"
#include "Object.h"
#include "WorldManager.h"

namespace fs = std::filesystem;

using scenes::clearWorld;
using scenes::drawFullScreen;
using scenes::haveGameSprites;
using scenes::setUpPlay;
using scenes::setUpTitle;
using scenes::startEngine;
using scenes::stopEngine;

namespace {

// ---------------------------------------------------------------- set-up

// The engine reads "../sprites/", "../sounds/" and "../lk-font.ttf", so the
// program works in <tmp>/lk-bench-XXXXXX/run beside links to the game's
// staged assets. Returns the folder to remove at the end.
std::string stageAssets() {
  char pattern[] = "/tmp/lk-bench-XXXXXX";
  const char* dir = mkdtemp(pattern);
  if (dir == nullptr) {
    std::perror("mkdtemp");
    std::exit(2);
  }
  const std::string parent = dir;
  const std::string game = LK_GAME_DIR_PATH;
  for (const char* name : {"sprites", "sounds", "lk-font.ttf"}) {
    std::error_code error;
    fs::create_symlink(game + "/" + name, parent + "/" + name, error);
    if (error || !fs::exists(parent + "/" + name)) {
      std::fprintf(stderr, "cannot stage %s/%s: %s\n", game.c_str(), name,
                   error ? error.message().c_str() : "missing");
      std::exit(2);
    }
  }
  fs::create_directory(parent + "/run");
  if (chdir((parent + "/run").c_str()) != 0) {
    std::perror("chdir");
    std::exit(2);
  }
  return parent;
}

// ---------------------------------------------------------------- frames

void fullScreenFrame() {
  drawFullScreen();
  lk::DisplayManager::getInstance().swapBuffer();
}

// What the game loop does after the update: the world draws, the frame shows.
void worldFrame() {
  lk::WorldManager::getInstance().draw();
  lk::DisplayManager::getInstance().swapBuffer();
}

// ---------------------------------------------------------------- world update

int g_update_number = 0;      // which update is running, for one bounce each
long g_collision_events = 0;  // received by movers, for the report

// A box that moves at a steady velocity, wraps round the world when it
// leaves it, and turns back when a hard object blocks it, so the population
// stays the same from one update to the next.
class Mover : public lk::Object {
 public:
  Mover(lk::Vector position, lk::Vector velocity, lk::Solidness solidness, bool big, bool duck)
      : m_bounced_at(-1) {
    setType(duck ? "Duck" : "Mover");
    setSolidness(solidness);
    if (big) setBox(lk::Box(lk::Vector(-1.0f, -0.75f), 2.0f, 1.5f));
    setPosition(position);
    setVelocity(velocity);
  }

  int eventHandler(const lk::Event* p_event) override {
    const std::string type = p_event->getType();
    if (type == lk::COLLISION_EVENT) {
      ++g_collision_events;
      const auto* p_collision = static_cast<const lk::EventCollision*>(p_event);
      if (p_collision->getObject1() == this && getSolidness() == lk::HARD &&
          p_collision->getObject2()->getSolidness() == lk::HARD &&
          m_bounced_at != g_update_number) {
        m_bounced_at = g_update_number;
        const lk::Vector v = getVelocity();
        setVelocity(lk::Vector(-v.getX(), -v.getY()));
      }
      return 1;
    }
    if (type == lk::OUT_EVENT) {
      const lk::Box world = lk::WorldManager::getInstance().getBoundary();
      const lk::Vector p = getPosition();
      setPosition(
          lk::Vector(wrap(p.getX(), world.getHorizontal()), wrap(p.getY(), world.getVertical())));
      return 1;
    }
    return 0;
  }

 private:
  static float wrap(float value, float size) {
    const float wrapped = std::fmod(value, size);
    return wrapped < 0 ? wrapped + size : wrapped;
  }

  int m_bounced_at;
};

// N movers on a lattice over the whole world, so that no two hard ones start
// overlapping: half hard, three in ten soft, the rest spectral; a quarter
// are larger (2 x 1.5), and one hard mover in ten is a "Duck", which other
// ducks pass through.
void setUpMovers(int count) {
  clearWorld();
  const lk::Box world = lk::WorldManager::getInstance().getBoundary();
  const float width = world.getHorizontal();
  const float height = world.getVertical();
  const int columns = static_cast<int>(std::ceil(std::sqrt(count * width / height)));
  const int rows = (count + columns - 1) / columns;
  const float dx = width / static_cast<float>(columns);
  const float dy = height / static_cast<float>(rows);

  std::mt19937 random(20240601u);
  std::uniform_real_distribution<float> angle(0.0f, 6.2831853f);
  std::uniform_real_distribution<float> speed(0.05f, 0.5f);
  for (int i = 0; i < count; ++i) {
    const lk::Vector position((static_cast<float>(i % columns) + 0.5f) * dx,
                              (static_cast<float>(i / columns) + 0.5f) * dy);
    const float a = angle(random);
    const float s = speed(random);
    const lk::Vector velocity(s * std::cos(a), s * std::sin(a));
    const int kind = i % 10;
    const lk::Solidness solidness = kind < 5 ? lk::HARD : kind < 8 ? lk::SOFT : lk::SPECTRAL;
    new Mover(position, velocity, solidness, i % 4 == 0, kind == 0);
  }
  g_collision_events = 0;
}

void worldUpdate() {
  ++g_update_number;
  lk::WorldManager::getInstance().update();
}

// ---------------------------------------------------------------- cases

struct Case {
  std::string name;
  std::function<void()> set_up;
  std::function<void()> step;
  bool reference;  // draw in the per-cell reference way
  bool world;      // a world update, timed in microseconds
  bool scene;      // built from the game's objects and sprites
};

std::vector<Case> allCases() {
  std::vector<Case> cases;
  for (bool reference : {false, true}) {
    const std::string way = reference ? "reference" : "fast";
    cases.push_back(
        {"frame/full-screen/" + way, clearWorld, fullScreenFrame, reference, false, false});
    cases.push_back({"frame/title/" + way, setUpTitle, worldFrame, reference, false, true});
    cases.push_back({"frame/play/" + way, setUpPlay, worldFrame, reference, false, true});
  }
  for (int count : {100, 500, 2000})
    cases.push_back({"world/update/" + std::to_string(count), [count] { setUpMovers(count); },
                     worldUpdate, false, true, false});
  return cases;
}

void setUpCase(const Case& c) {
  lk::DisplayManager::getInstance().setReferenceDrawing(c.reference);
  c.set_up();
}

void tearDownCase() {
  clearWorld();
  lk::DisplayManager& display = lk::DisplayManager::getInstance();
  display.setReferenceDrawing(false);
  display.swapBuffer();  // leave no half-drawn frame to the next case
}

void runCase(benchmark::State& state, const Case& c) {
  if (c.scene && !haveGameSprites()) {
    state.SkipWithError("the game's sprites are not staged in the build's game/sprites");
    for (auto _ : state) {
    }
    return;
  }
  setUpCase(c);
  // A first frame builds glyph pages and shader variants: not part of the
  // steady cost.
  c.step();
  g_collision_events = 0;
  for (auto _ : state) c.step();
  if (c.world)
    state.counters["collisions"] = benchmark::Counter(static_cast<double>(g_collision_events) /
                                                      static_cast<double>(state.iterations()));
  tearDownCase();
}

// ---------------------------------------------------------------- vertical sync

// Mean milliseconds of an empty frame (swapBuffer alone).
double emptyFrameMs(int frames) {
  lk::DisplayManager& display = lk::DisplayManager::getInstance();
  display.swapBuffer();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) display.swapBuffer();
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / frames;
}

// The game asks for vertical sync. Where the X server honours it, a frame
// waits for the next refresh and the time measured is the refresh, not the
// drawing; then the frames are measured without it.
void settleVerticalSync(const std::string& mode) {
  sf::RenderWindow* p_window = lk::DisplayManager::getInstance().getWindow();
  if (mode == "on" || mode == "off") {
    p_window->setVerticalSyncEnabled(mode == "on");
    std::printf("vsync: %s (as asked)\n", mode.c_str());
    return;
  }
  p_window->setVerticalSyncEnabled(true);
  const double with_sync = emptyFrameMs(60);
  p_window->setVerticalSyncEnabled(false);
  const double without_sync = emptyFrameMs(60);
  const bool throttles = with_sync > without_sync + 4.0;
  p_window->setVerticalSyncEnabled(!throttles);
  std::printf("vsync: %s (empty frame %.2f ms with vsync, %.2f ms without)%s\n",
              throttles ? "throttles" : "does not throttle", with_sync, without_sync,
              throttles ? "; frames are measured without it" : "");
  std::fflush(stdout);
}

// The OpenGL implementation that draws, from the window's context.
void printRenderer() {
  using GetString = const unsigned char* (*)(unsigned int);
  auto get_string = reinterpret_cast<GetString>(dlsym(RTLD_DEFAULT, "glGetString"));
  sf::RenderWindow* p_window = lk::DisplayManager::getInstance().getWindow();
  if (get_string == nullptr || !p_window->setActive(true)) return;
  const unsigned int GL_RENDERER_NAME = 0x1F01, GL_VERSION_NAME = 0x1F02;
  const unsigned char* renderer = get_string(GL_RENDERER_NAME);
  const unsigned char* version = get_string(GL_VERSION_NAME);
  std::printf("renderer: %s; OpenGL %s\n", renderer ? reinterpret_cast<const char*>(renderer) : "?",
              version ? reinterpret_cast<const char*>(version) : "?");
}

// ---------------------------------------------------------------- summary

// Keeps the time of every case, in milliseconds, for the summary: the median
// of the repetitions when there are several, else the mean of the one run.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type != Run::RT_Iteration && !median) continue;
      const std::string name = run.run_name.function_name;
      if (!median && m_from_median.count(name) != 0) continue;
      m_ms[name] =
          run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
      if (median) m_from_median.insert(name);
    }
  }

  bool has(const std::string& name) const { return m_ms.count(name) != 0; }
  double ms(const std::string& name) const { return m_ms.at(name); }

 private:
  std::map<std::string, double> m_ms;
  std::set<std::string> m_from_median;
};

std::string formatMs(double ms) {
  char text[32];
  std::snprintf(text, sizeof text,
                ms < 0.1  ? "%.4f"
                : ms < 1  ? "%.3f"
                : ms < 10 ? "%.2f"
                          : "%.1f",
                ms);
  return text;
}

// The full-screen frame once more, with a second process keeping one core
// busy: a player's machine runs other programs too. Median of the
// repetitions, each the mean of the frames drawn in at least `seconds`;
// negative when it could not be measured.
double fullScreenUnderLoadMs(int repetitions, double seconds) {
  const pid_t busy = fork();
  if (busy < 0) {
    std::perror("fork");
    return -1;
  }
  if (busy == 0) {
    // Dies with the benchmark, whatever becomes of it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() == 1) _exit(0);
    volatile unsigned long spin = 0;
    for (;;) spin = spin + 1;
  }
  lk::DisplayManager::getInstance().setReferenceDrawing(false);
  clearWorld();
  fullScreenFrame();  // untimed, as in every case
  std::vector<double> means;
  for (int i = 0; i < repetitions; ++i) {
    const auto start = std::chrono::steady_clock::now();
    long frames = 0;
    std::chrono::duration<double> spent{};
    do {
      fullScreenFrame();
      ++frames;
      spent = std::chrono::steady_clock::now() - start;
    } while (spent.count() < seconds);
    means.push_back(spent.count() * 1e3 / static_cast<double>(frames));
  }
  kill(busy, SIGKILL);
  waitpid(busy, nullptr, 0);
  std::sort(means.begin(), means.end());
  return means[means.size() / 2];
}

// The last lines: one per figure, then whether each target is met.
void printSummary(const SummaryReporter& r, double under_load_ms) {
  struct Frame {
    const char* label;
    const char* name;
    double target;
  };
  const Frame frames[] = {{"full-screen frame", "full-screen", 10.0},
                          {"title frame", "title", 3.0},
                          {"play frame", "play", 2.0}};
  std::vector<std::string> targets;
  std::printf("\n");
  for (const Frame& f : frames) {
    const std::string fast = std::string("frame/") + f.name + "/fast";
    const std::string reference = std::string("frame/") + f.name + "/reference";
    if (!r.has(fast)) continue;
    const double ms = r.ms(fast);
    std::printf("%s: %s ms", f.label, formatMs(ms).c_str());
    if (r.has(reference)) {
      const double ratio = r.ms(reference) / ms;
      std::printf(" (reference %s ms, x%.1f)", formatMs(r.ms(reference)).c_str(), ratio);
      if (std::string(f.name) == "full-screen")
        targets.push_back(std::string("full-screen frame at least 6x faster than the reference: ") +
                          (ratio >= 6.0 ? "met" : "MISSED"));
    }
    std::printf("\n");
    char line[128];
    std::snprintf(line, sizeof line, "%s at most %.0f ms: %s", f.label, f.target,
                  ms <= f.target ? "met" : "MISSED");
    targets.push_back(line);
  }
  if (under_load_ms >= 0) {
    std::printf("full-screen frame under load: %s ms\n", formatMs(under_load_ms).c_str());
    targets.push_back(std::string("full-screen frame under load under 16 ms: ") +
                      (under_load_ms < 16.0 ? "met" : "MISSED"));
  }
  for (int count : {100, 500, 2000}) {
    const std::string name = "world/update/" + std::to_string(count);
    if (!r.has(name)) continue;
    std::printf("world update %d: %s ms\n", count, formatMs(r.ms(name)).c_str());
    if (count == 2000)
      targets.push_back(std::string("world update 2000 at most 1 ms: ") +
                        (r.ms(name) <= 1.0 ? "met" : "MISSED"));
  }
  for (const std::string& t : targets) std::printf("target: %s\n", t.c_str());
  std::fflush(stdout);
}

// ---------------------------------------------------------------- callgrind

// Runs each named case (or all) `iterations` times between callgrind's zero
// and dump requests, after one unmeasured frame or update, so that each dump
// holds just those; the dump is labelled "lk-case <name> <iterations>".
// Frames run 3 times and updates 10 unless told otherwise.
int runUnderCallgrind(const std::string& names, int iterations) {
  int found = 0;
  for (const Case& c : allCases()) {
    if (names != "all" && ("," + names + ",").find("," + c.name + ",") == std::string::npos)
      continue;
    ++found;
    if (c.scene && !haveGameSprites()) {
      std::fprintf(stderr, "the game's sprites are not staged in the build's game/sprites\n");
      return 1;
    }
    const int n = iterations > 0 ? iterations : c.world ? 10 : 3;
    setUpCase(c);
    c.step();
    const std::string label = "lk-case " + c.name + " " + std::to_string(n);
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < n; ++i) c.step();
    CALLGRIND_DUMP_STATS_AT(label.c_str());
    tearDownCase();
  }
  if (found == 0) {
    std::fprintf(stderr, "no case named %s (see --lk-list)\n", names.c_str());
    return 2;
  }
  return 0;
}

// Saves the picture one case draws, to see what is being measured.
int snapshot(const std::string& name, const std::string& file) {
  for (const Case& c : allCases()) {
    if (c.name != name || c.world) continue;
    if (c.scene && !haveGameSprites()) return 1;
    setUpCase(c);
    if (c.name.find("full-screen") != std::string::npos) {
      fullScreenFrame();  // it swaps itself; draw it again without swapping
      drawFullScreen();
    } else {
      lk::WorldManager::getInstance().draw();
    }
    lk::DisplayManager::getInstance().flush();
    sf::RenderWindow* p_window = lk::DisplayManager::getInstance().getWindow();
    sf::Texture texture;
    texture.create(p_window->getSize().x, p_window->getSize().y);
    texture.update(*p_window);
    const bool saved = texture.copyToImage().saveToFile(file);
    tearDownCase();
    return saved ? 0 : 1;
  }
  std::fprintf(stderr, "no frame case named %s\n", name.c_str());
  return 2;
}

// OpenAL's mixer thread runs at the pace of the wall clock, and under
// valgrind a frame lasts seconds of it: its work would swamp the frame's.
// Pausing the device (ALC_SOFT_pause_device) stops the mixer.
void pauseAudioMixer() {
  using GetCurrentContext = void* (*)();
  using GetContextsDevice = void* (*)(void*);
  using DevicePause = void (*)(void*);
  auto get_context =
      reinterpret_cast<GetCurrentContext>(dlsym(RTLD_DEFAULT, "alcGetCurrentContext"));
  auto get_device =
      reinterpret_cast<GetContextsDevice>(dlsym(RTLD_DEFAULT, "alcGetContextsDevice"));
  auto pause = reinterpret_cast<DevicePause>(dlsym(RTLD_DEFAULT, "alcDevicePauseSOFT"));
  void* p_context = get_context != nullptr ? get_context() : nullptr;
  void* p_device = p_context != nullptr && get_device != nullptr ? get_device(p_context) : nullptr;
  if (p_device == nullptr || pause == nullptr) {
    std::fprintf(stderr, "note: the audio mixer could not be paused; its work is counted too\n");
    return;
  }
  pause(p_device);
}

// Takes the value of "--name=value" out of the arguments.
bool takeOption(int& argc, char** argv, const char* name, std::string& value) {
  const std::string prefix = std::string(name) + "=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) != 0) continue;
    value = argv[i] + prefix.size();
    for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
    --argc;
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // The game's own heap settings (game/main.cpp), so that frames are timed as it runs them.
#if defined(__GLIBC__)
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
#endif
  std::string callgrind_case, iterations_text = "0", vsync = "auto", snapshot_spec;
  std::string load_repetitions_text = "3";
  const bool callgrind = takeOption(argc, argv, "--lk-callgrind", callgrind_case);
  const bool snap = takeOption(argc, argv, "--lk-snapshot", snapshot_spec);
  takeOption(argc, argv, "--lk-iterations", iterations_text);
  takeOption(argc, argv, "--lk-vsync", vsync);
  takeOption(argc, argv, "--lk-load-repetitions", load_repetitions_text);
  if (std::strcmp(argv[argc - 1], "--lk-list") == 0) {
    for (const Case& c : allCases()) std::printf("%s\n", c.name.c_str());
    return 0;
  }

  // Music and sounds play on a silent device: no sound card here, and the
  // mixing is not what is measured.
  setenv("ALSOFT_DRIVERS", "null", 0);

  const std::string staged = stageAssets();
  if (const char* failed = startEngine()) {
    std::fprintf(stderr, "the engine's %s did not start%s; see %s/lark.log\n", failed,
                 std::strcmp(failed, "DisplayManager") == 0
                     ? " (no window: is DISPLAY set? scripts/bench starts Xvfb)"
                     : "",
                 staged.c_str());
    return 1;
  }

  int status = 0;
  if (snap) {
    // CASE:/path/picture.png; the program works in a folder of its own.
    const std::size_t colon = snapshot_spec.find(':');
    const std::string file = colon == std::string::npos ? "" : snapshot_spec.substr(colon + 1);
    if (file.empty() || file[0] != '/') {
      std::fprintf(stderr, "--lk-snapshot=CASE:/absolute/path.png\n");
      status = 2;
    } else {
      status = snapshot(snapshot_spec.substr(0, colon), file);
    }
  } else if (callgrind) {
    // Instruction counts are the same with or without a wait for the screen.
    lk::DisplayManager::getInstance().getWindow()->setVerticalSyncEnabled(vsync == "on");
    pauseAudioMixer();
    status = runUnderCallgrind(callgrind_case, std::atoi(iterations_text.c_str()));
  } else {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    printRenderer();
    settleVerticalSync(vsync);
    for (const Case& c : allCases()) {
      benchmark::RegisterBenchmark(c.name.c_str(),
                                   [c](benchmark::State& state) { runCase(state, c); })
          ->Unit(c.world ? benchmark::kMicrosecond : benchmark::kMillisecond)
          ->UseRealTime();
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // The pass under load goes with the full-screen case (0 repetitions: none).
    const int load_repetitions = std::atoi(load_repetitions_text.c_str());
    double under_load_ms = -1;
    if (reporter.has("frame/full-screen/fast") && load_repetitions > 0) {
      std::printf("\nfull-screen frame with a second process keeping one core busy...\n");
      std::fflush(stdout);
      under_load_ms = fullScreenUnderLoadMs(load_repetitions, 1.0);
    }
    printSummary(reporter, under_load_ms);
  }

  clearWorld();
  stopEngine();
  std::error_code ignored;
  fs::remove_all(staged, ignored);
  return status;
}
