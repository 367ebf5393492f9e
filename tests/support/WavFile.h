// Writing small PCM WAV files for tests and reading the audio that OpenAL
// Soft's wave output records.
#ifndef LK_TEST_WAV_FILE_H
#define LK_TEST_WAV_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lktest {

// Interleaved 16-bit samples of a sine of the given frequency and peak
// amplitude (0 to 1), the same in every channel.
std::vector<std::int16_t> sineSamples(unsigned int sample_rate, unsigned int channels, double seconds,
                                      double frequency, double amplitude);

// Writes a 16-bit PCM WAV file with a complete header.
void writeWav16(const std::string& path, unsigned int sample_rate, unsigned int channels,
                const std::vector<std::int16_t>& samples);

// Audio read back from a WAV file, as floats from -1 to 1, interleaved.
struct Recording {
  unsigned int sample_rate = 0;
  unsigned int channels = 0;
  std::vector<float> samples;

  std::size_t frames() const { return channels == 0 ? 0 : samples.size() / channels; }
  double seconds() const { return sample_rate == 0 ? 0 : double(frames()) / sample_rate; }
  // Root mean square over frames [first, first + count), cut to what exists.
  double rms(std::size_t first, std::size_t count) const;
  double rmsSeconds(double from, double to) const;
};

// Reads 16-bit integer or 32-bit float PCM (plain or extensible format). A
// file still being written may carry placeholder sizes: the data chunk is
// taken to run to the end of the file, whole frames only. False when the
// file is not a WAV file in one of these formats.
bool readWav(const std::string& path, Recording& out);

}  // namespace lktest

#endif
