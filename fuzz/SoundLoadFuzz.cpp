// Any bytes loaded by loadSound and loadMusic through SFML's and the MP3 reader: no crash, hang
// or gigabyte, and a load either registers its label or fails.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <SFML/System/Err.hpp>
#include <unistd.h>

#include "ResourceManager.h"

static std::string g_path;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sf::err().rdbuf(nullptr);
  char pattern[] = "/tmp/lk-sound-fuzz-XXXXXX";
  const int fd = mkstemp(pattern);
  if (fd < 0) std::abort();
  close(fd);
  g_path = pattern;
  std::atexit([] { std::remove(g_path.c_str()); });
  setenv("ALSOFT_DRIVERS", "null", 0);  // OpenAL's silent device
  lk::ResourceManager::getInstance().startUp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(g_path.c_str(), "wb");
  if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size)) std::abort();
  std::fclose(file);
  lk::ResourceManager& rm = lk::ResourceManager::getInstance();
  if ((rm.loadSound(g_path, "fuzz") == 0) != (rm.getSound("fuzz") != nullptr)) std::abort();
  if ((rm.loadMusic(g_path, "fuzz") == 0) != (rm.getMusic("fuzz") != nullptr)) std::abort();
  rm.shutDown();  // empty tables for the next input, without asking for a device again
  return 0;
}
