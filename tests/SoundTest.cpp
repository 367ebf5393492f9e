// Sound files: the WAV walk over hostile chunk sizes and the MP3 reader.

#include "Support.h"

using lkt::sized, lkt::wav;
const std::string FORMAT = lkt::WAV_FORMAT, SAMPLES = sized(8, std::string(8, '\x10'));

// Chunks walked with 64-bit positions: one claiming almost 4 GiB, one past the end, or an odd one
// ahead of the samples (SFML's reader skips no pad byte) is refused at once, with a line naming it.
TEST(Sound, WavChunksPastTheEndOrOddSizedAheadOfTheSamplesAreRefusedAtOnce) {
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  lk::LogManager::getInstance().startUp(), rm.shutDown(), rm.startUp();
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

// A sox tone as WAV and lame MP3: the MP3 decodes at its rate and channels, to the same length
// and sample-aligned with the original (no encoder delay or padding left), up to the codec's error.
TEST(Mp3, DecodesToTheOriginalsLengthAndSamples) {
#ifdef _WIN32
  GTEST_SKIP() << "sox and lame, which make the tones, are the Linux build's";
#endif
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  lk::LogManager::getInstance().startUp(), rm.startUp();
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
