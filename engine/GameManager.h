#ifndef LK_GAME_MANAGER_H
#define LK_GAME_MANAGER_H

#include <cstdint>

#include "Manager.h"

namespace lk {

const int FRAME_TIME_DEFAULT = 33333;  ///< microseconds per step

/// Starts the managers in order, runs the fixed-rate game loop and shuts
/// everything down in reverse order.
class GameManager : public Manager {
 public:
  /// The one game manager.
  static GameManager& getInstance();

  /// Starts the log, display, input, world and resource managers in that order; 0, or -1 when any
  /// failed (all are tried).
  int startUp() override;
  /// Ends the loop and shuts the managers down in reverse order.
  void shutDown() override;

  /// The game loop; returns once the game is over, or at once, with a log
  /// line, when startUp() has not succeeded.
  void run();

  /// Ends the game loop after the step in progress (true).
  void setGameOver(bool game_over = true);
  /// Whether the game loop is to end.
  bool getGameOver() const;

  /// Pauses (true) or resumes the game. A paused game takes no steps: nothing
  /// moves, no step event is sent, the sounds and music wait, and the world
  /// is drawn as it stands with "PAUSED" over the view, at the same rate. The
  /// input manager pauses the game when the window loses the focus and
  /// resumes it when it comes back.
  void setPaused(bool paused = true);
  /// Whether the game is paused.
  bool getPaused() const;
  /// The target time of one step in microseconds (33333).
  int getFrameTime() const;

  /// Whether every step writes its timing line to the log (on by default);
  /// a game that logs lines of its own may switch it off to read them.
  void setStepLog(bool step_log = true);
  /// Whether each step writes its timing line.
  bool getStepLog() const;

  /// Milliseconds left to sleep after an iteration that took loop_time
  /// microseconds: whole milliseconds, truncated, never negative.
  static std::int32_t sleepTime(std::int32_t frame_time, std::int32_t loop_time);

 private:
  GameManager();

  // Draws the world as it stands with "PAUSED" over the view.
  void drawPaused();

  bool m_game_over;
  bool m_paused;
  int m_frame_time;
  bool m_step_log;
  bool m_start_succeeded;
};

}  // namespace lk

#endif
