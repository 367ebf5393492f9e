// The start screen: a picture and music until the player picks 1, 2 or 3
// to play, or Q to leave the program.
#ifndef FOWLSHOT_START_GAME_H
#define FOWLSHOT_START_GAME_H

#include "Music.h"
#include "Object.h"

class StartGame : public lk::Object {
 public:
  StartGame();
  ~StartGame() override;

  int eventHandler(const lk::Event* p_event) override;
  void start(int choice);

 private:
  lk::Music* m_p_music;  // not owned; null when the music is not loaded
  // The first choice (a start or Q) is the only one: the press and release
  // of a key, or two keys, can arrive in the same frame before the screen
  // is deleted.
  bool m_chosen;
};

#endif
