// Runs one game: sets up the ground, gun and reticle, keeps the quacking
// going, launches ducks two at a time, four waves to a round, and pauses
// behind a banner between rounds.
#ifndef FOWLSHOT_DUCK_MANAGER_H
#define FOWLSHOT_DUCK_MANAGER_H

#include "Music.h"
#include "Object.h"

class DuckManager : public lk::Object {
 public:
  // The start screen's choice, 0, 1 or 2; anything else counts as 0. It is
  // kept but changes nothing in the play.
  explicit DuckManager(int choice);
  ~DuckManager() override;

  int eventHandler(const lk::Event* p_event) override;
  void step();

  // The end screen calls this: the quacking stops and no further wave,
  // round or banner comes, even in the frame before the manager is deleted.
  void endPlay();

  int getChoice() const;
  int getRound() const;
  int getWave() const;
  int getDucksAlive() const;
  bool isBetweenRounds() const;
  int getPauseCount() const;
  lk::Music* getMusic() const;

 private:
  void launchWave();

  int m_ducks_alive;
  int m_round;
  int m_waves_per_round;
  int m_wave;
  bool m_between_rounds;
  int m_pause_count;
  int m_pause_length;
  lk::Music* m_p_music;  // not owned; null when the music is not loaded
  int m_choice;
  bool m_play_ended;
};

#endif
