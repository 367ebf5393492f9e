// The player's gun at the bottom middle of the view: turns toward the
// pointer, sounds its shots, counts the missed ducks and ends the game on
// the third miss or on Q.
#ifndef FOWLSHOT_GUN_H
#define FOWLSHOT_GUN_H

#include "Object.h"
#include "Sound.h"

const int MISS_LIMIT = 3;

class Gun : public lk::Object {
 public:
  Gun();
  ~Gun() override;

  int eventHandler(const lk::Event* p_event) override;
  int draw() override;

  int getAimFrames() const;
  int getAimFrame() const;
  int getMissed() const;
  int getStepsSinceShot() const;

 private:
  // The end screen, once per game: a later miss or Q before the gun is
  // deleted must not bring up a second one.
  void endGame();

  int m_aim_frames;
  int m_aim_frame;
  int m_missed;
  lk::Sound* m_p_shot_sound;  // not owned; null when the sound is not loaded
  int m_steps_since_shot;
  int m_shot_cooldown;
  bool m_game_ended;
};

#endif
