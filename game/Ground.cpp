#include "Ground.h"

#include "Sprite.h"
#include "WorldManager.h"

Ground::Ground() {
  setSprite("ground");
  setType("Ground");
  setAltitude(1);
  setSolidness(lk::SPECTRAL);

  // Bottom row on the view's bottom edge; without a sprite it has no height.
  const lk::Sprite* p_sprite = getAnimation().getSprite();
  const float height = p_sprite != nullptr ? static_cast<float>(p_sprite->getHeight()) : 0.0f;
  const lk::Box view = lk::WorldManager::getInstance().getView();
  setPosition(lk::Vector(view.getHorizontal(), view.getVertical() - height * 0.5f));
}
