// Starts the managers in order, runs the fixed-rate game loop and shuts
// everything down in reverse order.
#ifndef LK_GAME_MANAGER_H
#define LK_GAME_MANAGER_H

#include <cstdint>

#include "Manager.h"

namespace lk {

const int FRAME_TIME_DEFAULT = 33333;  // microseconds per step

class GameManager : public Manager {
 public:
  static GameManager& getInstance();

  int startUp() override;
  void shutDown() override;

  // The game loop; returns once the game is over.
  void run();

  void setGameOver(bool game_over = true);
  bool getGameOver() const;

  // A paused game takes no steps: nothing moves, no step event is sent, the
  // sounds and music wait, and the world is drawn as it stands with
  // "PAUSED" over the view, at the same rate. The input manager pauses the
  // game when the window loses the focus and resumes it when it comes back.
  void setPaused(bool paused = true);
  bool getPaused() const;
  int getFrameTime() const;

  // Milliseconds left to sleep after an iteration that took loop_time
  // microseconds: whole milliseconds, truncated, never negative.
  static std::int32_t sleepTime(std::int32_t frame_time, std::int32_t loop_time);

 private:
  GameManager();

  // Draws the world as it stands with "PAUSED" over the view.
  void drawPaused();

  bool m_game_over;
  bool m_paused;
  int m_frame_time;
};

}  // namespace lk

#endif
