// The red cross-hair: follows the mouse and fires a bullet on a click.
#ifndef FOWLSHOT_RETICLE_H
#define FOWLSHOT_RETICLE_H

#include "Object.h"
#include "Vector.h"

// The world position under a pointer at window pixels: the window column
// plus the view's left edge, and the window row.
lk::Vector mouseToWorld(lk::Vector pixels);

class Reticle : public lk::Object {
 public:
  Reticle();
  ~Reticle() override;

  int eventHandler(const lk::Event* p_event) override;
  int draw() override;

  int getStepsSinceShot() const;

 private:
  int m_steps_since_shot;
  int m_shot_cooldown;
};

#endif
