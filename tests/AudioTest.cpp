// Sounds and music through the resource manager, decoded by SFML (MP3 by
// the engine's own reader) and played through OpenAL Soft, whose wave output
// records what is heard.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include <SFML/Audio.hpp>
#include <gtest/gtest.h>

#include "AudioAnalysis.h"
#include "LogManager.h"
#include "Music.h"
#include "ResourceManager.h"
#include "Sound.h"
#include "TestSupport.h"

namespace {

using lktest::e2e::MonoAudio;

lk::ResourceManager& startResources() {
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager::getInstance().startUp();
  return lk::ResourceManager::getInstance();
}

// Runs the command and gives the file it makes.
std::string made(const std::string& command, const std::string& file) {
  EXPECT_EQ(0, std::system((command + " > /dev/null 2>&1").c_str())) << command;
  return file;
}

// A sine tone at half the full scale in a 16-bit WAV file, and that as MP3.
std::string wav(const std::string& name, int rate, int channels, double seconds, int hz = 440) {
  return made("sox -n -b 16 -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " ../" + name +
                  " synth " + std::to_string(seconds) + " sine " + std::to_string(hz) + " vol 0.5",
              "../" + name);
}
std::string mp3(const std::string& wav_file, const std::string& name, const std::string& options = "-b 128") {
  return made("lame --quiet " + options + " " + wav_file + " ../" + name, "../" + name);
}

double seconds(const sf::SoundBuffer& b) { return double(b.getSampleCount()) / b.getChannelCount() / b.getSampleRate(); }

MonoAudio recording() {
  MonoAudio r;
  EXPECT_TRUE(lktest::e2e::readRecording(lktest::audioRecordingPath(), r)) << lktest::audioRecordingPath();
  return r;
}
double recordedSeconds() { return lktest::e2e::recordedSeconds(lktest::audioRecordingPath()); }
void sleepSeconds(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

}  // namespace

TEST(SoundLoading, Mp3KeepsItsRateChannelsLengthAndSamples) {
  lk::ResourceManager& rm = startResources();
  const struct {
    unsigned int rate, channels;
    double seconds;
    const char* options;
  } cases[] = {{44100, 1, 1.0, "-b 128"}, {22050, 2, 0.5, "-b 96"}};
  for (const auto& c : cases) {
    const std::string name = std::to_string(c.rate) + "-" + std::to_string(c.channels);
    const std::string original = wav(name + ".wav", int(c.rate), int(c.channels), c.seconds);
    ASSERT_EQ(0, rm.loadSound(original, name + "-wav"));
    ASSERT_EQ(0, rm.loadSound(mp3(original, name + ".mp3", c.options), name));
    EXPECT_TRUE(lktest::logHas("Sound::loadSound(): sound successfully loaded from ../" + name + ".mp3."));
    const sf::SoundBuffer& decoded = *rm.getSound(name)->getBuffer();
    const sf::SoundBuffer& source = *rm.getSound(name + "-wav")->getBuffer();
    EXPECT_EQ(c.rate, decoded.getSampleRate());
    ASSERT_EQ(c.channels, decoded.getChannelCount());
    // The encoder's delay and padding are taken off again (gapless decoding).
    EXPECT_NEAR(c.seconds, seconds(decoded), 0.03) << name;

    // Sample-aligned with the original, up to the codec's error.
    auto snrDb = [&](int shift) {
      double error = 0, signal = 0;
      const std::size_t edge = 2000 * c.channels;
      for (std::size_t i = edge; i + edge < source.getSampleCount(); ++i) {
        const double diff = double(decoded.getSamples()[i + shift]) - source.getSamples()[i];
        error += diff * diff;
        signal += double(source.getSamples()[i]) * source.getSamples()[i];
      }
      return 10 * std::log10(signal / std::max(error, 1.0));
    };
    const int frame = int(c.channels);
    std::printf("%s: SNR %.1f dB, %.1f dB a frame off\n", name.c_str(), snrDb(0), snrDb(frame));
    EXPECT_GT(snrDb(0), 20) << name;
    EXPECT_GT(snrDb(0), snrDb(frame) + 2) << name;
    EXPECT_GT(snrDb(0), snrDb(-frame) + 2) << name;
  }
}

TEST(SoundLoading, OddFilesLoadWhatTheyHoldOrFailWithBothMessages) {
  lk::ResourceManager& rm = startResources();
  const std::string original = wav("long.wav", 44100, 1, 1.0);
  const std::string tagged = mp3(original, "tagged.mp3", "-b 96 --id3v2-only --tt Fowlshot --ta Lark");
  ASSERT_EQ("ID3", lktest::readFile(tagged).substr(0, 3));
  ASSERT_EQ(0, rm.loadSound(tagged, "tagged"));
  EXPECT_NEAR(1.0, seconds(*rm.getSound("tagged")->getBuffer()), 0.03);
  // The first half of a file, as a failed copy leaves it, is refused: its
  // header promises more than it holds.
  const std::string whole = lktest::readFile(mp3(original, "whole.mp3", "-b 96"));
  lktest::writeFile("../half.mp3", whole.substr(0, whole.size() / 2));

  lktest::writeFile("../text.mp3", "this is not an mp3 file\n");
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise.push_back(char((i * 7919 + 13) & 0xFF));
  lktest::writeFile("../noise.wav", noise);
  for (const std::string bad : {"../half.mp3", "../text.mp3", "../noise.wav", "../missing.wav"}) {
    EXPECT_EQ(-1, rm.loadSound(bad, "bad"));
    EXPECT_TRUE(lktest::logHas("Sound::loadSound(): ERROR: sound could not be loaded from " + bad + "."));
    EXPECT_TRUE(lktest::logHas("ResourceManager::loadSound(): Unable to load sound from file " + bad + "."));
  }
  EXPECT_EQ(nullptr, rm.getSound("bad"));
  // The failed loads did not move the count.
  ASSERT_EQ(0, rm.loadSound(original, "next"));
  EXPECT_EQ(rm.getSound("tagged") + 1, rm.getSound("next"));
}

// Both tables hold fifty, find the first of a label, refuse a further load
// before its file is touched, and forget everything on shut-down.
TEST(AudioTables, HoldFiftyFirstLabelWinsAndEmptyOnShutDown) {
  lk::ResourceManager& rm = startResources();
  const std::string tune = wav("tune.wav", 22050, 1, 0.05);
  // Only music refuses an empty label, without opening the file.
  EXPECT_EQ(-1, rm.loadMusic(tune, ""));
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadMusic(): music could be loaded with label of \"\"."));
  EXPECT_FALSE(lktest::logHas("Music::loadMusic(): music successfully opened from ../tune.wav."));
  EXPECT_EQ(-1, rm.loadMusic("../missing.wav", "missing"));
  EXPECT_TRUE(lktest::logHas("Music::loadMusic(): ERROR: music could not be opened from ../missing.wav."));
  EXPECT_TRUE(
      lktest::logHas("ResourceManager::loadMusic(): Unable to associate music object with file ../missing.wav."));

  for (int i = 0; i < 50; ++i) {
    const std::string label = i < 2 ? "twin" : "x" + std::to_string(i);
    ASSERT_EQ(0, rm.loadSound(tune, i == 2 ? "" : label));
    ASSERT_EQ(0, rm.loadMusic(tune, label));
  }
  EXPECT_TRUE(lktest::logHas("Music::loadMusic(): music successfully opened from ../tune.wav."));
  lk::Sound* sound = rm.getSound("twin");
  lk::Music* music = rm.getMusic("twin");
  EXPECT_EQ(sound + 2, rm.getSound(""));
  EXPECT_EQ(sound + 49, rm.getSound("x49"));
  EXPECT_EQ(music + 49, rm.getMusic("x49"));
  EXPECT_EQ(nullptr, rm.getSound("Twin"));
  EXPECT_EQ(-1, rm.loadSound("../never.wav", "x50"));
  EXPECT_EQ(-1, rm.loadMusic("../never.wav", "x50"));
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSound(): sound array is full. ../never.wav could not be loaded."));
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadMusic(): music array is full. ../never.wav could not be loaded."));
  EXPECT_FALSE(lktest::logHas("Sound::loadSound(): ERROR: sound could not be loaded from ../never.wav."));
  EXPECT_FALSE(lktest::logHas("Music::loadMusic(): ERROR: music could not be opened from ../never.wav."));

  rm.shutDown();
  EXPECT_EQ(nullptr, rm.getSound("twin"));
  EXPECT_EQ(nullptr, rm.getMusic("twin"));
}

