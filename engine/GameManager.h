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

  // The game loop; returns once the game is over, or at once, with a log
  // line, when startUp() has not succeeded.
  void run();

  void setGameOver(bool game_over = true);
  bool getGameOver() const;
  int getFrameTime() const;

  // Whether every step writes its timing line to the log (on by default);
  // a game that logs lines of its own may switch it off to read them.
  void setStepLog(bool step_log = true);
  bool getStepLog() const;

  // Milliseconds left to sleep after an iteration that took loop_time
  // microseconds: whole milliseconds, truncated, never negative.
  static std::int32_t sleepTime(std::int32_t frame_time, std::int32_t loop_time);

 private:
  GameManager();

  bool m_game_over;
  int m_frame_time;
  bool m_step_log;
  bool m_start_succeeded;
};

}  // namespace lk

#endif
