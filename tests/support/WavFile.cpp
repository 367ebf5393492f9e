#include "WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace lktest {

namespace {

void put16(std::string& out, std::uint16_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char(v >> 8));
}

void put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

std::uint32_t get32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

std::uint16_t get16(const std::string& s, std::size_t at) {
  return std::uint16_t(static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8));
}

}  // namespace

std::vector<std::int16_t> sineSamples(unsigned int sample_rate, unsigned int channels, double seconds,
                                      double frequency, double amplitude) {
  const std::size_t frames = static_cast<std::size_t>(seconds * sample_rate + 0.5);
  std::vector<std::int16_t> samples;
  samples.reserve(frames * channels);
  const double pi = std::acos(-1.0);
  for (std::size_t i = 0; i < frames; ++i) {
    const double v = amplitude * std::sin(2 * pi * frequency * double(i) / sample_rate);
    for (unsigned int c = 0; c < channels; ++c) samples.push_back(std::int16_t(std::lround(v * 32767)));
  }
  return samples;
}

void writeWav16(const std::string& path, unsigned int sample_rate, unsigned int channels,
                const std::vector<std::int16_t>& samples) {
  const std::uint32_t data_bytes = std::uint32_t(samples.size() * 2);
  std::string out;
  out += "RIFF";
  put32(out, 36 + data_bytes);
  out += "WAVEfmt ";
  put32(out, 16);
  put16(out, 1);  // PCM
  put16(out, std::uint16_t(channels));
  put32(out, sample_rate);
  put32(out, sample_rate * channels * 2);
  put16(out, std::uint16_t(channels * 2));
  put16(out, 16);
  out += "data";
  put32(out, data_bytes);
  for (std::int16_t s : samples) put16(out, std::uint16_t(s));
  std::ofstream(path, std::ios::binary | std::ios::trunc) << out;
}

double Recording::rms(std::size_t first, std::size_t count) const {
  const std::size_t end = std::min(frames(), first + count);
  if (first >= end) return 0;
  double sum = 0;
  for (std::size_t i = first * channels; i < end * channels; ++i) sum += double(samples[i]) * samples[i];
  return std::sqrt(sum / double((end - first) * channels));
}

double Recording::rmsSeconds(double from, double to) const {
  if (to <= from || from < 0) return 0;
  return rms(std::size_t(from * sample_rate), std::size_t((to - from) * sample_rate));
}

bool readWav(const std::string& path, Recording& out) {
  std::ifstream in(path, std::ios::binary);
  const std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (s.size() < 12 || s.compare(0, 4, "RIFF") != 0 || s.compare(8, 4, "WAVE") != 0) return false;

  unsigned int format = 0;
  unsigned int bits = 0;
  std::size_t at = 12;
  while (at + 8 <= s.size()) {
    const std::string id = s.substr(at, 4);
    const std::uint32_t size = get32(s, at + 4);
    const std::size_t body = at + 8;
    if (id == "fmt " && body + 16 <= s.size()) {
      format = get16(s, body);
      out.channels = get16(s, body + 2);
      out.sample_rate = get32(s, body + 4);
      bits = get16(s, body + 14);
      // WAVE_FORMAT_EXTENSIBLE names the real format in its sub-format GUID.
      if (format == 0xFFFE && size >= 40 && body + 26 <= s.size()) format = get16(s, body + 24);
    } else if (id == "data") {
      if (out.channels == 0 || (format == 1 && bits != 16) || (format == 3 && bits != 32) ||
          (format != 1 && format != 3))
        return false;
      const std::size_t bytes = bits / 8;
      const std::size_t frame_bytes = bytes * out.channels;
      const std::size_t count = (s.size() - body) / frame_bytes * out.channels;
      out.samples.resize(count);
      for (std::size_t i = 0; i < count; ++i) {
        const std::size_t p = body + i * bytes;
        if (format == 1) {
          out.samples[i] = float(std::int16_t(get16(s, p))) / 32768.0f;
        } else {
          const std::uint32_t raw = get32(s, p);
          float v;
          std::memcpy(&v, &raw, sizeof v);
          out.samples[i] = v;
        }
      }
      return true;
    }
    // Chunks are padded to an even size.
    at = body + size + (size & 1);
  }
  return false;
}

}  // namespace lktest
