// An invisible, motionless hard object that lives three steps: a duck that
// flies into it is hit.
#ifndef FOWLSHOT_BULLET_H
#define FOWLSHOT_BULLET_H

#include "Object.h"
#include "Vector.h"

namespace lk {

class Bullet : public Object {
 public:
  explicit Bullet(Vector position);
  ~Bullet() override;

  int eventHandler(const Event* p_event) override;

  int getLife() const;

 private:
  int m_life;
};

}  // namespace lk

#endif
