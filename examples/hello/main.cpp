// Hello, Lark: balloons rise over the screen; point with the mouse and click
// to pop them, Q to quit. A small game that shows the engine's parts: start
// and stop, sprites and sounds, objects and their events, and the HUD.
#include <cstdio>

#include <lark/GameManager.h>
#include <lark/LogManager.h>
#include <lark/ResourceManager.h>
#include <lark/ViewObject.h>

#include "Balloon.h"
#include "Sight.h"

int main() {
  // Starts the log, the window, input, the world and the resources; the
  // log, ../lark.log, says what failed.
  lk::GameManager& game = lk::GameManager::getInstance();
  if (game.startUp() != 0) {
    std::printf("Hello could not start: see ../lark.log\n");
    game.shutDown();
    return 1;
  }
  lk::LogManager::getInstance().setFlush(true);

  // Assets by path relative to the folder the game runs in, kept by label.
  lk::ResourceManager& resources = lk::ResourceManager::getInstance();
  if (resources.loadSprite("../sprites/balloon-spr.txt", "balloon") == 0)
    resources.getSprite("balloon")->setTransparency(' ');  // the sky shows through
  resources.loadSound("../sounds/pop.wav", "pop");

  // Objects register with the world manager, which owns them from now on.
  auto* p_popped = new lk::ViewObject;
  p_popped->setViewString("Popped:");
  p_popped->setLocation(lk::TOP_LEFT);
  p_popped->setColor(lk::YELLOW);
  for (int i = 0; i < 6; ++i) new Balloon;
  new Sight;

  game.run();  // 30 steps a second, until Q
  game.shutDown();
  return 0;
}
