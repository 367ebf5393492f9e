// The game's objects in the game's world, a loop iteration at a time: what
// the real program cannot be made to show on cue (a whole round, every
// cooldown step, the start screen's keys within one frame, no assets at all).
#include <cmath>
#include <set>

#include <gtest/gtest.h>

#include "Bullet.h"
#include "Duck.h"
#include "DuckManager.h"
#include "EndGame.h"
#include "GameManager.h"
#include "Gun.h"
#include "Music.h"
#include "NewRound.h"
#include "ResourceManager.h"
#include "Reticle.h"
#include "Sprite.h"
#include "StartGame.h"
#include "Support.h"

namespace {

using Types = std::vector<std::string>;

bool playing(const std::string& label) {
  const lk::Music* p = lk::ResourceManager::getInstance().getMusic(label);
  return p != nullptr && p->getStream().getStatus() == sf::SoundSource::Playing;
}

std::vector<Duck*> flying() {
  std::vector<Duck*> found;
  for (lk::Object* p : lkt::ofType("Duck"))
    if (auto* d = dynamic_cast<Duck*>(p); !d->isShot() && !d->isMissed()) found.push_back(d);
  return found;
}

// On the world's bottom edge, diving: it leaves in this update.
void diveOut(Duck* p) {
  p->setPosition(lk::Vector(p->getPosition().getX(), 36));
  p->setVelocity(lk::Vector(0, 40));
}

class Game : public testing::Test {
 protected:
  void TearDown() override { lkt::stopWorld(); }
  // A game as the start screen starts it with the key 1.
  DuckManager* play(const std::vector<std::string>& missing = {}, bool with_display = false) {
    lkt::startWorld(missing, with_display);
    new StartGame;
    lkt::frame([] { lkt::key(lk::NUM1); });
    return lkt::first<DuckManager>("DuckManager");
  }
};

}  // namespace

TEST_F(Game, LoadsEveryAssetAndTheGunAndDucksAreTransparentAtTheirAtSigns) {
  lkt::startWorld();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  const std::set<std::string> transparent = {"gun", "duck-flying-left", "duck-flying-right", "duck-shot"};
  for (const char* label : {"gun", "duck-flying-left", "duck-flying-right", "duck-shot", "ground", "start-game-alt",
                            "start-game", "end-game", "new-round"}) {
    ASSERT_NE(rm.getSprite(label), nullptr) << label;
    EXPECT_EQ(rm.getSprite(label)->getTransparency(), transparent.count(label) ? '@' : 0) << label;
  }
  EXPECT_NE(rm.getSound("gun-shot"), nullptr);
  EXPECT_NE(rm.getSound("new-round-sound"), nullptr);
  EXPECT_EQ(lkt::logCount("Sound::loadSound(): sound successfully loaded from ../sounds/new-round.mp3."), 1);
  EXPECT_NE(rm.getMusic("start-music"), nullptr);
  EXPECT_NE(rm.getMusic("ducks-quacking"), nullptr);
}

TEST_F(Game, TheStartScreenTakesOneChoiceAPressOrAReleaseAndQEndsTheProgram) {
  lkt::startWorld();
  new StartGame;
  EXPECT_TRUE(playing("start-music"));
  // All reach the start screen before the update deletes it; the first digit
  // makes the one game.
  lkt::frame([] {
    lkt::key(lk::W);
    lkt::key(lk::NUM3, lk::KEY_RELEASED);
    lkt::key(lk::NUM1);
  });
  EXPECT_EQ(lkt::types(), (Types{"ViewObject", "ViewObject", "ViewObject", "DuckManager", "Ground", "Gun", "Reticle", "Duck", "Duck"}));
  EXPECT_EQ(lkt::first<DuckManager>("DuckManager")->getChoice(), 2);
  EXPECT_FALSE(playing("start-music"));
  EXPECT_TRUE(playing("ducks-quacking"));
  EXPECT_FALSE(lk::GameManager::getInstance().getGameOver());
  // Q, even released, ends the program, and no game starts after it.
  new StartGame;
  lkt::frame([] {
    lkt::key(lk::Q, lk::KEY_RELEASED);
    lkt::key(lk::NUM1);
  });
  EXPECT_TRUE(lk::GameManager::getInstance().getGameOver());
  EXPECT_EQ(lkt::ofType("DuckManager").size(), 1u);
}

