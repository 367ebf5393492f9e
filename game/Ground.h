// The scenery along the bottom of the view.
#ifndef FOWLSHOT_GROUND_H
#define FOWLSHOT_GROUND_H

#include "Object.h"

class Ground : public lk::Object {
 public:
  Ground();
};

#endif
