#include <cstdio>

#include "GameManager.h"
#include "LoadResources.h"
#include "LogManager.h"
#include "StartGame.h"

int main() {
  lk::GameManager& game_manager = lk::GameManager::getInstance();
  if (game_manager.startUp() == -1) {
    std::printf("ERROR: The GameManager could not start up successfully.\n");
    game_manager.shutDown();
    return 1;
  }

  lk::LogManager::getInstance().setFlush(true);

  loadResources();
  new StartGame;  // the world manager owns it from here on

  game_manager.run();
  game_manager.shutDown();
  return 0;
}