TEST(AudioPlayback, Mp3SoundIsHeardOnceThenFallsSilent) {
  lk::ResourceManager& rm = startResources();
  ASSERT_EQ(0, rm.loadSound(mp3(wav("round.wav", 44100, 2, 0.5, 660), "round.mp3"), "new-round-sound"));
  sleepSeconds(0.2);
  const double start = recordedSeconds();
  rm.getSound("new-round-sound")->play(false);
  sleepSeconds(1.2);
  const MonoAudio r = recording();
  const double before = r.rms(0, start), during = r.rms(start, start + 0.6), after = r.rms(start + 0.85, 1e9);
  std::printf("sound: rms before %.5f, during %.4f, after %.5f\n", before, during, after);
  EXPECT_LT(before, 0.001);
  EXPECT_GT(during, 0.1);
  EXPECT_LT(after, 0.001);
}

// The start screen stops its music when a game starts, and a later start
// screen plays the same music again.
TEST(AudioPlayback, LoopingMusicPlaysPastItsLengthUntilStoppedAndPlaysAgain) {
  lk::ResourceManager& rm = startResources();
  const double length = 0.3;
  const std::string loop = wav("loop.wav", 44100, 2, length, 523);
  ASSERT_EQ(0, rm.loadMusic(loop, "wav"));
  ASSERT_EQ(0, rm.loadMusic(mp3(loop, "loop.mp3", "-b 96"), "mp3"));
  for (const char* label : {"wav", "mp3"}) {
    lk::Music* music = rm.getMusic(label);
    sleepSeconds(0.2);
    const double start = recordedSeconds();
    music->play(true);
    sleepSeconds(length * 4 + 0.5);
    const double playing_until = recordedSeconds();
    music->stop();
    const double stopped_at = recordedSeconds();
    sleepSeconds(0.8);
    const double again = recordedSeconds();
    music->play(true);
    sleepSeconds(1.0);
    const double again_until = recordedSeconds();
    music->stop();
    const MonoAudio r = recording();

    // From two lengths on, a music played once would be over.
    const double looping = r.rms(start + 2 * length + 0.1, playing_until);
    const double after_stop = r.rms(stopped_at + 0.2, again);
    const double replayed = r.rms(again + 0.2, again_until);
    std::printf("%s music: rms looping %.4f, after stop %.5f, again %.4f\n", label, looping, after_stop, replayed);
    EXPECT_GT(playing_until - (start + 2 * length + 0.1), 0.5) << label;
    EXPECT_GT(looping, 0.1) << label;
    EXPECT_LT(after_stop, 0.001) << label;
    EXPECT_GT(replayed, 0.1) << label;
  }
}
