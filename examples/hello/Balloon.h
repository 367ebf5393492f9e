// A balloon that rises from the bottom of the screen, swaying, and starts
// again from the bottom when it floats away or is popped.
#ifndef HELLO_BALLOON_H
#define HELLO_BALLOON_H

#include <lark/Object.h>

class Balloon : public lk::Object {
 public:
  Balloon();
  int eventHandler(const lk::Event* p_event) override;
  // Bang: the sound, a point on the HUD, and a new balloon in its place.
  void pop();

 private:
  void rise();  // from just below the screen, at a random column and speed

  bool m_popped = false;  // two clicks in one step pop it once
};

#endif
