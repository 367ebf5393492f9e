// Sent by a duck that a bullet hit; the type is the whole message.
#ifndef FOWLSHOT_EVENT_HIT_H
#define FOWLSHOT_EVENT_HIT_H

#include "Event.h"
#include "GameEvents.h"

class EventHit : public lk::Event {
 public:
  EventHit();
  ~EventHit() override;
};

#endif
