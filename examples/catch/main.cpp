// Catch: stars and rocks fall; move the basket with the arrow keys (or A and
// D) to catch the stars and dodge the rocks. Three rocks end the game; R
// starts another, Q quits. Shows keyboard control, objects that collide
// while they move, a HUD, a game of its own events, and a quiet log.
#include <cstdio>

#include <lark/GameManager.h>
#include <lark/LogManager.h>
#include <lark/ResourceManager.h>
#include <lark/ViewObject.h>

#include "Sky.h"

int main() {
  lk::GameManager& game = lk::GameManager::getInstance();
  if (game.startUp() != 0) {
    std::printf("Catch could not start: see ../lark.log\n");
    game.shutDown();
    return 1;
  }
  lk::LogManager::getInstance().setFlush(true);
  // Only the game's own lines: no timing line for every step.
  game.setStepLog(false);

  lk::ResourceManager& resources = lk::ResourceManager::getInstance();
  resources.loadSprite("../sprites/basket-spr.txt", "basket");
  resources.loadSprite("../sprites/star-spr.txt", "star");
  resources.loadSprite("../sprites/rock-spr.txt", "rock");
  resources.loadSound("../sounds/catch.wav", "catch");
  resources.loadSound("../sounds/thud.wav", "thud");

  auto* p_score = new lk::ViewObject;
  p_score->setViewString("Score:");
  p_score->setLocation(lk::TOP_LEFT);
  p_score->setColor(lk::YELLOW);
  auto* p_lives = new lk::ViewObject;
  p_lives->setViewString("Lives:");
  p_lives->setLocation(lk::TOP_RIGHT);
  p_lives->setColor(lk::RED);
  new Sky(p_score, p_lives);

  game.run();
  game.shutDown();
  return 0;
}
