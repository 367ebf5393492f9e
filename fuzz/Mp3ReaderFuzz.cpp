// Any bytes as an MP3, through SFML's calls: check, open, read all, then seeks to offsets from the
// input, reading to the end: exactly the announced samples every time, as sf::SoundBuffer insists.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <SFML/System/MemoryInputStream.hpp>

#include "Mp3SoundFileReader.h"

static std::uint64_t readToEnd(lk::Mp3SoundFileReader& reader) {
  static std::vector<sf::Int16> buffer(4096);
  std::uint64_t total = 0;
  for (std::uint64_t got; (got = reader.read(buffer.data(), buffer.size())) > 0;) total += got;
  return total;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lk::registerMp3Reader();
  sf::MemoryInputStream stream;
  stream.open(data, size);
  lk::Mp3SoundFileReader reader;
  sf::SoundFileReader::Info info{};
  if (!lk::Mp3SoundFileReader::check(stream) || !reader.open(stream, info)) return 0;
  const std::uint64_t count = info.sampleCount;
  const unsigned channels = info.channelCount;
  if (channels < 1 || channels > 2 || info.sampleRate == 0 || count % channels != 0) std::abort();
  if (readToEnd(reader) != count) std::abort();
  std::uint32_t seed = static_cast<std::uint32_t>(size);
  for (std::size_t i = 0; i < size && i < 16; ++i) seed = seed * 31 + data[i];
  for (int i = 0; i < 4; ++i) {  // the last seek past the end
    seed = seed * 1103515245u + 12345u;
    const std::uint64_t offset = i == 3 ? count + 7 : (count == 0 ? 0 : seed % count);
    reader.seek(offset);
    if (readToEnd(reader) != count - (offset >= count ? count : offset / channels * channels))
      std::abort();
  }
  return 0;
}
