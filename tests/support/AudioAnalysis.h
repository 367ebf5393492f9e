// Reading what the game played: OpenAL Soft's wave output, written in real
// time (its header sizes are only fixed when the device closes), and the
// game's own sound files as references to look for in it.
#ifndef LK_AUDIO_ANALYSIS_H
#define LK_AUDIO_ANALYSIS_H

#include <string>
#include <vector>

namespace lktest {
namespace e2e {

// Mono audio as floats from -1 to 1 (channels averaged).
struct MonoAudio {
  unsigned int rate = 0;
  std::vector<float> samples;

  double seconds() const { return rate == 0 ? 0.0 : double(samples.size()) / rate; }
  // Root mean square between two times in seconds, cut to what exists.
  double rms(double from, double to) const;
};

// Reads OpenAL's wave output (16-bit integer or 32-bit float, plain or
// extensible); a data chunk still being written runs to the end of the file.
bool readRecording(const std::string& path, MonoAudio& out);
// Seconds recorded so far, from the file's size alone; -1 without a file.
double recordedSeconds(const std::string& path);
// Decodes a sound file of any format SFML reads.
bool readSoundFile(const std::string& path, MonoAudio& out);

// Recordings and references are compared at this rate.
const unsigned int ANALYSIS_RATE = 11025;
MonoAudio forAnalysis(const MonoAudio& audio);

// Best normalised cross-correlation (-1 to 1) of the whole needle with the
// haystack, its start placed between two times (seconds); same rates.
double bestMatch(const MonoAudio& haystack, double from, double to, const MonoAudio& needle);
// The same for the loudest piece of the recording between two times, of the
// given length, against any place in a looping reference.
double matchInLoop(const MonoAudio& recording, double from, double to, const MonoAudio& loop, double length = 0.25);

}  // namespace e2e
}  // namespace lktest

#endif
