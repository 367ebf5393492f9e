// Sent by a duck that left the world without being hit.
#ifndef FOWLSHOT_EVENT_MISSED_H
#define FOWLSHOT_EVENT_MISSED_H

#include "Event.h"
#include "GameEvents.h"

class EventMissed : public lk::Event {
 public:
  EventMissed();
  ~EventMissed() override;
};

#endif
