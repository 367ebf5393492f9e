// Game objects that write down what happens to them: the events they receive,
// when they are drawn and when they are destroyed, all in one shared journal
// so tests can check the order of things across objects. Events are gone once
// dispatched, so what a test needs of them is copied here.
#ifndef LK_TEST_RECORDER_H
#define LK_TEST_RECORDER_H

#include <functional>
#include <string>
#include <vector>

#include "Event.h"
#include "Object.h"
#include "Vector.h"
#include "ViewObject.h"

namespace lktest {

// Every recorder appends here, e.g. "a lk::step 0", "a lk::collision a->b (11,10)",
// "a draw", "a deleted".
std::vector<std::string>& journal();
// Journal entries that start with the prefix (e.g. "a " or "a lk::step").
std::vector<std::string> journalOf(const std::string& prefix);
int journalCount(const std::string& entry);

// A copy of what an event carried.
struct Seen {
  std::string type;
  int step = -1;                   // step events
  lk::Object* p_obj1 = nullptr;    // collision events
  lk::Object* p_obj2 = nullptr;
  lk::Vector position;
};

class Recorder : public lk::Object {
 public:
  // A 1 x 1 box centred on the position, so edges fall on round numbers.
  explicit Recorder(std::string name, lk::Vector position = lk::Vector(),
                    lk::Solidness solidness = lk::HARD);
  ~Recorder() override;

  int eventHandler(const lk::Event* p_event) override;
  int draw() override;

  int count(const std::string& type) const;

  std::string name;
  std::vector<Seen> seen;
  // Run after an event is recorded, and at the start of destruction.
  std::function<void(Recorder&, const lk::Event&)> on_event;
  std::function<void()> on_destroy;
};

// A view object that journals its drawing instead of drawing.
class RecordingViewObject : public lk::ViewObject {
 public:
  explicit RecordingViewObject(std::string name);
  ~RecordingViewObject() override;
  int draw() override;

  std::string name;
};

// The recorder's name, or "#<id>" for any other object.
std::string nameOf(const lk::Object* p_object);

}  // namespace lktest

#endif
