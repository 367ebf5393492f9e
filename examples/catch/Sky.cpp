#include "Sky.h"

#include <cstdlib>

#include <lark/DisplayManager.h>
#include <lark/EventKeyboard.h>
#include <lark/EventStep.h>
#include <lark/GameManager.h>
#include <lark/LogManager.h>
#include <lark/WorldManager.h>

#include "Basket.h"
#include "Falling.h"

Sky::Sky(lk::ViewObject* p_score, lk::ViewObject* p_lives)
    : m_p_score(p_score), m_p_lives(p_lives), m_over(false), m_games(0), m_steps(0) {
  setType("Sky");
  setSolidness(lk::SPECTRAL);  // never collides
  setAltitude(lk::MAX_ALTITUDE);
  // In the view, so that the world draws it.
  const lk::Box view = lk::WorldManager::getInstance().getView();
  setPosition(view.getCorner() + lk::Vector(view.getHorizontal() / 2, view.getVertical() / 2));
  start();
}

void Sky::start() {
  m_over = false;
  m_steps = 0;
  m_games++;
  m_p_score->setValue(0);
  m_p_lives->setValue(3);
  new Basket;
  lk::LogManager::getInstance().writeLog("Sky::start(): game %d begins.\n", m_games);
}

// Every 12 steps something falls, one time in four a rock; every 100
// points make everything fall a little faster.
void Sky::drop() {
  if (m_steps % 12 != 0) return;
  const lk::Box view = lk::WorldManager::getInstance().getView();
  const float x =
      view.getCorner().getX() + 3 + std::rand() % static_cast<int>(view.getHorizontal() - 6);
  const float speed = 0.4f + 0.05f * static_cast<float>(m_p_score->getValue() / 100);
  new Falling(std::rand() % 4 == 0, x, speed);
}

int Sky::eventHandler(const lk::Event* p_event) {
  if (p_event->getType() == lk::STEP_EVENT) {
    if (!m_over) {
      m_steps++;
      drop();
    }
    return 1;
  }
  if (p_event->getType() == GAME_OVER_EVENT) {
    m_over = true;
    lk::LogManager::getInstance().writeLog("Sky::eventHandler(): game %d over with %d points.\n",
                                           m_games, m_p_score->getValue());
    return 1;
  }
  if (p_event->getType() == lk::KEYBOARD_EVENT) {
    const auto* p_key = static_cast<const lk::EventKeyboard*>(p_event);
    if (p_key->getKeyAction() != lk::KEY_PRESSED) return 0;
    if (p_key->getKey() == lk::Q) {
      lk::GameManager::getInstance().setGameOver(true);
      return 1;
    }
    if (p_key->getKey() == lk::R && m_over) {
      start();
      return 1;
    }
  }
  return 0;
}

int Sky::draw() {
  if (!m_over) return 0;
  const lk::Vector middle = getPosition();
  lk::DisplayManager& display = lk::DisplayManager::getInstance();
  display.drawString(middle, "GAME OVER", lk::RED);
  return display.drawString(middle + lk::Vector(0, 2), "R to play again, Q to quit", lk::WHITE);
}
