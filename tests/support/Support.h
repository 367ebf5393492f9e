// Shared by the in-process tests. Every test process runs in a fresh folder
// "<tmp>/lk-test-XXXXXX/run" (see Main.cpp), so the engine's "../" paths for
// the log, the font and the assets land in "<tmp>/lk-test-XXXXXX", and
// OpenAL's "wave" output records what is played there as "audio.wav".
#ifndef LK_TEST_SUPPORT_H
#define LK_TEST_SUPPORT_H

#include <functional>
#include <string>
#include <vector>

#include <SFML/Graphics.hpp>

#include "EventCollision.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventStep.h"
#include "Object.h"
#include "ViewObject.h"

namespace lkt {

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);
// The lines of a log, each without its "hh:mm:ss  " time stamp.
std::vector<std::string> logLines(const std::string& path = "../lark.log");
int logCount(const std::string& line, const std::string& path = "../lark.log");
bool run(const std::string& shell_command);  // quietly; true on status 0
bool waitFor(const std::function<bool()>& condition, int timeout_ms, int poll_ms = 20);
// Points DISPLAY at a new Xvfb that dies with the process, so that keys and
// pointer moves reach no other test's window.
bool privateDisplay();
std::string gameDir();                       // the build's staged game
// Copies the game's sprites/, sounds/ and font next to the run folder, less
// the `missing` files (such as "sounds/gun-shot.wav").
void stageAssets(const std::vector<std::string>& missing = {});

// The frame drawn since the last swap, and the pixels of a screen cell.
sf::Image captureWindow();
sf::IntRect cell(float column, float row, int inset = 0);
int count(const sf::Image& image, sf::IntRect area, const std::function<bool(sf::Color)>& test);

// Entries such as "a lk::step 0", "a lk::collision a->b (11,10)", "a draw",
// "a deleted", in the order they happened across all recorders.
std::vector<std::string>& journal();

// An object with a 1 x 1 box centred on its position that journals its
// events, drawing and deletion, and runs the hooks given.
struct Recorder : lk::Object {
  explicit Recorder(std::string name, lk::Vector at = lk::Vector(), lk::Solidness solidness = lk::HARD);
  ~Recorder() override;
  int eventHandler(const lk::Event* p_event) override;
  int draw() override;
  std::string name;
  std::function<void(Recorder&, const lk::Event&)> on_event;
  std::function<void()> on_delete;
};

// The game's world: log, world, resource (and display) managers started,
// the assets staged less the missing ones and loaded by loadResources().
void startWorld(const std::vector<std::string>& missing = {}, bool with_display = false);
void stopWorld();
// One game-loop iteration: the input given, the update, drawing when there
// is a display, and the step event.
void frame(const std::function<void()>& input = nullptr);
void frames(int count);
void key(lk::Key key, lk::KeyAction action = lk::KEY_PRESSED);
void mouse(lk::MouseAction action, float x, float y, lk::MouseButton button = lk::LEFT_BUTTON);
void send(const lk::Event& event);
std::vector<lk::Object*> ofType(const std::string& type);  // "" for all
std::vector<std::string> types();                           // of all, in list order
lk::ViewObject* hud(const std::string& label);
template <class T>
T* first(const std::string& type) {
  const std::vector<lk::Object*> found = ofType(type);
  return found.empty() ? nullptr : dynamic_cast<T*>(found[0]);
}

}  // namespace lkt

#endif
