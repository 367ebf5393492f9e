#include "EventMissed.h"

EventMissed::EventMissed() { setType(MISSED_EVENT); }

EventMissed::~EventMissed() = default;
