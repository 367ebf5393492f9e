#include "DuckManager.h"

#include "Duck.h"
#include "EventStep.h"
#include "EventView.h"
#include "GameEvents.h"
#include "Ground.h"
#include "Gun.h"
#include "NewRound.h"
#include "ResourceManager.h"
#include "Reticle.h"
#include "WorldManager.h"

DuckManager::DuckManager(int choice)
    : m_ducks_alive(0),
      m_round(1),
      m_waves_per_round(4),
      m_wave(0),
      m_between_rounds(false),
      m_pause_count(0),
      m_pause_length(100),
      m_p_music(nullptr),
      m_choice(choice >= 0 && choice <= 2 ? choice : 0),
      m_play_ended(false) {
  setType("DuckManager");
  new Ground;
  new Gun;
  new Reticle;

  m_p_music = lk::ResourceManager::getInstance().getMusic("ducks-quacking");
  if (m_p_music != nullptr) m_p_music->play(true);

  launchWave();
}

DuckManager::~DuckManager() = default;

int DuckManager::eventHandler(const lk::Event* p_event) {
  const std::string type = p_event->getType();
  if (type == HIT_EVENT) --m_ducks_alive;
  if (type == MISSED_EVENT) --m_ducks_alive;
  if (type == lk::STEP_EVENT) step();
  return 0;
}

void DuckManager::step() {
  if (m_play_ended) return;

  if (m_between_rounds) {
    if (m_pause_count >= m_pause_length) {
      m_pause_count = 0;
      m_between_rounds = false;
    } else {
      ++m_pause_count;
    }
    return;
  }

  if (m_ducks_alive > 0) return;

  if (m_wave >= m_waves_per_round) {
    m_between_rounds = true;
    m_wave = 0;
    ++m_round;
    new NewRound;
    lk::EventView round_event("ROUND", 1);
    lk::WorldManager::getInstance().onEvent(&round_event);
  } else {
    launchWave();
  }
}

void DuckManager::launchWave() {
  ++m_wave;
  m_ducks_alive += 2;
  new Duck(m_round);
  new Duck(m_round);
}

void DuckManager::endPlay() {
  m_play_ended = true;
  if (m_p_music != nullptr) m_p_music->stop();
}

int DuckManager::getChoice() const { return m_choice; }

int DuckManager::getRound() const { return m_round; }

int DuckManager::getWave() const { return m_wave; }

int DuckManager::getDucksAlive() const { return m_ducks_alive; }

bool DuckManager::isBetweenRounds() const { return m_between_rounds; }

int DuckManager::getPauseCount() const { return m_pause_count; }

lk::Music* DuckManager::getMusic() const { return m_p_music; }