TEST_F(Game, FourWavesMakeARoundWithABannerAndAPauseAfterWhichDucksFlyFaster) {
  DuckManager* manager = play();
  ASSERT_NE(manager, nullptr);
  for (int wave = 1; wave <= 4; ++wave) {
    ASSERT_EQ(manager->getWave(), wave);
    ASSERT_EQ(flying().size(), 2u);
    for (Duck* p : flying()) EXPECT_EQ(p->getLevel(), 1);
    lkt::frame([] {
      for (Duck* p : flying()) p->hit();
    });
  }
  // The round ended in the step of the last hit: banner, round number, no ducks.
  EXPECT_EQ(lkt::hud("Points:")->getValue(), 800);
  EXPECT_EQ(lkt::hud("ROUND")->getValue(), 2);
  EXPECT_TRUE(flying().empty());
  const lk::Sprite* banner = lk::ResourceManager::getInstance().getSprite("new-round");
  const int banner_steps = 3 * banner->getSlowdown() * banner->getFrameCount();
  ASSERT_EQ(lkt::ofType("NewRound").size(), 1u);
  for (int step = 1; step <= 101; ++step) {
    lkt::frame();
    EXPECT_EQ(lkt::ofType("NewRound").size(), step <= banner_steps ? 1u : 0u) << step;
    ASSERT_TRUE(lkt::ofType("Duck").empty()) << "pause step " << step;
  }
  lkt::frame();
  ASSERT_EQ(flying().size(), 2u) << "no wave at the 102nd step";
  for (Duck* p : flying()) {
    EXPECT_EQ(p->getLevel(), 2);
    EXPECT_NEAR(p->getSpeed(), 2.1f, 1e-5);
  }
}

TEST_F(Game, TheThirdMissEndsPlayAndTheEndScreenGoesBackToTheStartScreen) {
  DuckManager* manager = play();
  ASSERT_NE(manager, nullptr);
  lkt::frame([] {
    for (Duck* p : flying()) diveOut(p);
  });
  EXPECT_EQ(lkt::hud("Ducks Missed:")->getValue(), 2);
  // One hit, one escape: the third miss is the wave's last duck, and no wave follows.
  lkt::frame([] {
    std::vector<Duck*> wave = flying();
    ASSERT_EQ(wave.size(), 2u);
    wave[0]->hit();
    diveOut(wave[1]);
  });
  EXPECT_EQ(lkt::ofType("EndGame").size(), 1u);
  EXPECT_FALSE(playing("ducks-quacking"));
  EXPECT_TRUE(flying().empty());
  lkt::frame();
  EXPECT_EQ(lkt::types(), (Types{"ViewObject", "ViewObject", "ViewObject", "Ground", "DuckShot", "EndGame"}));
  // Shown for slowdown x frames steps, the first the one it came in.
  const lk::Sprite* end = lk::ResourceManager::getInstance().getSprite("end-game");
  lkt::frames(end->getSlowdown() * end->getFrameCount() - 2);
  EXPECT_EQ(lkt::hud("Ducks Missed:")->getValue(), 3);
  EXPECT_EQ(lkt::hud("Points:")->getValue(), 100);
  lkt::frame();
  EXPECT_EQ(lkt::types(), Types{"StartGame"});
  EXPECT_TRUE(playing("start-music"));
}

