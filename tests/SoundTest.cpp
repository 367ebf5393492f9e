// Sound files: the WAV walk over hostile chunk sizes and the MP3 reader.
#include <chrono>
#include <cmath>
#include <cstdint>

#include "Support.h"

namespace {

// A RIFF WAVE file of the given chunks ("fmt " is 16-bit mono at 8 kHz).
std::string wav(const std::vector<std::pair<std::string, std::string>>& chunks) {
  const auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  std::string body = "WAVE";
  for (const auto& [id, content] : chunks) body += id + content;
  return "RIFF" + u32(std::uint32_t(body.size())) + body;
}
std::string sized(std::uint32_t claimed, const std::string& content) {
  return std::string{char(claimed), char(claimed >> 8), char(claimed >> 16), char(claimed >> 24)} + content;
}
const std::string FORMAT = sized(16, std::string("\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00", 16));
const std::string SAMPLES = sized(8, std::string(8, '\x10'));

}  // namespace

// Chunks are walked with 64-bit positions: a file with a chunk claiming
// almost 4 GiB, one running past the end, or an odd-sized one ahead of the
// samples (whose pad byte SFML's reader would take for the next header) is
// refused at once with a line naming it.
TEST(Sound, WavChunksPastTheEndOrOddSizedAheadOfTheSamplesAreRefusedAtOnce) {
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  rm.shutDown(), rm.startUp();
  const struct {
    std::string name, content, refusal;  // the refusal's text after the file name; "" when it loads
  } cases[] = {
      {"huge-first", wav({{"junk", sized(0xFFFFFFF8u, std::string(64, 'j'))}, {"fmt ", FORMAT}, {"data", SAMPLES}}),
       " has a chunk at byte 12 claiming 4294967288 bytes, past the file's end at byte 124."},
      {"past-end", wav({{"fmt ", FORMAT}, {"LIST", sized(40, "abc")}}),
       " has a chunk at byte 36 claiming 40 bytes, past the file's end at byte 47."},
      {"odd-chunk", wav({{"note", sized(3, std::string("abc") + '\0')}, {"fmt ", FORMAT}, {"data", SAMPLES}}),
       " has a chunk at byte 12 of an odd 3 bytes ahead of its samples, which the WAV reader would misread."},
      {"even-chunk", wav({{"note", sized(4, "abcd")}, {"fmt ", FORMAT}, {"data", SAMPLES}}), ""},
  };
  for (const auto& c : cases) {
    const std::string file = "../" + c.name + ".wav";
    lkt::writeFile(file, c.content);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(rm.loadSound(file, c.name) == 0, c.refusal.empty()) << c.name;
    EXPECT_EQ(rm.loadMusic(file, c.name) == 0, c.refusal.empty()) << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << c.name;
    if (!c.refusal.empty()) {
      EXPECT_EQ(lkt::logCount("Sound::loadSound(): " + file + c.refusal), 1) << c.name;
      EXPECT_EQ(lkt::logCount("Music::loadMusic(): " + file + c.refusal), 1) << c.name;
    }
  }
}

// A tone from sox, as WAV and as MP3 from lame: the MP3 decodes at its rate
// and channels, to the same length (no encoder delay or padding left) and
// sample-aligned with the original, up to the codec's error.
TEST(Mp3, DecodesToTheOriginalsLengthAndSamples) {
#ifdef _WIN32
  GTEST_SKIP() << "sox and lame, which make the tones, are the Linux build's";
#endif
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  rm.startUp();
  for (const auto& [rate, channels, options] : {std::tuple{44100, 1, "-b 128"}, std::tuple{22050, 2, "-b 96 --id3v2-only --tt Lark"}}) {
    const std::string name = "../tone-" + std::to_string(channels);
    ASSERT_TRUE(lkt::run("sox -n -b 16 -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " " + name +
                         ".wav synth 0.7 sine 440 vol 0.5 && lame --quiet " + options + " " + name + ".wav " + name + ".mp3"));
    ASSERT_EQ(rm.loadSound(name + ".wav", name + "wav"), 0);
    ASSERT_EQ(rm.loadSound(name + ".mp3", name), 0);
    const sf::SoundBuffer &mp3 = *rm.getSound(name)->getBuffer(), &wav = *rm.getSound(name + "wav")->getBuffer();
    EXPECT_EQ(mp3.getSampleRate(), unsigned(rate));
    ASSERT_EQ(mp3.getChannelCount(), unsigned(channels));
    EXPECT_NEAR(double(mp3.getSampleCount()) / channels / rate, 0.7, 0.03);
    const auto snr = [&](int shift) {
      double error = 0, signal = 0;
      for (std::size_t i = 2000; i + 2000 < std::min(wav.getSampleCount(), mp3.getSampleCount()); ++i) {
        const double diff = double(mp3.getSamples()[i + shift]) - wav.getSamples()[i];
        error += diff * diff, signal += double(wav.getSamples()[i]) * wav.getSamples()[i];
      }
      return 10 * std::log10(signal / std::max(error, 1.0));
    };
    EXPECT_GT(snr(0), 20) << name;
    EXPECT_GT(snr(0), std::max(snr(channels), snr(-channels)) + 2) << name;
  }
}
