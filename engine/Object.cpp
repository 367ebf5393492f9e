#include "Object.h"

#include <utility>

#include "LogManager.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "WorldManager.h"

namespace lk {

namespace {

int next_object_id = 0;  // ids are never reused

}  // namespace

Object::Object()
    : m_id(next_object_id++),
      m_type("Object"),
      m_altitude(MAX_ALTITUDE / 2),
      m_solidness(HARD),
      m_animation(),
      m_position(),
      m_direction(),
      m_speed(0.0f),
      m_acceleration(),
      m_box(Vector(-0.5f, -0.5f), 0.99f, 0.99f) {
  WorldManager::getInstance().insertObject(this);
}

Object::~Object() { WorldManager::getInstance().removeObject(this); }

int Object::eventHandler(const Event*) { return 0; }

int Object::draw() { return m_animation.draw(m_position); }

void Object::setType(std::string new_type) { m_type = new_type; }
void Object::setAltitude(int new_altitude) { m_altitude = new_altitude; }
void Object::setSolidness(Solidness new_solid) { m_solidness = new_solid; }

void Object::setPosition(Vector new_position) {
  m_position = new_position;
  WorldManager::getInstance().objectMoved(this);
}
void Object::setDirection(Vector new_direction) { m_direction = new_direction; }
void Object::setSpeed(float new_speed) { m_speed = new_speed; }

void Object::setVelocity(Vector new_velocity) {
  m_speed = new_velocity.getMagnitude();
  if (m_speed > 0) new_velocity.setXY(new_velocity.getX() / m_speed, new_velocity.getY() / m_speed);
  m_direction = new_velocity;
}

void Object::setAcceleration(Vector new_acceleration) { m_acceleration = new_acceleration; }
void Object::setBox(Box new_box) {
  m_box = new_box;
  WorldManager::getInstance().objectMoved(this);
}
Animation Object::getAnimation() const { return m_animation; }

void Object::setAnimation(Animation animation) { m_animation = std::move(animation); }

int Object::setSprite(std::string label) {
  Sprite* p_sprite = ResourceManager::getInstance().getSprite(label);
  if (p_sprite == nullptr) {
    LogManager::getInstance().writeLog(
        "Object::setSprite(): no sprite is loaded with the label \"%s\" (object %d, %s).\n",
        label.c_str(), m_id, m_type.c_str());
    return -1;
  }
  m_animation.setSprite(p_sprite);
  const float width = static_cast<float>(p_sprite->getWidth());
  const float height = static_cast<float>(p_sprite->getHeight());
  setBox(Box(Vector(-width * 0.5f, -height * 0.5f), width, height));
  return 0;
}

}  // namespace lk
