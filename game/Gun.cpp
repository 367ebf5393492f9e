#include "Gun.h"

#include "EndGame.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventStep.h"
#include "GameEvents.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "Reticle.h"
#include "Sprite.h"
#include "WorldManager.h"

Gun::Gun()
    : m_aim_frames(0),
      m_aim_frame(0),
      m_missed(0),
      m_p_shot_sound(nullptr),
      m_steps_since_shot(8),
      m_shot_cooldown(8),
      m_game_ended(false) {
  setSprite("gun");
  setType("Gun");
  setSolidness(lk::SPECTRAL);
  setAltitude(3);

  // Without the sprite the gun has no frames and no height, and draws nothing.
  const lk::Sprite* p_sprite = getAnimation().getSprite();
  float height = 0.0f;
  if (p_sprite != nullptr) {
    m_aim_frames = p_sprite->getFrameCount();
    height = static_cast<float>(p_sprite->getHeight());
  }
  m_aim_frame = (m_aim_frames - 1) / 2;  // 0 also with no frames

  m_p_shot_sound = lk::ResourceManager::getInstance().getSound("gun-shot");

  const lk::Box view = lk::WorldManager::getInstance().getView();
  setPosition(lk::Vector(view.getHorizontal(), view.getVertical() - height * 0.5f));
}

Gun::~Gun() = default;

int Gun::eventHandler(const lk::Event* p_event) {
  const std::string type = p_event->getType();

  if (type == lk::MOUSE_EVENT) {
    const auto* p_mouse = static_cast<const lk::EventMouse*>(p_event);
    const float x = mouseToWorld(p_mouse->getMousePosition()).getX();
    if (p_mouse->getMouseAction() == lk::MOVED) {
      const lk::Box view = lk::WorldManager::getInstance().getView();
      const float left = view.getCorner().getX();
      const float right = left + view.getHorizontal();
      int zone = -1;
      if (left >= x) {
        zone = 0;
      } else if (x >= right) {
        zone = 4;
      } else {
        const float w = (right - left) / 5;
        for (int i = 0; i < 5; ++i) {
          if ((i + 1) * w + left >= x) {
            zone = i;
            break;
          }
        }
      }
      if (zone != m_aim_frame && zone >= 0 && zone < m_aim_frames) m_aim_frame = zone;
    } else if (p_mouse->getMouseAction() == lk::CLICKED) {
      if (m_steps_since_shot >= m_shot_cooldown) {
        if (m_p_shot_sound != nullptr) m_p_shot_sound->play(false);
        m_steps_since_shot = 0;
      }
    }
    return 1;
  }

  if (type == lk::KEYBOARD_EVENT) {
    const auto* p_key = static_cast<const lk::EventKeyboard*>(p_event);
    if (p_key->getKeyAction() == lk::KEY_PRESSED && p_key->getKey() == lk::Q) endGame();
    return 1;
  }

  if (type == MISSED_EVENT) {
    lk::LogManager::getInstance().writeLog("Gun::eventHandler(): duck missed\n");
    ++m_missed;
    if (m_missed >= MISS_LIMIT) endGame();
    return 1;
  }

  if (type == lk::STEP_EVENT) {
    ++m_steps_since_shot;
    return 0;
  }
  return 0;
}

void Gun::endGame() {
  if (m_game_ended) return;
  m_game_ended = true;
  new EndGame;
}

int Gun::draw() {
  const lk::Sprite* p_sprite = getAnimation().getSprite();
  if (p_sprite == nullptr) return -1;
  // Never animates: the frame follows the aiming zone only.
  return p_sprite->draw(m_aim_frame, getPosition());
}

int Gun::getAimFrames() const { return m_aim_frames; }

int Gun::getAimFrame() const { return m_aim_frame; }

int Gun::getMissed() const { return m_missed; }

int Gun::getStepsSinceShot() const { return m_steps_since_shot; }
