// A hit duck falling out of the world behind the scenery.
#ifndef FOWLSHOT_DUCK_SHOT_H
#define FOWLSHOT_DUCK_SHOT_H

#include "Object.h"
#include "Vector.h"

class DuckShot : public lk::Object {
 public:
  explicit DuckShot(lk::Vector position);

  int eventHandler(const lk::Event* p_event) override;
};

#endif
