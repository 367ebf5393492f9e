// The player's sight: follows the mouse, pops the balloon it is on when a
// button is clicked, and ends the game on the key Q.
#ifndef HELLO_SIGHT_H
#define HELLO_SIGHT_H

#include <lark/Object.h>

class Sight : public lk::Object {
 public:
  Sight();
  int eventHandler(const lk::Event* p_event) override;
  int draw() override;  // a red '+' instead of a sprite
};

#endif
