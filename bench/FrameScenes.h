// The frames both benchmark programs draw, the desktop's (FrameBench.cpp)
// and the page's (WebFrameBench.cpp), so that their figures compare the same
// work: the engine started as the game starts it, and the three scenes.
#ifndef LK_FRAME_SCENES_H
#define LK_FRAME_SCENES_H

namespace scenes {

// Log, display, world and resource managers, then the game's assets, from
// "../sprites/", "../sounds/" and "../lk-font.ttf". Null when all started,
// else the name of the manager that did not.
const char* startEngine();
void stopEngine();
// Whether the sprites the scenes draw were loaded: without them the scenes
// would draw nothing and time an empty frame.
bool haveGameSprites();

// Deletes every object and starts an empty world.
void clearWorld();
float viewLeft();

// drawCh on all cells of the window (every printable character, every
// colour but black), without showing the frame.
void drawFullScreen();
// The start screen: a real StartGame.
void setUpTitle();
// A busy moment of play: the HUD, ground, gun and reticle, two ducks in the
// view, a shot duck falling and the new-round banner.
void setUpPlay();

}  // namespace scenes

#endif
