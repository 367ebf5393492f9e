#include "GameTestSupport.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "DisplayManager.h"
#include "EventStep.h"
#include "LoadResources.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "TestSupport.h"
#include "WindowProbe.h"
#include "WorldManager.h"

namespace lktest {

bool startGameWorld(const std::vector<std::string>& missing, bool with_display) {
  lk::LogManager::getInstance().startUp();
  stageGameAssets();
  if (with_display && (!requireDisplay() || lk::DisplayManager::getInstance().startUp() != 0)) {
    ADD_FAILURE() << "the display manager did not start";
    return false;
  }
  lk::WorldManager::getInstance().startUp();
  lk::ResourceManager::getInstance().startUp();
  for (const std::string& file : missing) std::filesystem::remove("../" + file);
  loadResources();
  return true;
}

void stopGameWorld() {
  lk::ResourceManager::getInstance().shutDown();
  lk::WorldManager::getInstance().shutDown();
  if (lk::DisplayManager::getInstance().isStarted()) {
    keepGraphicsDriverLoaded();
    lk::DisplayManager::getInstance().shutDown();
  }
  lk::LogManager::getInstance().shutDown();
}

void Loop::frame(const std::function<void()>& input) {
  if (input) input();
  lk::WorldManager& world = lk::WorldManager::getInstance();
  world.update();
  if (lk::DisplayManager::getInstance().isStarted()) {
    world.draw();
    lk::DisplayManager::getInstance().swapBuffer();
  }
  const lk::EventStep step(m_step++);
  world.onEvent(&step);
}

void Loop::frames(int count) {
  for (int i = 0; i < count; ++i) frame();
}

void sendEvent(const lk::Event& event) { lk::WorldManager::getInstance().onEvent(&event); }

void sendKey(lk::Key key, lk::KeyAction action) {
  lk::EventKeyboard event;
  event.setKey(key);
  event.setKeyAction(action);
  sendEvent(event);
}

void tapKey(lk::Key key) {
  sendKey(key, lk::KEY_PRESSED);
  sendKey(key, lk::KEY_RELEASED);
}

void sendMouse(lk::MouseAction action, float px, float py, lk::MouseButton button) {
  lk::EventMouse event;
  event.setMouseAction(action);
  event.setMouseButton(action == lk::MOVED ? lk::UNDEFINED_MOUSE_BUTTON : button);
  event.setMousePosition(lk::Vector(px, py));
  sendEvent(event);
}

std::vector<lk::Object*> objectsOfType(const std::string& type) {
  std::vector<lk::Object*> found;
  const lk::ObjectList all = lk::WorldManager::getInstance().getAllObjects();
  for (int i = 0; i < all.getCount(); ++i)
    if (type.empty() || all.at(i)->getType() == type) found.push_back(all.at(i));
  return found;
}

int countOfType(const std::string& type) { return static_cast<int>(objectsOfType(type).size()); }

std::vector<std::string> worldTypes() {
  std::vector<std::string> types;
  for (lk::Object* p : objectsOfType("")) types.push_back(p->getType());
  return types;
}

lk::ViewObject* hudItem(const std::string& label) {
  for (lk::Object* p : objectsOfType("ViewObject")) {
    auto* p_view = dynamic_cast<lk::ViewObject*>(p);
    if (p_view != nullptr && p_view->getViewString() == label) return p_view;
  }
  return nullptr;
}

}  // namespace lktest
