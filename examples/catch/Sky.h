// Runs the game: drops stars and rocks, a little faster as the score grows,
// shows the game-over line, and starts a new game on R (Q quits).
#ifndef CATCH_SKY_H
#define CATCH_SKY_H

#include <string>

#include <lark/Object.h>
#include <lark/ViewObject.h>

// Sent by the basket when its last life is gone.
const std::string GAME_OVER_EVENT = "catch::over";

class Sky : public lk::Object {
 public:
  Sky(lk::ViewObject* p_score, lk::ViewObject* p_lives);
  int eventHandler(const lk::Event* p_event) override;
  int draw() override;  // the game-over line, when the game is over

 private:
  void start();
  void drop();

  lk::ViewObject* m_p_score;
  lk::ViewObject* m_p_lives;
  bool m_over;
  int m_games;
  int m_steps;
};

#endif
