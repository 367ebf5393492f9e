#include "StartGame.h"

#include "DisplayManager.h"
#include "DuckManager.h"
#include "EventKeyboard.h"
#include "GameManager.h"
#include "ResourceManager.h"
#include "ViewObject.h"
#include "WorldManager.h"

StartGame::StartGame() : m_p_music(nullptr), m_chosen(false) {
  setType("StartGame");
  setSprite("start-game-alt");
  setSolidness(lk::SPECTRAL);
  setAltitude(4);
  const lk::DisplayManager& display = lk::DisplayManager::getInstance();
  setPosition(lk::Vector(static_cast<float>(display.getHorizontalCells()),
                         static_cast<float>(display.getVerticalCells()) * 0.5f));

  m_p_music = lk::ResourceManager::getInstance().getMusic("start-music");
  if (m_p_music != nullptr) m_p_music->play(true);
}

StartGame::~StartGame() = default;

int StartGame::eventHandler(const lk::Event* p_event) {
  if (p_event->getType() != lk::KEYBOARD_EVENT) return 0;
  if (m_chosen) return 1;

  // Pressed or released, both count.
  switch (static_cast<const lk::EventKeyboard*>(p_event)->getKey()) {
    case lk::Q:
      m_chosen = true;
      lk::GameManager::getInstance().setGameOver(true);
      break;
    case lk::NUM1: start(0); break;
    case lk::NUM2: start(1); break;
    case lk::NUM3: start(2); break;
    default: break;
  }
  return 1;
}

void StartGame::start(int choice) {
  m_chosen = true;

  struct HudRow {
    lk::ViewObjectLocation location;
    const char* label;
    int value;
    lk::Color color;
  };
  const HudRow rows[] = {
      {lk::TOP_LEFT, "Ducks Missed:", 0, lk::YELLOW},
      {lk::TOP_CENTER, "ROUND", 1, lk::WHITE},
      {lk::TOP_RIGHT, "Points:", 0, lk::YELLOW},
  };
  for (const HudRow& row : rows) {
    auto* p_view = new lk::ViewObject;
    p_view->setLocation(row.location);
    p_view->setViewString(row.label);
    p_view->setValue(row.value);
    p_view->setColor(row.color);
  }

  new DuckManager(choice);
  if (m_p_music != nullptr) m_p_music->stop();
  lk::WorldManager::getInstance().markForDelete(this);
}
