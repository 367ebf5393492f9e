// The banner and jingle that mark the end of a round; it removes itself
// after a fixed number of steps.
#ifndef FOWLSHOT_NEW_ROUND_H
#define FOWLSHOT_NEW_ROUND_H

#include "Object.h"
#include "Sound.h"

class NewRound : public lk::Object {
 public:
  NewRound();
  ~NewRound() override;

  int eventHandler(const lk::Event* p_event) override;

  int getCountdown() const;

 private:
  int m_countdown;
  lk::Sound* m_p_sound;  // not owned; null when the sound is not loaded
};

#endif
