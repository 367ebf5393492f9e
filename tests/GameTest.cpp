// The game's objects a loop iteration at a time: what the real program cannot show on cue.

#include "Bullet.h"
#include "Duck.h"
#include "DuckManager.h"
#include "EventKeyboard.h"
#include "EventMissed.h"
#include "EventMouse.h"
#include "EventStep.h"
#include "Gun.h"
#include "LoadResources.h"
#include "Reticle.h"
#include "StartGame.h"
#include "Support.h"
#include "ViewObject.h"

namespace {

lk::WorldManager& world() { return lk::WorldManager::getInstance(); }

// One loop iteration without a window: the input given, the update, the step.
void frame(const std::function<void()>& input = nullptr) {
  static int step = 0;
  if (input) input();
  world().update();
  const lk::EventStep event(step++);
  world().onEvent(&event);
}

void key(lk::Key k, lk::KeyAction action = lk::KEY_PRESSED) {
  lk::EventKeyboard event;
  event.setKey(k), event.setKeyAction(action), world().onEvent(&event);
}

void mouse(lk::MouseAction action, float x, float y, lk::MouseButton button = lk::LEFT_BUTTON) {
  lk::EventMouse event;
  event.setMouseAction(action), event.setMouseButton(action == lk::MOVED ? lk::UNDEFINED_MOUSE_BUTTON : button);
  event.setMousePosition(lk::Vector(x, y)), world().onEvent(&event);
}

std::vector<lk::Object*> ofType(const std::string& type) {  // "" for all
  std::vector<lk::Object*> found;
  const lk::ObjectList all = world().getAllObjects();
  for (int i = 0; i < all.getCount(); ++i)
    if (type.empty() || all.at(i)->getType() == type) found.push_back(all.at(i));
  return found;
}

int hud(const std::string& label) {
  for (lk::Object* p : ofType("ViewObject"))
    if (auto* v = static_cast<lk::ViewObject*>(p); v->getViewString() == label) return v->getValue();
  return -1;
}

bool playing(const std::string& label) {
  const lk::Music* p = lk::ResourceManager::getInstance().getMusic(label);
  return p != nullptr && p->getStream() != nullptr && p->getStream()->getStatus() == sf::SoundSource::Playing;
}

std::vector<Duck*> flying() {
  std::vector<Duck*> found;
  for (lk::Object* p : ofType("Duck"))
    if (auto* d = static_cast<Duck*>(p); !d->isShot() && !d->isMissed()) found.push_back(d);
  return found;
}

class Game : public testing::Test {
 protected:
  void SetUp() override {
    lk::LogManager::getInstance().startUp(), lkt::stageAssets();
    world().startUp(), lk::ResourceManager::getInstance().startUp(), loadResources();
  }
  void TearDown() override { lk::ResourceManager::getInstance().shutDown(), world().shutDown(); }
};

}  // namespace

TEST_F(Game, LoadsEveryAssetAndTheGunAndDucksAreTransparentAtTheirAtSigns) {
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  const std::set<std::string> transparent = {"gun", "duck-flying-left", "duck-flying-right", "duck-shot"};
  for (const char* label : {"gun", "duck-flying-left", "duck-flying-right", "duck-shot", "ground", "start-game-alt",
                            "start-game", "end-game", "new-round"}) {
    ASSERT_NE(rm.getSprite(label), nullptr) << label;
    EXPECT_EQ(rm.getSprite(label)->getTransparency(), transparent.count(label) ? '@' : 0) << label;
  }
  EXPECT_EQ(lkt::logCount("Sound::loadSound(): sound successfully loaded from ../sounds/new-round.mp3."), 1);
}

TEST_F(Game, TheStartScreenTakesOneChoiceAPressOrAReleaseAndQEndsTheProgram) {
  new StartGame;
  EXPECT_TRUE(playing("start-music"));
  // All reach the start screen before the update deletes it; the first digit makes the one game.
  frame([] { key(lk::W), key(lk::NUM3, lk::KEY_RELEASED), key(lk::NUM1); });
  std::vector<std::string> types;
  for (lk::Object* p : ofType("")) types.push_back(p->getType());
  EXPECT_EQ(types, (std::vector<std::string>{"ViewObject", "ViewObject", "ViewObject", "DuckManager", "Ground", "Gun", "Reticle", "Duck", "Duck"}));
  EXPECT_EQ(static_cast<DuckManager*>(ofType("DuckManager")[0])->getChoice(), 2);
  EXPECT_FALSE(playing("start-music"));
  EXPECT_TRUE(playing("ducks-quacking"));
  EXPECT_FALSE(lk::GameManager::getInstance().getGameOver());
  // Q, even released, ends the program, and no game starts after it.
  new StartGame;
  frame([] { key(lk::Q, lk::KEY_RELEASED), key(lk::NUM1); });
  EXPECT_TRUE(lk::GameManager::getInstance().getGameOver());
  EXPECT_EQ(ofType("DuckManager").size(), 1u);
}

