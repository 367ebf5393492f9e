#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

bool onlyListing(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return true;
  return false;
}

// OpenAL Soft's "wave" output records what is played, so audio is real and
// checkable on a machine without a sound card.
void recordAudioToFile(const std::string& dir) {
  if (std::getenv("LK_TEST_KEEP_AUDIO_CONF") != nullptr) return;
  const std::string conf = dir + "/alsoft.conf";
  lktest::writeFile(conf, "[general]\ndrivers=wave\n\n[wave]\nfile=" + dir + "/audio.wav\n");
  setenv("ALSOFT_CONF", conf.c_str(), 1);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (onlyListing(argc, argv)) return RUN_ALL_TESTS();

  char pattern[] = "/tmp/lk-test-XXXXXX";
  const char* dir = mkdtemp(pattern);
  if (dir == nullptr) return 2;
  const std::string parent = dir;
  std::filesystem::create_directory(parent + "/run");
  if (chdir((parent + "/run").c_str()) != 0) return 2;
  recordAudioToFile(parent);

  const int result = RUN_ALL_TESTS();
  if (result == 0 && std::getenv("LK_TEST_KEEP_DIRS") == nullptr) {
    std::error_code ignored;
    std::filesystem::remove_all(parent, ignored);
  }
  return result;
}