TEST_F(Game, BulletsComeEverySixthStepShotsSoundEveryEighthAndHitWithinThreeSteps) {
  lkt::startWorld();
  Gun* gun = new Gun;
  new Reticle;
  // The aim follows five equal columns of the window; an edge belongs to the left one.
  for (int px = -40; px < 1100; ++px) {
    lkt::mouse(lk::MOVED, float(px), 500);
    ASSERT_EQ(gun->getAimFrame(), std::max(0, std::min(4, int(std::ceil(px / 204.8) - 1)))) << px;
  }
  std::set<int> seen;
  std::vector<int> fired, sounded;
  for (int frame = 0; frame < 48; ++frame) {
    lkt::frame([&] {
      lkt::mouse(lk::CLICKED, 512, 384, frame % 2 ? lk::RIGHT_BUTTON : lk::LEFT_BUTTON);
      if (gun->getStepsSinceShot() == 0) sounded.push_back(frame);
      for (lk::Object* p : lkt::ofType("Bullet"))
        if (seen.insert(p->getId()).second) {
          fired.push_back(frame);
          EXPECT_EQ(p->getPosition(), lk::Vector(120, 18));
        }
    });
    EXPECT_EQ(lkt::ofType("Bullet").size(), frame % 6 < 3 ? 1u : 0u) << frame;  // lives three steps
  }
  EXPECT_EQ(fired, (std::vector<int>{0, 6, 12, 18, 24, 30, 36, 42}));
  EXPECT_EQ(sounded, (std::vector<int>{0, 8, 16, 24, 32, 40}));
  // A duck whose box reaches the bullet on the third move after the click is
  // hit; one that reaches it on the fourth is not.
  for (int move : {3, 4}) {
    lkt::frames(6);  // the cooldown and the last bullet pass
    auto* duck = new Duck(1);
    const lk::Box box = duck->getBox();
    duck->setPosition(lk::Vector(120 - box.getCorner().getX() - box.getHorizontal() - 2.0f * float(move), 18));
    duck->setVelocity(lk::Vector(2, 0));
    lkt::frame([] { lkt::mouse(lk::CLICKED, 512, 384); });
    lkt::frames(6);
    EXPECT_EQ(duck->isShot(), move == 3) << move;
  }
}

// Every look-up comes back empty: the whole cycle must still run, drawn.
TEST_F(Game, TheWholeCycleRunsWithoutAnyAssetFile) {
  std::vector<std::string> missing = {"sounds/gun-shot.wav", "sounds/new-round.mp3", "sounds/start-music.wav", "sounds/ducks-quacking.wav"};
  for (const char* s : {"gun", "duck-flyleft", "duck-flyright", "duck-shot", "ground", "start-game-alt", "start-game", "end-game", "new-round"})
    missing.push_back(std::string("sprites/") + s + "-spr.txt");
  ASSERT_NE(play(missing, true), nullptr);
  // Each wave shot by bullets on the sprite-less ducks' next places.
  for (int wave = 0; wave < 4; ++wave)
    lkt::frame([] {
      lkt::mouse(lk::MOVED, 900, 300);
      lkt::mouse(lk::CLICKED, 900, 300);
      for (lk::Object* p : lkt::ofType("Duck")) new lk::Bullet(p->getPosition() + p->getVelocity());
    });
  EXPECT_EQ(lkt::hud("Points:")->getValue(), 800);
  EXPECT_EQ(lkt::hud("ROUND")->getValue(), 2);
  lkt::frames(2);
  EXPECT_TRUE(lkt::ofType("NewRound").empty()) << "a banner without its sprite lasts one step";
  for (int i = 0; i < 2000 && lkt::ofType("EndGame").empty(); ++i) lkt::frame();
  ASSERT_EQ(lkt::ofType("EndGame").size(), 1u);
  lkt::frame();
  EXPECT_EQ(lkt::types(), Types{"StartGame"});
  lkt::frame([] { lkt::key(lk::Q); });
  EXPECT_TRUE(lk::GameManager::getInstance().getGameOver());
}
