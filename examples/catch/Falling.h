// A star (caught for points) or a rock (costs a life) dropping from the top
// of the screen; it is gone once it has fallen out of the world.
#ifndef CATCH_FALLING_H
#define CATCH_FALLING_H

#include <lark/Object.h>

class Falling : public lk::Object {
 public:
  // is_rock: a rock instead of a star; speed in cells per step.
  Falling(bool is_rock, float x, float speed);
  int eventHandler(const lk::Event* p_event) override;
  // Marks it for deletion; false when it was taken already.
  bool take();

 private:
  bool m_taken;
};

#endif
