// Sent to every object once per game-loop iteration.
#ifndef LK_EVENT_STEP_H
#define LK_EVENT_STEP_H

#include "Event.h"

namespace lk {

const std::string STEP_EVENT = "lk::step";

class EventStep : public Event {
 public:
  explicit EventStep(int init_step_count = 0);

  int getStepCount() const;
  void setStepCount(int new_step_count);

 private:
  int m_step_count;
};

}  // namespace lk

#endif
