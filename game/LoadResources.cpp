#include "LoadResources.h"

#include "ResourceManager.h"
#include "Sprite.h"

namespace {

// Only a sprite that actually loaded gets the transparency.
void setTransparency(const char* label) {
  lk::Sprite* p_sprite = lk::ResourceManager::getInstance().getSprite(label);
  if (p_sprite != nullptr) p_sprite->setTransparency('@');
}

}  // namespace

void loadResources() {
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();

  rm.loadSprite("../sprites/gun-spr.txt", "gun");
  setTransparency("gun");

  rm.loadSprite("../sprites/duck-flyleft-spr.txt", "duck-flying-left");
  rm.loadSprite("../sprites/duck-flyright-spr.txt", "duck-flying-right");
  rm.loadSprite("../sprites/duck-shot-spr.txt", "duck-shot");
  setTransparency("duck-flying-left");
  setTransparency("duck-flying-right");
  setTransparency("duck-shot");

  rm.loadSprite("../sprites/ground-spr.txt", "ground");
  rm.loadSprite("../sprites/start-game-alt-spr.txt", "start-game-alt");
  rm.loadSprite("../sprites/start-game-spr.txt", "start-game");
  rm.loadSprite("../sprites/end-game-spr.txt", "end-game");
  rm.loadSprite("../sprites/new-round-spr.txt", "new-round");

  rm.loadSound("../sounds/gun-shot.wav", "gun-shot");
  rm.loadSound("../sounds/new-round.mp3", "new-round-sound");

  rm.loadMusic("../sounds/start-music.wav", "start-music");
  rm.loadMusic("../sounds/ducks-quacking.wav", "ducks-quacking");
}
