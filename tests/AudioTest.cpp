// Sounds and music through the resource manager, decoded by SFML (MP3 by
// the engine's own reader where SFML has none) and played through OpenAL
// Soft, whose wave output records what is heard.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <SFML/Audio.hpp>
#include <gtest/gtest.h>

#include "LogManager.h"
#include "Music.h"
#include "ResourceManager.h"
#include "Sound.h"
#include "TestSupport.h"
#include "WavFile.h"

namespace {

lk::ResourceManager& startResources() {
  lk::LogManager::getInstance().startUp();
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  rm.startUp();
  return rm;
}

// A sine tone in a 16-bit WAV file next to the working folder.
std::string makeWav(const std::string& name, unsigned int rate, unsigned int channels, double seconds,
                    double frequency = 440, double amplitude = 0.5) {
  const std::string path = "../" + name;
  lktest::writeWav16(path, rate, channels, lktest::sineSamples(rate, channels, seconds, frequency, amplitude));
  return path;
}

std::string makeMp3(const std::string& wav, const std::string& name, const std::string& lame_options) {
  const std::string path = "../" + name;
  const std::string command = "lame --quiet " + lame_options + " " + wav + " " + path;
  EXPECT_EQ(0, std::system(command.c_str())) << command;
  return path;
}

double seconds(const sf::SoundBuffer& buffer) {
  return double(buffer.getSampleCount()) / buffer.getChannelCount() / buffer.getSampleRate();
}

lktest::Recording recording() {
  lktest::Recording r;
  EXPECT_TRUE(lktest::readWav(lktest::audioRecordingPath(), r)) << "no recording at "
                                                                 << lktest::audioRecordingPath();
  return r;
}

double recordedSeconds() { return recording().seconds(); }

void sleepSeconds(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

int zeroCrossings(const std::vector<sf::Int16>& samples, std::size_t from, std::size_t to) {
  int crossings = 0;
  for (std::size_t i = from + 1; i < to; ++i)
    if ((samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
  return crossings;
}

}  // namespace

TEST(SoundLoading, WavAndMp3KeepTheirRateChannelsAndLength) {
  lk::ResourceManager& rm = startResources();
  const std::string mono = makeWav("mono.wav", 22050, 1, 0.5);
  const std::string stereo = makeWav("stereo.wav", 44100, 2, 1.0);
  const std::string mono_mp3 = makeMp3(mono, "mono.mp3", "-b 64");
  const std::string stereo_mp3 = makeMp3(stereo, "stereo.mp3", "-b 128");

  ASSERT_EQ(0, rm.loadSound(mono, "mono-wav"));
  ASSERT_EQ(0, rm.loadSound(stereo, "stereo-wav"));
  ASSERT_EQ(0, rm.loadSound(mono_mp3, "mono-mp3"));
  ASSERT_EQ(0, rm.loadSound(stereo_mp3, "stereo-mp3"));

  const sf::SoundBuffer& a = rm.getSound("mono-wav")->getBuffer();
  EXPECT_EQ(22050u, a.getSampleRate());
  EXPECT_EQ(1u, a.getChannelCount());
  EXPECT_EQ(11025u, a.getSampleCount());
  const sf::SoundBuffer& b = rm.getSound("stereo-wav")->getBuffer();
  EXPECT_EQ(44100u, b.getSampleRate());
  EXPECT_EQ(2u, b.getChannelCount());
  EXPECT_EQ(88200u, b.getSampleCount());

  // The encoder's delay and padding are taken off again (gapless decoding).
  const sf::SoundBuffer& c = rm.getSound("mono-mp3")->getBuffer();
  EXPECT_EQ(22050u, c.getSampleRate());
  EXPECT_EQ(1u, c.getChannelCount());
  EXPECT_NEAR(0.5, seconds(c), 0.03);
  const sf::SoundBuffer& d = rm.getSound("stereo-mp3")->getBuffer();
  EXPECT_EQ(44100u, d.getSampleRate());
  EXPECT_EQ(2u, d.getChannelCount());
  EXPECT_NEAR(1.0, seconds(d), 0.03);

  EXPECT_TRUE(lktest::logHas("Sound::loadSound(): sound successfully loaded from ../mono.mp3."));
  EXPECT_TRUE(lktest::logHas("Sound::loadSound(): sound successfully loaded from ../stereo.wav."));
}

TEST(SoundLoading, Mp3DecodesToTheToneThatWasEncoded) {
  lk::ResourceManager& rm = startResources();
  const std::string wav = makeWav("tone.wav", 44100, 1, 1.0, 440, 0.5);
  ASSERT_EQ(0, rm.loadSound(makeMp3(wav, "tone.mp3", "-b 128"), "tone"));
  const sf::SoundBuffer& buffer = rm.getSound("tone")->getBuffer();
  ASSERT_EQ(1u, buffer.getChannelCount());
  const std::vector<sf::Int16> decoded(buffer.getSamples(), buffer.getSamples() + buffer.getSampleCount());
  const std::vector<sf::Int16> original = lktest::sineSamples(44100, 1, 1.0, 440, 0.5);
  ASSERT_GE(decoded.size(), 40000u);

  // 440 Hz: 880 sign changes a second, 0.5 s in the middle gives 440.
  EXPECT_NEAR(440, zeroCrossings(decoded, 11025, 33075), 3);

  // Sample-aligned with the original (gapless: no encoder delay left in
  // front), up to the codec's error.
  auto snrDb = [&](int shift) {
    double error = 0;
    double signal = 0;
    for (std::size_t i = 2000; i < 40000; ++i) {
      const double diff = double(decoded[i + shift]) - original[i];
      error += diff * diff;
      signal += double(original[i]) * original[i];
    }
    return 10 * std::log10(signal / std::max(error, 1.0));
  };
  std::printf("mp3 decode: %zu samples, SNR %.1f dB against the original (%.1f dB one sample off)\n",
              decoded.size(), snrDb(0), snrDb(1));
  EXPECT_GT(snrDb(0), 20);
  EXPECT_GT(snrDb(0), snrDb(1) + 2);
  EXPECT_GT(snrDb(0), snrDb(-1) + 2);
}

TEST(SoundLoading, Mp3SeeksToTheSameSamplesItReads) {
  startResources();  // registers the MP3 reader where SFML needs one
  const std::string mp3 = makeMp3(makeWav("sweep.wav", 44100, 2, 1.0, 330, 0.4), "sweep.mp3", "-b 160");
  sf::InputSoundFile file;
  ASSERT_TRUE(file.openFromFile(mp3));
  ASSERT_EQ(2u, file.getChannelCount());
  std::vector<sf::Int16> all(static_cast<std::size_t>(file.getSampleCount()));
  ASSERT_EQ(all.size(), file.read(all.data(), all.size()));

  for (sf::Uint64 offset : {sf::Uint64(0), sf::Uint64(2 * 12345), sf::Uint64(2 * 30001)}) {
    file.seek(offset);
    std::vector<sf::Int16> part(4000);
    ASSERT_EQ(part.size(), file.read(part.data(), part.size())) << offset;
    int worst = 0;
    for (std::size_t i = 0; i < part.size(); ++i)
      worst = std::max(worst, std::abs(int(part[i]) - int(all[offset + i])));
    EXPECT_LE(worst, 64) << "after a seek to sample " << offset;
  }
}

TEST(SoundLoading, TaggedAndTruncatedMp3StillLoad) {
  lk::ResourceManager& rm = startResources();
  const std::string wav = makeWav("long.wav", 44100, 1, 1.0);
  const std::string tagged = makeMp3(wav, "tagged.mp3", "-b 96 --id3v2-only --tt Fowlshot --ta Lark");
  ASSERT_EQ("ID3", lktest::readFile(tagged).substr(0, 3));
  ASSERT_EQ(0, rm.loadSound(tagged, "tagged"));
  EXPECT_NEAR(1.0, seconds(rm.getSound("tagged")->getBuffer()), 0.03);

  // The first half of the file: what is there plays, the rest is gone.
  const std::string whole = lktest::readFile(makeMp3(wav, "whole.mp3", "-b 96"));
  lktest::writeFile("../half.mp3", whole.substr(0, whole.size() / 2));
  ASSERT_EQ(0, rm.loadSound("../half.mp3", "half"));
  const double half = seconds(rm.getSound("half")->getBuffer());
  EXPECT_GT(half, 0.3);
  EXPECT_LT(half, 0.7);
}

TEST(SoundLoading, FilesThatAreNotAudioFailWithBothMessages) {
  lk::ResourceManager& rm = startResources();
  ASSERT_EQ(0, rm.loadSound(makeWav("ok.wav", 44100, 1, 0.1), "ok"));
  lk::Sound* first = rm.getSound("ok");

  lktest::writeFile("../text.mp3", "this is not an mp3 file\n");
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise.push_back(char((i * 7919 + 13) & 0xFF));
  lktest::writeFile("../noise.wav", noise);
  for (const char* bad : {"../text.mp3", "../noise.wav", "../missing.wav"}) {
    EXPECT_EQ(-1, rm.loadSound(bad, "bad"));
    EXPECT_TRUE(lktest::logHas(std::string("Sound::loadSound(): ERROR: sound could not be loaded from ") + bad + "."));
    EXPECT_TRUE(lktest::logHas(std::string("ResourceManager::loadSound(): Unable to load sound from file ") + bad + "."));
  }
  EXPECT_EQ(nullptr, rm.getSound("bad"));

  // The failed loads did not move the count: the next one takes entry 1.
  ASSERT_EQ(0, rm.loadSound("../ok.wav", "second"));
  EXPECT_EQ(first + 1, rm.getSound("second"));
}

TEST(SoundTable, HoldsFiftyFirstLabelWinsAndEmptiesOnShutDown) {
  lk::ResourceManager& rm = startResources();
  const std::string wav = makeWav("click.wav", 22050, 1, 0.05);
  EXPECT_EQ(nullptr, rm.getSound("gun-shot"));
  ASSERT_EQ(0, rm.loadSound(wav, "twin"));
  lk::Sound* first = rm.getSound("twin");
  ASSERT_EQ(0, rm.loadSound(wav, "twin"));
  ASSERT_EQ(0, rm.loadSound(wav, ""));
  EXPECT_EQ(first, rm.getSound("twin"));
  EXPECT_EQ(first + 2, rm.getSound(""));
  EXPECT_EQ(nullptr, rm.getSound("Twin"));
  for (int i = 3; i < lk::MAX_SOUNDS; ++i) ASSERT_EQ(0, rm.loadSound(wav, "s" + std::to_string(i)));
  EXPECT_EQ(first + 49, rm.getSound("s49"));

  // Full: refused before the file is touched (it does not even exist).
  EXPECT_EQ(-1, rm.loadSound("../never.wav", "s50"));
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadSound(): sound array is full. ../never.wav could not be loaded."));
  EXPECT_FALSE(lktest::logHas("Sound::loadSound(): ERROR: sound could not be loaded from ../never.wav."));
  EXPECT_EQ(nullptr, rm.getSound("s50"));

  rm.shutDown();
  EXPECT_EQ(nullptr, rm.getSound("twin"));
  EXPECT_EQ(nullptr, rm.getSound("s49"));
  rm.startUp();
  ASSERT_EQ(0, rm.loadSound(wav, "again"));
  EXPECT_EQ(first, rm.getSound("again"));  // entry 0 is reused
}

TEST(MusicTable, HoldsFiftyRefusesTheEmptyLabelAndEmptiesOnShutDown) {
  lk::ResourceManager& rm = startResources();
  const std::string wav = makeWav("tune.wav", 22050, 1, 0.2);

  EXPECT_EQ(-1, rm.loadMusic(wav, ""));
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadMusic(): music could be loaded with label of \"\"."));
  EXPECT_FALSE(lktest::logHas("Music::loadMusic(): music successfully opened from ../tune.wav."));

  EXPECT_EQ(-1, rm.loadMusic("../missing.wav", "missing"));
  EXPECT_TRUE(lktest::logHas("Music::loadMusic(): ERROR: music could not be opened from ../missing.wav."));
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadMusic(): Unable to associate music object with file ../missing.wav."));
  EXPECT_EQ(nullptr, rm.getMusic("missing"));

  ASSERT_EQ(0, rm.loadMusic(wav, "tune"));
  EXPECT_TRUE(lktest::logHas("Music::loadMusic(): music successfully opened from ../tune.wav."));
  lk::Music* first = rm.getMusic("tune");
  ASSERT_NE(nullptr, first);
  EXPECT_EQ("tune", first->getLabel());
  ASSERT_EQ(0, rm.loadMusic(wav, "tune"));
  EXPECT_EQ(first, rm.getMusic("tune"));
  for (int i = 2; i < lk::MAX_MUSIC; ++i) ASSERT_EQ(0, rm.loadMusic(wav, "m" + std::to_string(i)));
  EXPECT_EQ(first + 49, rm.getMusic("m49"));

  EXPECT_EQ(-1, rm.loadMusic("../never.wav", "m50"));
  EXPECT_TRUE(lktest::logHas("ResourceManager::loadMusic(): music array is full. ../never.wav could not be loaded."));
  EXPECT_FALSE(lktest::logHas("Music::loadMusic(): ERROR: music could not be opened from ../never.wav."));

  rm.shutDown();
  EXPECT_EQ(nullptr, rm.getMusic("tune"));
  EXPECT_EQ(nullptr, rm.getMusic("m2"));
}

TEST(AudioPlayback, SoundIsHeardOnceThenFallsSilent) {
  lk::ResourceManager& rm = startResources();
  ASSERT_EQ(0, rm.loadSound(makeWav("beep.wav", 44100, 1, 0.4, 440, 0.5), "beep"));
  sleepSeconds(0.2);
  const double start = recordedSeconds();
  rm.getSound("beep")->play(false);
  sleepSeconds(1.2);
  const lktest::Recording r = recording();

  const double before = r.rmsSeconds(0, start);
  const double during = r.rmsSeconds(start, start + 0.5);
  const double after = r.rmsSeconds(start + 0.75, r.seconds());
  std::printf("sound: rms before %.5f, during %.4f, after %.5f (recording %.2f s, %u Hz)\n", before, during,
              after, r.seconds(), r.sample_rate);
  EXPECT_LT(before, 0.001);
  EXPECT_GT(during, 0.1);
  EXPECT_LT(after, 0.001);
}

namespace {

// Plays the music looping for well past its length, then stops it.
void checkLoopingAndStop(lk::Music* music, double length) {
  ASSERT_NE(nullptr, music);
  sleepSeconds(0.2);
  const double start = recordedSeconds();
  music->play(true);
  sleepSeconds(length * 4 + 0.5);
  const double playing_until = recordedSeconds();
  music->stop();
  const double stopped_at = recordedSeconds();
  sleepSeconds(0.8);
  const lktest::Recording r = recording();

  // From two lengths on, a music played once would be over.
  const double looping = r.rmsSeconds(start + 2 * length + 0.1, playing_until);
  const double after_stop = r.rmsSeconds(stopped_at + 0.2, r.seconds());
  std::printf("music (%.2f s): rms while looping %.4f, after stop %.5f\n", length, looping, after_stop);
  EXPECT_GT(playing_until - (start + 2 * length + 0.1), 0.5);
  EXPECT_GT(looping, 0.1);
  EXPECT_LT(after_stop, 0.001);
}

}  // namespace

TEST(AudioPlayback, LoopingWavMusicPlaysPastItsLengthUntilStopped) {
  lk::ResourceManager& rm = startResources();
  ASSERT_EQ(0, rm.loadMusic(makeWav("loop.wav", 44100, 2, 0.3, 523, 0.5), "loop"));
  checkLoopingAndStop(rm.getMusic("loop"), 0.3);
}

TEST(AudioPlayback, LoopingMp3MusicPlaysPastItsLengthUntilStopped) {
  lk::ResourceManager& rm = startResources();
  const std::string mp3 = makeMp3(makeWav("loop.wav", 44100, 1, 0.3, 523, 0.5), "loop.mp3", "-b 96");
  ASSERT_EQ(0, rm.loadMusic(mp3, "loop"));
  checkLoopingAndStop(rm.getMusic("loop"), 0.3);
}

// The start screen stops its music when a game starts and a later start
// screen plays the same music again.
TEST(AudioPlayback, StoppedMusicPlaysAgain) {
  lk::ResourceManager& rm = startResources();
  ASSERT_EQ(0, rm.loadMusic(makeWav("again.wav", 44100, 1, 0.5, 392, 0.5), "again"));
  lk::Music* music = rm.getMusic("again");
  music->play(true);
  sleepSeconds(0.4);
  music->stop();
  sleepSeconds(0.5);
  const double second_start = recordedSeconds();
  music->play(true);
  sleepSeconds(1.0);
  const double playing_until = recordedSeconds();
  music->stop();
  const lktest::Recording r = recording();
  const double again = r.rmsSeconds(second_start + 0.2, playing_until);
  std::printf("music played again: rms %.4f\n", again);
  EXPECT_GT(again, 0.1);
}

TEST(AudioPlayback, Mp3SoundIsHeard) {
  lk::ResourceManager& rm = startResources();
  const std::string mp3 = makeMp3(makeWav("round.wav", 44100, 2, 0.5, 660, 0.5), "round.mp3", "-b 128");
  ASSERT_EQ(0, rm.loadSound(mp3, "new-round-sound"));
  sleepSeconds(0.2);
  const double start = recordedSeconds();
  rm.getSound("new-round-sound")->play(false);
  sleepSeconds(1.2);
  const lktest::Recording r = recording();
  const double during = r.rmsSeconds(start, start + 0.6);
  const double after = r.rmsSeconds(start + 0.85, r.seconds());
  std::printf("mp3 sound: rms during %.4f, after %.5f\n", during, after);
  EXPECT_GT(during, 0.1);
  EXPECT_LT(after, 0.001);
}

// With no audio device at all, loading, playing and stopping go on quietly.
// Runs in a fresh child process: OpenAL reads its configuration once, when
// the first device is opened.
TEST(AudioWithoutDevice, LoadPlayAndStopDoNotCrash) {
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  lktest::writeFile("../no-device.conf", "[general]\ndrivers=none\n");
  setenv("ALSOFT_CONF", (lktest::parentDir() + "/no-device.conf").c_str(), 1);
  EXPECT_EXIT(
      {
        std::ostringstream sfml_errors;
        sf::err().rdbuf(sfml_errors.rdbuf());
        lk::ResourceManager& rm = startResources();
        const std::string wav = makeWav("quiet.wav", 22050, 1, 0.2);
        const std::string mp3 = makeMp3(wav, "quiet.mp3", "-b 64");
        int failures = 0;
        failures += rm.loadSound(wav, "wav") != 0;
        failures += rm.loadSound(mp3, "mp3") != 0;
        failures += rm.loadMusic(wav, "music") != 0;
        if (failures == 0) {
          rm.getSound("wav")->play(false);
          rm.getSound("mp3")->play(false);
          rm.getMusic("music")->play(true);
          sleepSeconds(0.3);
          rm.getMusic("music")->stop();
          rm.getSound("wav")->stop();
        }
        const bool no_device = sfml_errors.str().find("Failed to open the audio device") != std::string::npos;
        std::fprintf(stderr, "loads failed: %d, device missing: %d\n", failures, int(no_device));
        std::error_code ignored;
        std::filesystem::remove_all(lktest::parentDir(), ignored);
        std::exit(failures == 0 && no_device ? 0 : 3);
      },
      testing::ExitedWithCode(0), "loads failed: 0, device missing: 1");
}
