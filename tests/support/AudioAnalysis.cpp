#include "AudioAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <SFML/Audio/InputSoundFile.hpp>

namespace lktest {
namespace e2e {

namespace {

struct WavLayout {
  unsigned int format = 0;  // 1 integer PCM, 3 float
  unsigned int channels = 0;
  unsigned int rate = 0;
  unsigned int bits = 0;
  std::size_t data_start = 0;
};

std::uint32_t le32(const std::string& b, std::size_t at) {
  return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
         std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

std::uint16_t le16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

// Finds the format and where the samples start. The sizes in the header
// may be placeholders while the file is being written, so only the fmt
// chunk's size is trusted, and the data chunk runs to the end of the file.
bool parseLayout(const std::string& bytes, WavLayout& layout) {
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
    return false;
  std::size_t at = 12;
  bool have_format = false;
  while (at + 8 <= bytes.size()) {
    const std::string id = bytes.substr(at, 4);
    const std::uint32_t size = le32(bytes, at + 4);
    const std::size_t body = at + 8;
    if (id == "data") {
      if (!have_format) return false;
      layout.data_start = body;
      return true;
    }
    if (id == "fmt ") {
      if (size < 16 || body + size > bytes.size()) return false;
      layout.format = le16(bytes, body);
      layout.channels = le16(bytes, body + 2);
      layout.rate = le32(bytes, body + 4);
      layout.bits = le16(bytes, body + 14);
      if (layout.format == 0xFFFE) {
        if (size < 40) return false;
        layout.format = le16(bytes, body + 24);  // the sub-format's first two bytes
      }
      have_format = true;
    }
    at = body + size + (size & 1u);
  }
  return false;
}

}  // namespace

double MonoAudio::rms(double from, double to) const {
  const std::size_t first = static_cast<std::size_t>(std::max(0.0, from) * rate);
  const std::size_t last = std::min(samples.size(), static_cast<std::size_t>(std::max(0.0, to) * rate));
  if (last <= first) return 0.0;
  double sum = 0;
  for (std::size_t i = first; i < last; ++i) sum += double(samples[i]) * samples[i];
  return std::sqrt(sum / double(last - first));
}

MonoAudio MonoAudio::halved() const {
  MonoAudio out;
  out.rate = rate / 2;
  out.samples.resize(samples.size() / 2);
  for (std::size_t i = 0; i < out.samples.size(); ++i)
    out.samples[i] = 0.5f * (samples[2 * i] + samples[2 * i + 1]);
  return out;
}

MonoAudio MonoAudio::resampled(unsigned int new_rate) const {
  MonoAudio out;
  out.rate = new_rate;
  if (rate == 0 || samples.empty()) return out;
  const std::size_t count = static_cast<std::size_t>(double(samples.size()) * new_rate / rate);
  out.samples.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double source = double(i) * rate / new_rate;
    const std::size_t j = static_cast<std::size_t>(source);
    const double f = source - double(j);
    const float a = samples[std::min(j, samples.size() - 1)];
    const float b = samples[std::min(j + 1, samples.size() - 1)];
    out.samples[i] = static_cast<float>(a + (b - a) * f);
  }
  return out;
}

bool readRecording(const std::string& path, MonoAudio& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  WavLayout layout;
  if (!parseLayout(bytes, layout) || layout.channels == 0) return false;
  const bool is_float = layout.format == 3 && layout.bits == 32;
  const bool is_int16 = layout.format == 1 && layout.bits == 16;
  if (!is_float && !is_int16) return false;
  const std::size_t sample_bytes = layout.bits / 8;
  const std::size_t frame_bytes = sample_bytes * layout.channels;
  const std::size_t frames = (bytes.size() - layout.data_start) / frame_bytes;
  out.rate = layout.rate;
  out.samples.assign(frames, 0.0f);
  for (std::size_t f = 0; f < frames; ++f) {
    double sum = 0;
    for (unsigned int c = 0; c < layout.channels; ++c) {
      const std::size_t at = layout.data_start + f * frame_bytes + c * sample_bytes;
      if (is_float) {
        const std::uint32_t bits = le32(bytes, at);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        sum += value;
      } else {
        sum += static_cast<std::int16_t>(le16(bytes, at)) / 32768.0;
      }
    }
    out.samples[f] = static_cast<float>(sum / layout.channels);
  }
  return true;
}

double recordedSeconds(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return -1;
  std::string head(4096, '\0');
  in.read(&head[0], static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  WavLayout layout;
  if (!parseLayout(head, layout) || layout.rate == 0) return -1;
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size < layout.data_start) return -1;
  const double frame_bytes = double(layout.bits / 8) * layout.channels;
  return double(size - layout.data_start) / frame_bytes / layout.rate;
}

bool readSoundFile(const std::string& path, MonoAudio& out) {
  sf::InputSoundFile file;
  if (!file.openFromFile(path) || file.getChannelCount() == 0) return false;
  const unsigned int channels = file.getChannelCount();
  std::vector<sf::Int16> buffer(static_cast<std::size_t>(file.getSampleCount()));
  const sf::Uint64 read = file.read(buffer.data(), buffer.size());
  out.rate = file.getSampleRate();
  out.samples.assign(static_cast<std::size_t>(read / channels), 0.0f);
  for (std::size_t f = 0; f < out.samples.size(); ++f) {
    double sum = 0;
    for (unsigned int c = 0; c < channels; ++c) sum += buffer[f * channels + c] / 32768.0;
    out.samples[f] = static_cast<float>(sum / channels);
  }
  return true;
}

MonoAudio forAnalysis(const MonoAudio& audio) {
  MonoAudio out = audio;
  while (out.rate >= 2 * ANALYSIS_RATE && out.rate % 2 == 0) out = out.halved();
  if (out.rate != ANALYSIS_RATE) out = out.resampled(ANALYSIS_RATE);
  return out;
}

double bestMatch(const MonoAudio& haystack, double from, double to, const MonoAudio& needle, double* at) {
  const std::size_t n = needle.samples.size();
  if (n == 0 || haystack.rate != needle.rate || haystack.samples.size() < n) return 0.0;
  double needle_energy = 0;
  for (float s : needle.samples) needle_energy += double(s) * s;
  if (needle_energy <= 0) return 0.0;

  const std::size_t first = static_cast<std::size_t>(std::max(0.0, from) * haystack.rate);
  const std::size_t last =
      std::min(haystack.samples.size() - n, static_cast<std::size_t>(std::max(0.0, to) * haystack.rate));
  if (first > last) return 0.0;
  const float* h = haystack.samples.data();
  const float* p = needle.samples.data();

  double window = 0;
  for (std::size_t i = first; i < first + n; ++i) window += double(h[i]) * h[i];
  double best = 0;
  std::size_t best_at = first;
  for (std::size_t lag = first; lag <= last; ++lag) {
    if (lag > first) {
      window += double(h[lag + n - 1]) * h[lag + n - 1] - double(h[lag - 1]) * h[lag - 1];
      if (window < 0) window = 0;
    }
    // A near-silent stretch matches nothing.
    if (window < 1e-9 * double(n)) continue;
    double dot = 0;
    for (std::size_t i = 0; i < n; ++i) dot += double(h[lag + i]) * p[i];
    const double c = dot / std::sqrt(window * needle_energy);
    if (c > best) {
      best = c;
      best_at = lag;
    }
  }
  if (at != nullptr) *at = double(best_at) / haystack.rate;
  return best;
}

double matchInLoop(const MonoAudio& recording, double from, double to, const MonoAudio& loop, double length) {
  const std::size_t count = static_cast<std::size_t>(length * recording.rate);
  const std::size_t first = static_cast<std::size_t>(std::max(0.0, from) * recording.rate);
  const std::size_t last = std::min(recording.samples.size(), static_cast<std::size_t>(std::max(0.0, to) * recording.rate));
  if (count == 0 || first + count > last) return 0.0;
  // The loudest piece in the stretch: sounds with pauses in them (quacks)
  // are recognised by what they play, not by a silence.
  const float* r = recording.samples.data();
  double energy = 0;
  for (std::size_t i = first; i < first + count; ++i) energy += double(r[i]) * r[i];
  double loudest = energy;
  std::size_t start = first;
  for (std::size_t i = first + 1; i + count <= last; ++i) {
    energy += double(r[i + count - 1]) * r[i + count - 1] - double(r[i - 1]) * r[i - 1];
    if (energy > loudest) {
      loudest = energy;
      start = i;
    }
  }
  MonoAudio piece;
  piece.rate = recording.rate;
  piece.samples.assign(recording.samples.begin() + static_cast<std::ptrdiff_t>(start),
                       recording.samples.begin() + static_cast<std::ptrdiff_t>(start + count));
  MonoAudio twice = loop;
  twice.samples.insert(twice.samples.end(), loop.samples.begin(), loop.samples.end());
  return bestMatch(twice, 0.0, loop.seconds(), piece);
}

}  // namespace e2e
}  // namespace lktest
