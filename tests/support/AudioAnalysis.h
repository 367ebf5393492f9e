// Reading what the game played: OpenAL Soft's wave output, written in real
// time (its header sizes are only fixed when the device closes), and the
// game's own sound files as references to look for in it.
#ifndef LK_AUDIO_ANALYSIS_H
#define LK_AUDIO_ANALYSIS_H

#include <cstddef>
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
  // The same audio at half the rate (pairs averaged).
  MonoAudio halved() const;
  // The audio at another rate, by linear interpolation.
  MonoAudio resampled(unsigned int new_rate) const;
};

// Reads a recording made by OpenAL's wave output: 16-bit integer or 32-bit
// float samples, plain or extensible format; a data chunk still being
// written (placeholder size) is taken to run to the end of the file.
bool readRecording(const std::string& path, MonoAudio& out);
// Seconds of audio recorded so far (from the file's size alone), or -1.
double recordedSeconds(const std::string& path);

// Decodes a sound file of any format SFML reads (WAV, MP3, ...).
bool readSoundFile(const std::string& path, MonoAudio& out);

// Best normalised cross-correlation (-1 to 1) of the whole `needle` against
// `haystack`, over placements of the needle's start between the two times
// (seconds in the haystack). Both must have the same rate. *at receives the
// time of the best placement.
double bestMatch(const MonoAudio& haystack, double from, double to, const MonoAudio& needle,
                 double* at = nullptr);

// Best normalised correlation of the loudest piece (of the given length) of
// the recording between two times against any placement in a looping
// reference, so a piece of music is found wherever the loop happens to be.
double matchInLoop(const MonoAudio& recording, double from, double to, const MonoAudio& loop,
                   double length = 0.25);

// The rate at which recordings and references are compared.
const unsigned int ANALYSIS_RATE = 11025;
// A recording or reference brought to ANALYSIS_RATE.
MonoAudio forAnalysis(const MonoAudio& audio);

}  // namespace e2e
}  // namespace lktest

#endif
