// Game objects that write what happens to them (events, drawing, deletion)
// into one shared journal, so tests can check the order of things across
// objects; and the log lines the engine core writes.
#ifndef LK_TEST_RECORDER_H
#define LK_TEST_RECORDER_H

#include <algorithm>
#include <cstdio>
#include <functional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "EventCollision.h"
#include "EventStep.h"
#include "Object.h"
#include "ViewObject.h"

namespace lktest {

// Entries such as "a lk::step 0", "a lk::collision a->b (11,10)", "a draw",
// "a deleted".
inline std::vector<std::string>& journal() {
  static std::vector<std::string> entries;
  return entries;
}

inline int journalCount(const std::string& entry) {
  return static_cast<int>(std::count(journal().begin(), journal().end(), entry));
}

// A view object that journals its drawing instead of drawing.
class RecordingViewObject : public lk::ViewObject {
 public:
  explicit RecordingViewObject(std::string init_name) : name(std::move(init_name)) {}
  int draw() override {
    journal().push_back(name + " draw");
    return 0;
  }
  std::string name;
};

class Recorder : public lk::Object {
 public:
  // A 1 x 1 box centred on the position, so edges fall on round numbers.
  explicit Recorder(std::string init_name, lk::Vector position = lk::Vector(),
                    lk::Solidness solidness = lk::HARD)
      : name(std::move(init_name)) {
    setSolidness(solidness);
    setBox(lk::Box(lk::Vector(-0.5f, -0.5f), 1.0f, 1.0f));
    setPosition(position);
  }
  ~Recorder() override {
    journal().push_back(name + " deleted");
    if (on_destroy) on_destroy();
  }

  int eventHandler(const lk::Event* p_event) override {
    const std::string type = p_event->getType();
    std::string entry = name + " " + type;
    if (type == lk::STEP_EVENT) {
      entry += " " + std::to_string(static_cast<const lk::EventStep*>(p_event)->getStepCount());
    } else if (type == lk::COLLISION_EVENT) {
      const auto* p_collision = static_cast<const lk::EventCollision*>(p_event);
      char where[64];
      std::snprintf(where, sizeof where, " (%g,%g)",
                    static_cast<double>(p_collision->getPosition().getX()),
                    static_cast<double>(p_collision->getPosition().getY()));
      entry += " " + nameOf(p_collision->getObject1()) + "->" +
               nameOf(p_collision->getObject2()) + where;
    }
    seen.push_back(type);
    journal().push_back(entry);
    if (on_event) on_event(*this, *p_event);
    return 1;
  }
  int draw() override {
    journal().push_back(name + " draw");
    return 0;
  }

  int count(const std::string& type) const {
    return static_cast<int>(std::count(seen.begin(), seen.end(), type));
  }

  // The recorder's name, or "#<id>" for any other object.
  static std::string nameOf(const lk::Object* p) {
    if (const auto* p_recorder = dynamic_cast<const Recorder*>(p)) return p_recorder->name;
    return "#" + std::to_string(p->getId());
  }

  std::string name;
  std::vector<std::string> seen;  // event types, in order
  // Run after an event is journaled, and at the start of destruction.
  std::function<void(Recorder&, const lk::Event&)> on_event;
  std::function<void()> on_destroy;
};

// The log after a successful start-up of every manager.
inline const std::vector<std::string>& startUpLines() {
  static const std::vector<std::string> lines = {
      "LogManager::startUp(): lark.log was opened successfully.",
      "LogManager::startUp(): LogManager was successfully started.",
      "DisplayManager::startUp(): DisplayManager was successfully started.",
      "InputManager::startUp(): InputManager was successfully started.",
      "WorldManager::startUp(): WorldManager was successfully started.",
      "GameManager::startUp(): All managers successfully started.",
      "",
  };
  return lines;
}

struct StepLine {
  long step = -1, loop_time = -1, sleep_time = -1;
};

// Reads "GameManager::run(): (step #N) loop_time = L microseconds,
// sleep_time = S milliseconds."; false for any other line.
inline bool parseStepLine(const std::string& line, StepLine* p_out) {
  static const std::regex pattern(
      R"(GameManager::run\(\): \(step #(-?[0-9]+)\) loop_time = (-?[0-9]+) microseconds, )"
      R"(sleep_time = (-?[0-9]+) milliseconds\.)");
  std::smatch m;
  if (!std::regex_match(line, m, pattern)) return false;
  *p_out = {std::stol(m[1]), std::stol(m[2]), std::stol(m[3])};
  return true;
}

}  // namespace lktest

#endif
