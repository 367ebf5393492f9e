#include "EventOut.h"

namespace lk {

EventOut::EventOut() { setType(OUT_EVENT); }

}  // namespace lk
