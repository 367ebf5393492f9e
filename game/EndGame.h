// The end screen: clears the play, shows its picture for a fixed number of
// steps, then empties the world and brings back the start screen.
#ifndef FOWLSHOT_END_GAME_H
#define FOWLSHOT_END_GAME_H

#include "Object.h"

class EndGame : public lk::Object {
 public:
  EndGame();
  ~EndGame() override;

  int eventHandler(const lk::Event* p_event) override;

  int getCountdown() const;

 private:
  int m_countdown;
  // Set when the countdown runs out. Only then does the destructor clear
  // the world and make a start screen; when the world itself is shutting
  // down there is nothing to return to.
  bool m_finished;
};

#endif
