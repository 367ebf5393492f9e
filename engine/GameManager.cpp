#include "GameManager.h"

#include <cstdio>
#include <vector>

#include "Box.h"
#include "Clock.h"
#include "DisplayManager.h"
#include "EventStep.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Object.h"
#include "ObjectListIterator.h"
#include "Platform.h"
#include "ResourceManager.h"
#include "WorldManager.h"

namespace lk {

GameManager::GameManager()
    : m_game_over(false),
      m_paused(false),
      m_frame_time(FRAME_TIME_DEFAULT),
      m_step_log(true),
      m_start_succeeded(false) {
  setType("GameManager");
}

GameManager& GameManager::getInstance() {
  static GameManager game_manager;
  return game_manager;
}

int GameManager::startUp() {
  platform::requestTimerResolution();
  Manager::startUp();

  // Every manager is asked to start, even after one has failed, so that the
  // player sees every failure at once.
  struct Step {
    Manager& manager;
    const char* failure;
  };
  const Step steps[] = {
      {LogManager::getInstance(), "LogManager was unable to successfully start up.\n"},
      {DisplayManager::getInstance(), "DisplayManager was unable to successfully start up.\n"},
      {InputManager::getInstance(), "InputManager was unable to successfully start up.\n"},
      {WorldManager::getInstance(), "WorldManager was unable to successfully start up.\n"},
      {ResourceManager::getInstance(), "ResourceManager was unable to successfully start up.\n"},
  };
  bool all_started = true;
  for (const Step& step : steps) {
    if (step.manager.startUp() < 0) {
      std::printf("%s", step.failure);
      all_started = false;
    }
  }

  const char* summary =
      all_started
          ? "GameManager::startUp(): All managers successfully started.\n\n"
          : "GameManager::startUp(): ERROR: Not all managers were successfully started.\n\n";
  if (!all_started) {
    std::printf("%s", summary);
    std::fflush(stdout);
  }
  LogManager::getInstance().writeLog("%s", summary);
  m_start_succeeded = all_started;
  return all_started ? 0 : -1;
}

void GameManager::shutDown() {
  m_game_over = true;
  LogManager::getInstance().writeLog("GameManager::shutDown(): All managers are shutting down.\n");
  ResourceManager::getInstance().shutDown();
  WorldManager::getInstance().shutDown();
  InputManager::getInstance().shutDown();
  DisplayManager::getInstance().shutDown();
  LogManager::getInstance().shutDown();
  Manager::shutDown();
  m_start_succeeded = false;
  platform::releaseTimerResolution();
}

std::int32_t GameManager::sleepTime(std::int32_t frame_time, std::int32_t loop_time) {
  const std::int32_t milliseconds = (frame_time - loop_time) / 1000;  // truncates toward zero
  return milliseconds < 0 ? 0 : milliseconds;
}

void GameManager::run() {
  LogManager& log = LogManager::getInstance();
  if (!m_start_succeeded) {
    // Without a started engine there is no window to show and maybe no log
    // to write to: then standard error is the only place left to say so.
    const char* text =
        "GameManager::run(): run() was called before a successful startUp(); no game loop runs.\n";
    if (log.writeLog("%s", text) == 0) std::fputs(text, stderr);
    return;
  }
  log.writeLog("GameManager::run(): game loop started.\n");
  Clock clock;
  if (m_game_over) return;

  int step_count = 0;
  while (true) {
    clock.delta();
    InputManager::getInstance().getInput();
    if (m_paused) {
      // The same pace, without a step: no step line either.
      drawPaused();
      DisplayManager::getInstance().swapBuffer();
      platform::sleepMilliseconds(sleepTime(m_frame_time, clock.split()));
      if (m_game_over) return;
      continue;
    }
    WorldManager::getInstance().update();
    WorldManager::getInstance().draw();
    DisplayManager::getInstance().swapBuffer();
    {
      const EventStep step(step_count);
      onEvent(&step);
    }
    const std::int32_t loop_time = clock.split();
    const std::int32_t sleep_time = sleepTime(m_frame_time, loop_time);
    if (m_step_log && log.stepLinesWanted())
      log.writeLog(
          "GameManager::run(): (step #%d) loop_time = %ld microseconds, sleep_time = %ld "
          "milliseconds.\n",
          step_count, static_cast<long>(loop_time), static_cast<long>(sleep_time));
    ++step_count;
    platform::sleepMilliseconds(sleep_time);
    if (m_game_over) return;
  }
}

void GameManager::drawPaused() {
  WorldManager& world = WorldManager::getInstance();
  // Drawing an object moves its animation on a frame; a paused game's stay
  // where they are.
  const ObjectList objects = world.getAllObjects();
  std::vector<Animation> animations;
  ObjectListIterator li(&objects);
  for (li.first(); !li.isDone(); li.next())
    animations.push_back(li.currentObject()->getAnimation());
  world.draw();
  std::size_t i = 0;
  for (li.first(); !li.isDone(); li.next()) li.currentObject()->setAnimation(animations[i++]);

  DisplayManager& display = DisplayManager::getInstance();
  const Box view = world.getView();
  const Vector centre(
      view.getCorner().getX() + static_cast<float>(display.getHorizontalCells() / 2),
      view.getCorner().getY() + static_cast<float>(display.getVerticalCells() / 2));
  display.drawString(centre, " PAUSED ", WHITE);
}

void GameManager::setGameOver(bool game_over) { m_game_over = game_over; }

void GameManager::setPaused(bool paused) {
  if (paused == m_paused) return;
  m_paused = paused;
  if (paused) {
    ResourceManager::getInstance().pauseAudio();
    LogManager::getInstance().writeLog("GameManager::setPaused(): The game is paused.\n");
  } else {
    ResourceManager::getInstance().resumeAudio();
    LogManager::getInstance().writeLog("GameManager::setPaused(): The game goes on.\n");
  }
}

bool GameManager::getPaused() const { return m_paused; }

bool GameManager::getGameOver() const { return m_game_over; }

int GameManager::getFrameTime() const { return m_frame_time; }

void GameManager::setStepLog(bool step_log) { m_step_log = step_log; }

bool GameManager::getStepLog() const { return m_step_log; }

}  // namespace lk
