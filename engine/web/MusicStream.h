// Music in the browser: decoded whole by Web Audio like a sound (the page
// has its files in memory already) and played looping from there.
#ifndef LK_MUSIC_STREAM_H
#define LK_MUSIC_STREAM_H

#include <string>

#include "SoundClip.h"

namespace lk {

class MusicStream {
 public:
  MusicStream();
  MusicStream(const MusicStream&) = delete;
  MusicStream& operator=(const MusicStream&) = delete;

  // Decodes the file; without `audible`, only checks that it can be read. 0 or -1.
  int open(const std::string& filename, bool audible);
  // Play, stop, pause and resume do nothing before an audible open.
  void play(bool loop);
  void stop();
  // Playing music stops where it is, and resume goes on from there; music
  // not playing is left alone by both.
  void pause();
  void resume();

 private:
  SoundClip m_clip;
};

}  // namespace lk

#endif
