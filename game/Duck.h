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
  // The game has ended: this duck, still flying until it is deleted, reports
  // neither a hit nor a miss any more.
  void endPlay();
  void moveToStart();
  void aimAtView(int level);

  bool isShot() const;
  bool isMissed() const;
  int getLevel() const;

 private:
  bool m_shot;
  bool m_missed;  // already reported as missed: no hit and no second miss
  bool m_play_ended;
  int m_level;
};

#endif
