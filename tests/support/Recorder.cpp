#include "Recorder.h"

#include <cstdio>
#include <utility>

#include "Box.h"
#include "EventCollision.h"
#include "EventStep.h"

namespace lktest {

namespace {

std::string formatPosition(lk::Vector v) {
  char text[64];
  std::snprintf(text, sizeof text, "(%g,%g)", static_cast<double>(v.getX()),
                static_cast<double>(v.getY()));
  return text;
}

}  // namespace

std::vector<std::string>& journal() {
  static std::vector<std::string> entries;
  return entries;
}

std::vector<std::string> journalOf(const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& entry : journal())
    if (entry.compare(0, prefix.size(), prefix) == 0) found.push_back(entry);
  return found;
}

int journalCount(const std::string& entry) {
  int n = 0;
  for (const std::string& e : journal())
    if (e == entry) ++n;
  return n;
}

std::string nameOf(const lk::Object* p_object) {
  if (const auto* p_recorder = dynamic_cast<const Recorder*>(p_object)) return p_recorder->name;
  if (const auto* p_view = dynamic_cast<const RecordingViewObject*>(p_object)) return p_view->name;
  return "#" + std::to_string(p_object->getId());
}

Recorder::Recorder(std::string init_name, lk::Vector position, lk::Solidness solidness)
    : name(std::move(init_name)) {
  setType("Recorder");
  setSolidness(solidness);
  setBox(lk::Box(lk::Vector(-0.5f, -0.5f), 1.0f, 1.0f));
  setPosition(position);
}

Recorder::~Recorder() {
  journal().push_back(name + " deleted");
  if (on_destroy) on_destroy();
}

int Recorder::eventHandler(const lk::Event* p_event) {
  Seen s;
  s.type = p_event->getType();
  std::string entry = name + " " + s.type;
  if (s.type == lk::STEP_EVENT) {
    s.step = static_cast<const lk::EventStep*>(p_event)->getStepCount();
    entry += " " + std::to_string(s.step);
  } else if (s.type == lk::COLLISION_EVENT) {
    const auto* p_collision = static_cast<const lk::EventCollision*>(p_event);
    s.p_obj1 = p_collision->getObject1();
    s.p_obj2 = p_collision->getObject2();
    s.position = p_collision->getPosition();
    entry += " " + nameOf(s.p_obj1) + "->" + nameOf(s.p_obj2) + " " + formatPosition(s.position);
  }
  seen.push_back(s);
  journal().push_back(entry);
  if (on_event) on_event(*this, *p_event);
  return 1;
}

int Recorder::draw() {
  journal().push_back(name + " draw");
  return 0;
}

int Recorder::count(const std::string& type) const {
  int n = 0;
  for (const Seen& s : seen)
    if (s.type == type) ++n;
  return n;
}

RecordingViewObject::RecordingViewObject(std::string init_name) : name(std::move(init_name)) {}

RecordingViewObject::~RecordingViewObject() { journal().push_back(name + " deleted"); }

int RecordingViewObject::draw() {
  journal().push_back(name + " draw");
  return 0;
}

}  // namespace lktest