TEST_F(Game, FourWavesMakeARoundWithABannerAndAPauseAfterWhichDucksFlyFaster) {
  new StartGame;
  frame([] { key(lk::NUM1); });
  ASSERT_EQ(ofType("DuckManager").size(), 1u);
  const auto* manager = static_cast<DuckManager*>(ofType("DuckManager")[0]);
  for (int wave = 1; wave <= 4; ++wave) {
    ASSERT_EQ(manager->getWave(), wave);
    ASSERT_EQ(flying().size(), 2u);
    for (Duck* p : flying()) EXPECT_EQ(p->getLevel(), 1);
    frame([] { for (Duck* p : flying()) p->hit(); });
  }
  // The round ended in the step of the last hit: banner, round number, no ducks.
  EXPECT_EQ(hud("Points:"), 800);
  EXPECT_EQ(hud("ROUND"), 2);
  EXPECT_TRUE(flying().empty());
  const lk::Sprite* banner = lk::ResourceManager::getInstance().getSprite("new-round");
  const int banner_steps = 3 * banner->getSlowdown() * banner->getFrameCount();
  ASSERT_EQ(ofType("NewRound").size(), 1u);
  for (int step = 1; step <= 101; ++step) {
    frame();
    EXPECT_EQ(ofType("NewRound").size(), step <= banner_steps ? 1u : 0u) << step;
    ASSERT_TRUE(ofType("Duck").empty()) << "pause step " << step;
  }
  frame();
  ASSERT_EQ(flying().size(), 2u) << "no wave at the 102nd step";
  for (Duck* p : flying()) {
    EXPECT_EQ(p->getLevel(), 2);
    EXPECT_NEAR(p->getSpeed(), 2.1f, 1e-5);
  }
}

// The move taking the third duck out ends the game: ducks moved after it in that update, out or
// into a bullet, count neither on the end screen nor in the log.
TEST_F(Game, NothingCountsAfterTheThirdMissInItsOwnFrame) {
  Gun* gun = new Gun;
  lk::ViewObject *missed = new lk::ViewObject, *points = new lk::ViewObject;
  missed->setViewString("Ducks Missed:"), points->setViewString("Points:");
  const EventMissed miss;
  world().onEvent(&miss), world().onEvent(&miss);
  for (float y : {10.f, 20.f}) {
    Duck* leaving = new Duck(1);
    leaving->setPosition(lk::Vector(236, y)), leaving->setVelocity(lk::Vector(30, 0));
  }
  Duck* target = new Duck(1);
  target->setPosition(lk::Vector(150, 30)), target->setVelocity(lk::Vector(2, 0));
  new lk::Bullet(lk::Vector(152, 30));
  frame();
  EXPECT_EQ(ofType("EndGame").size(), 1u);
  EXPECT_EQ(gun->getMissed(), 3);
  EXPECT_EQ(missed->getValue(), 1);
  EXPECT_EQ(points->getValue(), 0);
  EXPECT_FALSE(target->isShot());
  EXPECT_TRUE(ofType("DuckShot").empty());
}

TEST_F(Game, BulletsComeEverySixthStepShotsSoundEveryEighthAndHitWithinThreeSteps) {
  Gun* gun = new Gun;
  new Reticle;
  // The aim follows five equal columns of the window; an edge belongs to the left one.
  for (int px = -40; px < 1100; ++px) {
    mouse(lk::MOVED, float(px), 500);
    ASSERT_EQ(gun->getAimFrame(), std::max(0, std::min(4, int(std::ceil(px / 204.8) - 1)))) << px;
  }
  std::set<int> seen;
  std::vector<int> fired, sounded;
  for (int n = 0; n < 48; ++n) {
    frame([&] {
      mouse(lk::CLICKED, 512, 384, n % 2 ? lk::RIGHT_BUTTON : lk::LEFT_BUTTON);
      if (gun->getStepsSinceShot() == 0) sounded.push_back(n);
      for (lk::Object* p : ofType("Bullet"))
        if (seen.insert(p->getId()).second) {
          fired.push_back(n);
          EXPECT_EQ(p->getPosition(), lk::Vector(120, 18));
        }
    });
    EXPECT_EQ(ofType("Bullet").size(), n % 6 < 3 ? 1u : 0u) << n;  // lives three steps
  }
  EXPECT_EQ(fired, (std::vector<int>{0, 6, 12, 18, 24, 30, 36, 42}));
  EXPECT_EQ(sounded, (std::vector<int>{0, 8, 16, 24, 32, 40}));
  // A duck reaching the bullet on the third move after the click is hit; on the fourth, not.
  lk::ViewObject* points = new lk::ViewObject;
  points->setViewString("Points:");
  for (int move : {3, 4}) {
    for (int i = 0; i < 6; ++i) frame();  // the cooldown and the last bullet pass
    auto* duck = new Duck(1);
    const lk::Box box = duck->getBox();
    duck->setPosition(lk::Vector(120 - box.getCorner().getX() - box.getHorizontal() - 2.0f * float(move), 18)), duck->setVelocity(lk::Vector(2, 0));
    frame([] { mouse(lk::CLICKED, 512, 384); });
    for (int i = 0; i < 6; ++i) frame();
    EXPECT_EQ(points->getValue(), 100) << move;
  }
  // The shot duck falls faster by 0.02 a step, beneath the other objects.
  ASSERT_EQ(ofType("DuckShot").size(), 1u);
  lk::Object* falling = ofType("DuckShot")[0];
  float y[3];
  for (float& at : y) frame(), at = falling->getPosition().getY();
  EXPECT_NEAR(y[2] - 2 * y[1] + y[0], 0.02f, 1e-4);
  EXPECT_EQ(falling->getAltitude(), 0);
}
