// The player's basket at the foot of the screen, moved with the arrow keys
// (or A and D) while they are held. It catches stars for points; each rock
// it meets costs a life, and the last one ends the game.
#ifndef CATCH_BASKET_H
#define CATCH_BASKET_H

#include <lark/Object.h>

class Basket : public lk::Object {
 public:
  Basket();
  int eventHandler(const lk::Event* p_event) override;

 private:
  void key(const lk::Event* p_event);
  void caught(lk::Object* p_other);
  void keepInView();

  bool m_left_held;
  bool m_right_held;
  int m_lives;
};

#endif
