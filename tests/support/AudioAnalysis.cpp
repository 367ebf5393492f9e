#include "AudioAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

#include <SFML/Audio/InputSoundFile.hpp>

#include "TestSupport.h"

namespace lktest {
namespace e2e {

namespace {

std::uint32_t littleEndian(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | std::uint8_t(b[at + std::size_t(i)]);
  return value;
}

struct WavHeader {
  unsigned int format = 0, channels = 0, rate = 0, bits = 0;  // format 1: integer, 3: float
  std::size_t data = 0;                                        // where the samples start

  // Only the fmt chunk's size is trusted: the others may still be placeholders.
  bool parse(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
      const std::uint32_t size = littleEndian(bytes, at + 4, 4);
      const std::size_t body = at + 8;
      if (bytes.compare(at, 4, "data") == 0) {
        data = body;
        return channels > 0 && rate > 0;
      }
      if (bytes.compare(at, 4, "fmt ") == 0 && size >= 16 && body + size <= bytes.size()) {
        format = littleEndian(bytes, body, 2);
        if (format == 0xFFFE && size >= 40) format = littleEndian(bytes, body + 24, 2);  // extensible
        channels = littleEndian(bytes, body + 2, 2);
        rate = littleEndian(bytes, body + 4, 4);
        bits = littleEndian(bytes, body + 14, 2);
      }
      at = body + size + (size & 1u);
    }
    return false;
  }
};

// Channels averaged; sample(i) is the i-th interleaved sample.
template <class Sample>
void mixDown(std::size_t frames, unsigned int channels, unsigned int rate, MonoAudio& out, Sample sample) {
  out.rate = rate;
  out.samples.assign(frames, 0.0f);
  for (std::size_t i = 0; i < frames * channels; ++i) out.samples[i / channels] += static_cast<float>(sample(i) / channels);
}

}  // namespace

double MonoAudio::rms(double from, double to) const {
  const std::size_t first = static_cast<std::size_t>(std::max(0.0, from) * rate);
  const std::size_t last = std::min(samples.size(), static_cast<std::size_t>(std::max(0.0, to) * rate));
  double sum = 0;
  for (std::size_t i = first; i < last; ++i) sum += double(samples[i]) * samples[i];
  return last > first ? std::sqrt(sum / double(last - first)) : 0.0;
}

bool readRecording(const std::string& path, MonoAudio& out) {
  const std::string bytes = readFile(path);
  WavHeader h;
  if (!h.parse(bytes) || !((h.format == 3 && h.bits == 32) || (h.format == 1 && h.bits == 16))) return false;
  const std::size_t sample_bytes = h.bits / 8;
  mixDown((bytes.size() - h.data) / (sample_bytes * h.channels), h.channels, h.rate, out, [&](std::size_t i) {
    const std::uint32_t raw = littleEndian(bytes, h.data + i * sample_bytes, static_cast<int>(sample_bytes));
    float value;
    std::memcpy(&value, &raw, sizeof value);
    return h.bits == 32 ? double(value) : static_cast<std::int16_t>(raw) / 32768.0;
  });
  return true;
}

double recordedSeconds(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  const double size = in ? static_cast<double>(in.tellg()) : -1;
  std::string head(4096, '\0');
  in.seekg(0);
  in.read(&head[0], static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  WavHeader h;
  if (size < 0 || !h.parse(head) || h.bits == 0) return -1;
  return std::max(0.0, size - double(h.data)) / (h.bits / 8 * h.channels) / h.rate;
}

bool readSoundFile(const std::string& path, MonoAudio& out) {
  sf::InputSoundFile file;
  if (!file.openFromFile(path) || file.getChannelCount() == 0) return false;
  std::vector<sf::Int16> buffer(static_cast<std::size_t>(file.getSampleCount()));
  const std::size_t read = static_cast<std::size_t>(file.read(buffer.data(), buffer.size()));
  mixDown(read / file.getChannelCount(), file.getChannelCount(), file.getSampleRate(), out,
          [&](std::size_t i) { return buffer[i] / 32768.0; });
  return true;
}

MonoAudio forAnalysis(const MonoAudio& audio) {
  // Each new sample is the mean of the old ones in its span: a low-pass
  // that keeps what is left from aliasing.
  MonoAudio out;
  out.rate = ANALYSIS_RATE;
  const double ratio = double(audio.rate) / ANALYSIS_RATE;
  const std::size_t n = audio.samples.size();
  for (std::size_t i = 0; i < static_cast<std::size_t>(double(n) / ratio); ++i) {
    const std::size_t a = static_cast<std::size_t>(double(i) * ratio);
    const std::size_t b = std::max(a + 1, std::min(n, static_cast<std::size_t>(double(i + 1) * ratio)));
    double sum = 0;
    for (std::size_t j = a; j < b; ++j) sum += audio.samples[j];
    out.samples.push_back(static_cast<float>(sum / double(b - a)));
  }
  return out;
}

double bestMatch(const MonoAudio& haystack, double from, double to, const MonoAudio& needle) {
  const std::size_t n = needle.samples.size();
  if (n == 0 || haystack.rate != needle.rate || haystack.samples.size() < n) return 0.0;
  double needle_energy = 0;
  for (float s : needle.samples) needle_energy += double(s) * s;
  const std::size_t first = static_cast<std::size_t>(std::max(0.0, from) * haystack.rate);
  const std::size_t last =
      std::min(haystack.samples.size() - n, static_cast<std::size_t>(std::max(0.0, to) * haystack.rate));
  const float* h = haystack.samples.data();
  double window = 0;  // energy of the haystack under the needle, kept running
  for (std::size_t i = first; i < first + n && i < haystack.samples.size(); ++i) window += double(h[i]) * h[i];
  double best = 0;
  for (std::size_t lag = first; lag <= last && needle_energy > 0; ++lag) {
    if (lag > first) window = std::max(0.0, window + double(h[lag + n - 1]) * h[lag + n - 1] - double(h[lag - 1]) * h[lag - 1]);
    if (window < 1e-9 * double(n)) continue;  // a near-silent stretch matches nothing
    double dot = 0;
    for (std::size_t i = 0; i < n; ++i) dot += double(h[lag + i]) * needle.samples[i];
    best = std::max(best, dot / std::sqrt(window * needle_energy));
  }
  return best;
}

double matchInLoop(const MonoAudio& recording, double from, double to, const MonoAudio& loop, double length) {
  const std::size_t count = static_cast<std::size_t>(length * recording.rate);
  const std::size_t first = static_cast<std::size_t>(std::max(0.0, from) * recording.rate);
  const std::size_t last = std::min(recording.samples.size(), static_cast<std::size_t>(std::max(0.0, to) * recording.rate));
  if (count == 0 || first + count > last) return 0.0;
  // The loudest piece: quacks, with pauses between them, are recognised by
  // what they play, not by a silence.
  const float* r = recording.samples.data();
  double energy = 0;
  for (std::size_t i = first; i < first + count; ++i) energy += double(r[i]) * r[i];
  double loudest = energy;
  std::size_t start = first;
  for (std::size_t i = first + 1; i + count <= last; ++i) {
    energy += double(r[i + count - 1]) * r[i + count - 1] - double(r[i - 1]) * r[i - 1];
    if (energy > loudest) loudest = energy, start = i;
  }
  MonoAudio piece{recording.rate, std::vector<float>(r + start, r + start + count)};
  MonoAudio twice = loop;
  twice.samples.insert(twice.samples.end(), loop.samples.begin(), loop.samples.end());
  return bestMatch(twice, 0.0, loop.seconds(), piece);
}

}  // namespace e2e
}  // namespace lktest
