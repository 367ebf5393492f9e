#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

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
#ifdef _WIN32
  _putenv_s("ALSOFT_CONF", conf.c_str());
#else
  setenv("ALSOFT_CONF", conf.c_str(), 1);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (onlyListing(argc, argv)) return RUN_ALL_TESTS();

  // A fresh folder of its own under the system's temporary folder.
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path made = fs::temp_directory_path() / "lk-test-";
  std::random_device random;
  while (!fs::create_directory(made.replace_filename("lk-test-" + std::to_string(random())), error))
    if (error) return 2;
  const std::string parent = made.string();
  fs::create_directory(made / "run", error);
  fs::current_path(made / "run", error);
  if (error) return 2;
  recordAudioToFile(parent);

  const int result = RUN_ALL_TESTS();
  if (result == 0 && std::getenv("LK_TEST_KEEP_DIRS") == nullptr) {
    fs::current_path(made, error);
    fs::remove_all(made, error);
  }
  return result;
}
