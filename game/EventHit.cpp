#include "EventHit.h"

EventHit::EventHit() { setType(HIT_EVENT); }

EventHit::~EventHit() = default;
