// The game's set-up: every sprite, sound and music under the label the game's
// objects look it up by.
#ifndef FOWLSHOT_LOAD_RESOURCES_H
#define FOWLSHOT_LOAD_RESOURCES_H

// Loads every asset from the fixed paths; a file that fails to load is
// logged by the loader and the game runs without it.
void loadResources();

#endif
