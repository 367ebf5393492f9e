// Any bytes as a sprite file: no crash, hang or memory exhaustion; what it makes draws and
// animates without reading past a frame's text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "Animation.h"
#include "Sprite.h"
#include "SpriteFileReader.h"
#include "Vector.h"

static std::string g_sprite_path;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The loader echoes every line it reads; libFuzzer reports on stderr.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  char pattern[] = "/tmp/lk-sprite-fuzz-XXXXXX";
  const int fd = mkstemp(pattern);
  if (fd < 0) std::abort();
  close(fd);
  g_sprite_path = pattern;
  std::atexit([] { std::remove(g_sprite_path.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(g_sprite_path.c_str(), "wb");
  if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size)) std::abort();
  std::fclose(file);
  lk::Sprite* sprite = lk::SpriteFileReader(g_sprite_path).read();
  if (sprite != nullptr) {
    const int count = sprite->getFrameCount();
    if (count != sprite->getMaxFrameCount()) std::abort();  // every frame it announced
    // Without a window a cell is refused after its character is read. The first frames, the last
    // and those just outside: the game draws one frame a step, ten thousand would only cost time.
    for (int i : {-1, 0, 1, count - 1, count}) sprite->draw(i, lk::Vector(3.5f, -2.0f));
    lk::Animation animation;
    animation.setSprite(sprite);
    for (int i = 0; i < 4; ++i) animation.draw(lk::Vector(0, 0));
    if (count > 0 && (animation.getIndex() < 0 || animation.getIndex() >= count)) std::abort();
  }
  delete sprite;
  return 0;
}
