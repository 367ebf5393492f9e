#ifndef LK_EVENT_STEP_H
#define LK_EVENT_STEP_H

#include "Event.h"

namespace lk {

const std::string STEP_EVENT = "lk::step";

/// Sent to every object once per game-loop iteration.
class EventStep : public Event {
 public:
  /// The step event of the given step of the loop.
  explicit EventStep(int init_step_count = 0);

  /// The step number, from 0.
  int getStepCount() const;
  /// Sets the step number.
  void setStepCount(int new_step_count);

 private:
  int m_step_count;
};

}  // namespace lk

#endif
