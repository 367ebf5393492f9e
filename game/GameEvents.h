// The game's own event types: a duck reports its fate to every object.
#ifndef FOWLSHOT_GAME_EVENTS_H
#define FOWLSHOT_GAME_EVENTS_H

#include <string>

const std::string HIT_EVENT = "duck_hit";
const std::string MISSED_EVENT = "duck_missed";

#endif
