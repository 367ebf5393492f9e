// A sound effect, decoded whole into memory and played from there. Hence a
// bound: a file of more than MAX_SOUND_SAMPLES samples (2^24, a little over
// three minutes of 44.1 kHz stereo) is refused with the log line
// "Sound::loadSound(): <file> announces <n> samples, more than the 16777216 a
// sound may hold."; load longer audio as Music, which streams.
#ifndef LK_SOUND_H
#define LK_SOUND_H

#include <memory>
#include <string>

#if defined(LK_BACKEND_SFML)
#include <SFML/Audio.hpp>
#endif

namespace lk {

// The platform's sound (the backend's).
class SoundClip;

/// A sound effect, decoded whole into memory and played from there.
class Sound {
 public:
  /// An empty sound labelled "undefined".
  Sound();
  ~Sound();
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  /// Loads the file whole; 0, or -1 with a log line naming it.
  int loadSound(std::string filename);
  /// Sets the label the sound is found by.
  void setLabel(std::string new_label);
  /// The label the sound is found by ("undefined" until set).
  std::string getLabel() const;
  /// Starts playing from the beginning, over and over with `loop`.
  void play(bool loop = false);
  /// Stops playing.
  void stop();
  /// Stops a playing sound where it is; a sound not playing is left alone.
  void pause();
  /// Goes on from where pause() stopped the sound.
  void resume();
  /// Without an audio device the sound is still read from its file, but no
  /// audio object is made (each would fail and complain, and ask the system
  /// for a device again), and play and stop do nothing.
  void setAudible(bool audible);
#if defined(LK_BACKEND_SFML)
  /// The decoded samples, for callers that check what was loaded; null
  /// before a load, or when the sound is not audible.
  const sf::SoundBuffer* getBuffer() const;
#endif

 private:
  std::unique_ptr<SoundClip> m_p_clip;  // made by the first load
  std::string m_label;
  bool m_audible;
};

}  // namespace lk

#endif
