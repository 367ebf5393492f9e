#include "FrameScenes.h"

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "DisplayManager.h"
#include "DuckShot.h"
#include "LoadResources.h"
#include "LogManager.h"
#include "NewRound.h"
#include "Object.h"
#include "ObjectList.h"
#include "ObjectListIterator.h"
#include "ResourceManager.h"
#include "StartGame.h"
#include "WorldManager.h"

namespace scenes {

namespace {

// The sprite loader echoes every line it reads to standard output; that
// would bury the figures.
void loadResourcesQuietly() {
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  const int null = open("/dev/null", O_WRONLY);
  if (saved >= 0 && null >= 0) dup2(null, STDOUT_FILENO);
  loadResources();
  std::fflush(stdout);
  if (saved >= 0) {
    dup2(saved, STDOUT_FILENO);
    close(saved);
  }
  if (null >= 0) close(null);
}

}  // namespace

const char* startEngine() {
  if (lk::LogManager::getInstance().startUp() != 0) return "LogManager";
  if (lk::DisplayManager::getInstance().startUp() != 0) return "DisplayManager";
  if (lk::WorldManager::getInstance().startUp() != 0) return "WorldManager";
  if (lk::ResourceManager::getInstance().startUp() != 0) return "ResourceManager";
  loadResourcesQuietly();
  return nullptr;
}

void stopEngine() {
  lk::ResourceManager::getInstance().shutDown();
  lk::WorldManager::getInstance().shutDown();
  lk::DisplayManager::getInstance().shutDown();
  lk::LogManager::getInstance().shutDown();
}

bool haveGameSprites() {
  const lk::ResourceManager& resources = lk::ResourceManager::getInstance();
  for (const char* label : {"start-game-alt", "ground", "gun", "duck-flying-left",
                            "duck-flying-right", "duck-shot", "new-round"})
    if (resources.getSprite(label) == nullptr) return false;
  return true;
}

void clearWorld() {
  lk::WorldManager& world = lk::WorldManager::getInstance();
  world.shutDown();
  world.startUp();
}

float viewLeft() { return lk::WorldManager::getInstance().getView().getCorner().getX(); }

void drawFullScreen() {
  lk::DisplayManager& display = lk::DisplayManager::getInstance();
  const int columns = display.getHorizontalCells();
  const int rows = display.getVerticalCells();
  const float left = viewLeft();
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < columns; ++x) {
      const int n = y * columns + x;
      const char ch = static_cast<char>('!' + n % 94);
      const lk::Color color = static_cast<lk::Color>(1 + n % 7);
      display.drawCh(lk::Vector(left + static_cast<float>(x), static_cast<float>(y)), ch, color);
    }
  }
}

void setUpTitle() {
  clearWorld();
  new StartGame;
}

void setUpPlay() {
  clearWorld();
  // The start screen's own way into a game: HUD, duck manager, ground, gun,
  // reticle and the first two ducks. The update deletes the start screen.
  (new StartGame)->start(0);
  lk::WorldManager::getInstance().update();

  const float left = viewLeft();
  int ducks = 0;
  const lk::ObjectList all = lk::WorldManager::getInstance().getAllObjects();
  lk::ObjectListIterator li(&all);
  for (li.first(); !li.isDone(); li.next()) {
    lk::Object* p_object = li.currentObject();
    if (p_object->getType() != "Duck") continue;
    // Ducks start outside the view; bring them in where a player sees them.
    p_object->setPosition(ducks == 0 ? lk::Vector(left + 35, 9) : lk::Vector(left + 85, 13));
    ++ducks;
  }
  new DuckShot(lk::Vector(left + 60, 22));
  new NewRound;
}

}  // namespace scenes
