// A sound decoded whole by the browser's Web Audio and played from there.
// Browsers start audio only after the player's first key or click: what is
// played before then waits in the suspended audio context and sounds then.
#ifndef LK_SOUND_CLIP_H
#define LK_SOUND_CLIP_H

#include <string>

namespace lk {

class SoundClip {
 public:
  SoundClip();
  ~SoundClip();
  SoundClip(const SoundClip&) = delete;
  SoundClip& operator=(const SoundClip&) = delete;

  // Whether the browser has Web Audio (its context is made then, and kept).
  static bool deviceOpens();

  // Reads and decodes the whole file (WAV, MP3 or whatever the browser
  // decodes); without `audible`, only checks that it can be read. 0 or -1.
  int load(const std::string& filename, bool audible);
  // Play, stop, pause and resume do nothing before an audible load.
  void play(bool loop);
  void stop();
  // A playing sound stops where it is, and resume goes on from there; a
  // sound not playing is left alone by both.
  void pause();
  void resume();

 private:
  // The page's id of the decoded sound, -1 before an audible load.
  int m_id;
};

}  // namespace lk

#endif
