// The target: starts just outside the view, flies toward its middle on a
// path that bends downward, and ends hit by a bullet or missed out of the
// world. Each duck reports exactly one of the two.
#ifndef FOWLSHOT_DUCK_H
#define FOWLSHOT_DUCK_H

#include "Object.h"

class Duck : public lk::Object {
 public:
  explicit Duck(int level);
  ~Duck() override;

  int eventHandler(const lk::Event* p_event) override;

  void out();
  void hit();
  void moveToStart();
  void aimAtView(int level);

  bool isShot() const;
  bool isMissed() const;
  int getLevel() const;

 private:
  bool m_shot;
  bool m_missed;  // already reported as missed: no hit and no second miss
  int m_level;
};

#endif
