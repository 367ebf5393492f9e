#ifndef LK_EVENT_OUT_H
#define LK_EVENT_OUT_H

#include "Event.h"

namespace lk {

const std::string OUT_EVENT = "lk::out";

/// Sent to an object whose move takes it wholly out of the world.
class EventOut : public Event {
 public:
  EventOut();
};

}  // namespace lk

#endif
