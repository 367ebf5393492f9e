// The real program, on an X server of its own, played with xdotool and judged by screenshots,
// OpenAL Soft's "wave" recording and the log. LK_PROGRAM: another build ("wine /x/bin/fowlshot.exe").
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Support.h"

#include <X11/Xlib.h>  // last: its macros would clash with names above

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

const float CW = 1024.f / 120, CH = 768.f / 36;  // a cell's pixels
const std::string STEP = "GameManager::run(): (step #", MISSED = "Duck::out(): duck missed",
                  SIZE_LINE = "DisplayManager::startUp(): Characters are drawn at size ";

// Standard output of a shell command; "" when it fails or takes over `seconds`.
std::string capture(const std::string& command, int seconds = 20) {
  std::string out;
  FILE* p = popen(("timeout -s KILL " + std::to_string(seconds) + " " + command + " 2>/dev/null").c_str(), "r");
  char buffer[65536];
  for (std::size_t n; p != nullptr && (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
  return p != nullptr && pclose(p) == 0 ? out : "";
}

bool waitFor(const std::function<bool()>& condition, int timeout_ms, int poll_ms = 20) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (; !condition(); std::this_thread::sleep_for(std::chrono::milliseconds(poll_ms)))
    if (std::chrono::steady_clock::now() > end) return false;
  return true;
}

bool windowsProgram() {  // under Wine
  const char* command = std::getenv("LK_PROGRAM");
  return command != nullptr && std::string(command).find(".exe") != std::string::npos;
}

class Game {
 public:
  // `missing` asset files are left out of the copy; `prepare` may change it.
  explicit Game(Lines missing = {}, std::function<void(const std::string&)> prepare = nullptr) {
    const char* command = std::getenv("LK_PROGRAM");
    std::istringstream command_words(command != nullptr ? command : lkt::gameDir() + "/bin/fowlshot");
    Lines argv{std::istream_iterator<std::string>(command_words), {}};
    auto program = std::find_if(argv.begin(), argv.end(),
                                [](const std::string& w) { return fs::is_regular_file(w) && fs::path(w).parent_path().filename() == "bin"; });
    if (program == argv.end()) return;
    fs::remove_all(dir), fs::create_directories(dir);
    for (const char* part : {"bin", "sprites", "sounds", "lk-font.ttf"})
      fs::copy(fs::path(*program).parent_path().parent_path() / part, dir + "/" + part, fs::copy_options::recursive);
    for (const std::string& file : missing) fs::remove(dir + "/" + file);
    lkt::writeFile(dir + "/alsoft.conf", "[general]\ndrivers=wave\n[wave]\nfile=" + dir + "/audio.wav\n");
    if (prepare) prepare(dir);
    *program = dir + "/bin/" + fs::path(*program).filename().string();
    setenv("ALSOFT_CONF", (dir + "/alsoft.conf").c_str(), 1);
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(&a[0]);
    args.push_back(nullptr);
    const std::string bin = dir + "/bin", out = dir + "/stdout.txt", err = dir + "/stderr.txt";
    const pid_t parent = getpid();
    if ((m_pid = fork()) == 0) {  // only async-signal-safe calls here; the game dies with the test
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      const int fds[3] = {open("/dev/null", O_RDONLY), open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
                          open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)};
      for (int fd = 0; fd < 3; ++fd)
        if (getppid() != parent || fds[fd] < 0 || dup2(fds[fd], fd) < 0) _exit(127);
      if (chdir(bin.c_str()) == 0) execvp(args[0], args.data());
      _exit(127);
    }
  }
  ~Game() { if (exitStatus(0) == -1 && kill(m_pid, SIGKILL) == 0) exitStatus(5000); }
  // The window, focused, at its second step (under Wine it may take a minute).
  bool ready() {
    m_window.clear();
    std::istringstream(capture("xdotool search --sync --name '^Fowlshot Lark$'", 180)) >> m_window;
    return !m_window.empty() && lkt::run("xdotool windowfocus --sync " + m_window) && waitStep(1);
  }
  int exitStatus(int timeout_ms) {  // -1 while running, -2 after a signal
    int status = 0;
    if (m_pid > 0 && m_status == -1 && waitFor([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, timeout_ms, 5))
      m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    return m_status;
  }
  Lines log() const { return lkt::logLines(dir + "/lark.log"); }
  int count(const std::string& line) const { return lkt::logCount(line, dir + "/lark.log"); }
  int lastStep() const {  // of the last whole "(step #N)" line; only the log's tail is read
    std::ifstream in(dir + "/lark.log", std::ios::binary | std::ios::ate);
    in.seekg(std::max<std::streamoff>(0, std::streamoff(in.tellg()) - 4096));
    std::string tail((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    tail.erase(tail.rfind('\n') + 1);
    const std::size_t at = tail.rfind(STEP);
    return at == std::string::npos ? -1 : std::atoi(tail.c_str() + at + STEP.size());
  }
  // For each log line equal to `line`, the step whose iteration wrote it.
  std::vector<int> stepsOf(const std::string& line) const {
    std::vector<int> steps;
    int last = -1;
    for (const std::string& l : log()) {
      if (l.rfind(STEP, 0) == 0) last = std::atoi(l.c_str() + STEP.size());
      if (l == line) steps.push_back(last + 1);
    }
    return steps;
  }
  bool waitStep(int step) { return waitFor([&] { return lastStep() >= step; }, 60000, 5); }
  bool waitCount(const std::string& line, int n) { return waitFor([&] { return count(line) >= n; }, 60000, 50); }
  bool key(const std::string& keysym) { return lkt::run("xdotool key " + keysym); }
  bool click(float column, float row) {
    return lkt::run("xdotool mousemove --sync --window " + m_window + " " + std::to_string(int(column * CW)) + " " +
                    std::to_string(int(row * CH)) + " click 1");
  }
  bool closeRequest() {  // as a window manager's close button
    Display* p_display = XOpenDisplay(nullptr);
    if (p_display == nullptr || m_window.empty()) return false;
    XEvent event{};
    event.xclient.type = ClientMessage, event.xclient.window = std::stoul(m_window), event.xclient.format = 32;
    event.xclient.message_type = XInternAtom(p_display, "WM_PROTOCOLS", False);
    event.xclient.data.l[0] = long(XInternAtom(p_display, "WM_DELETE_WINDOW", False));
    const bool sent = XSendEvent(p_display, event.xclient.window, False, NoEventMask, &event) != 0;
    XCloseDisplay(p_display);
    return sent;
  }
  bool screenshot(sf::Image& image) {
    const std::string bmp = capture("import -window " + m_window + " -depth 8 bmp3:-");
    return !bmp.empty() && image.loadFromMemory(bmp.data(), bmp.size());
  }
  double recorded() const {  // seconds of audio so far
    std::string head(128, '\0');
    std::ifstream(dir + "/audio.wav", std::ios::binary).read(&head[0], 128);
    const std::size_t data = head.find("data");
    const double per_second = double(*reinterpret_cast<const std::uint32_t*>(&head[28]));
    return data == std::string::npos ? -1 : double(fs::file_size(dir + "/audio.wav") - data - 8) / per_second;
  }
  std::string output() const {  // with Windows' CR LF line ends as LF
    return std::regex_replace(lkt::readFile(dir + "/stdout.txt"), std::regex("\r"), "");
  }
  std::string errors() const { return lkt::readFile(dir + "/stderr.txt"); }
  const std::string dir = fs::current_path().parent_path().string() + "/game";

 private:
  std::string m_window;
  pid_t m_pid = -1;
  int m_status = -1;
};

// The pixels whose centres fall in the background rectangles of the cells (c0, r0) to (c1, r1).
sf::IntRect cells(float c0, float r0, float c1, float r1) {
  const auto edge = [](float at) { return int(std::ceil(at - 0.5f)); };
  const int x0 = edge(CW * (c0 - 0.1f)), y0 = edge(CH * (r0 - 0.2f));
  return {x0, y0, edge(CW * (c1 + 0.9f)) - x0, edge(CH * (r1 + 0.8f)) - y0};
}

sf::Uint8 bright(sf::Color c) { return std::max(c.r, std::max(c.g, c.b)); }

std::string colorName(long r, long g, long b) {
  static const char* const names[8] = {"black", "blue", "green", "cyan", "red", "magenta", "yellow", "white"};
  const long top = std::max(r, std::max(g, b));
  return names[(r * 2 > top ? 4 : 0) + (g * 2 > top ? 2 : 0) + (b * 2 > top ? 1 : 0)];
}

std::string inkColor(const sf::Image& shot, sf::IntRect area) {
  long r = 0, g = 0, b = 0;
  lkt::count(shot, area, [&](sf::Color c) { return bright(c) >= 160 && (r += c.r, g += c.g, b += c.b); });
  return r + g + b == 0 ? "black" : colorName(r, g, b);
}

int colorCount(const sf::Image& shot, sf::IntRect area, const std::string& color) {
  return lkt::count(shot, area, [&](sf::Color c) { return bright(c) >= 160 && colorName(c.r, c.g, c.b) == color; });
}

// Reads cells against references drawn here with SFML, apart from the engine's code, at the
// game's logged size; for Windows laid as SFML 2.6 lays bold glyphs (a pixel larger, higher).
class Screen {
 public:
  Screen() { m_font.loadFromFile(lkt::gameDir() + "/lk-font.ttf"), m_target.create(W, H); }
  void prepare(unsigned size) {
    m_size = size, m_refs.clear();
    for (char c : std::string(" -|:0123456789DucksMiedROUNPointAHTE=")) same(sf::Image(), 0, 0, c);
  }
  // The text expected from `col` on, '?' where a cell does not show its character.
  std::string read(const sf::Image& shot, int row, int col, std::string text) {
    for (std::size_t i = 0; i < text.size(); ++i)
      if (!same(shot, col + int(i), row, text[i])) text[i] = '?';
    return text;
  }
  // " label value " centred on the column of row 1, boxed in '-' and '|', in its colour.
  bool hud(const sf::Image& shot, const std::string& label, int value, int centre, const std::string& color) {
    const std::string text = " " + label + " " + std::to_string(value) + " ", rule(text.size() + 2, '-');
    const int first = centre - int(text.size()) / 2, last = first + int(text.size()) - 1;
    return read(shot, 0, first - 1, rule) == rule && read(shot, 1, first - 1, "|" + text + "|") == "|" + text + "|" &&
           read(shot, 2, first - 1, rule) == rule && inkColor(shot, cells(float(first), 1, float(last), 1)) == color &&
           inkColor(shot, cells(float(first - 1), 0, float(last + 1), 0)) == color;
  }

 private:
  // The margin keeps row and column 0 whole; the placement repeats every 3 rows (64 pixels).
  static const int MARGIN = 8, W = 1024 + 2 * MARGIN, H = 64 + 2 * MARGIN;
  long distance(const sf::Image& shot, int col, int row, char c) {
    std::vector<sf::Uint8>& ref = m_refs[c];
    if (ref.empty()) {
      m_target.clear(sf::Color::Black);
      sf::RectangleShape background(sf::Vector2f(CW, CH));
      background.setFillColor(sf::Color::Black);
      sf::Text text(sf::String(std::string(1, c)), m_font, m_size);
      text.setStyle(sf::Text::Bold);
      const sf::Glyph& glyph = m_font.getGlyph(sf::Uint32(c), m_size, true);
      const sf::FloatRect t(glyph.textureRect);  // with the padding of a texel round it, as sf::Text draws it
      const float u1 = t.left - 1, v1 = t.top - 1, u2 = t.left + t.width + 1, v2 = t.top + t.height + 1;
      sf::RenderStates states(&m_font.getTexture(m_size));
      for (int k = 0; k < 360; ++k) {
        const float x = CW * float(k % 120) + MARGIN, y = CH * float(k / 120) + MARGIN;
        background.setPosition(x - CW / 10, y - CH / 5), text.setPosition(x, y);
        m_target.draw(background);
        if (!windowsProgram()) {
          m_target.draw(text);
        } else if (c != ' ') {
          const float l = x + glyph.bounds.left - 1, top = y + float(m_size) + glyph.bounds.top - 2;
          const float r = l + t.width + 2, b = top + t.height + 2;
          const sf::Vertex quad[6] = {{{l, top}, sf::Color::White, {u1, v1}}, {{r, top}, sf::Color::White, {u2, v1}},
                                      {{l, b}, sf::Color::White, {u1, v2}},   {{l, b}, sf::Color::White, {u1, v2}},
                                      {{r, top}, sf::Color::White, {u2, v1}}, {{r, b}, sf::Color::White, {u2, v2}}};
          m_target.draw(quad, 6, sf::Triangles, states);
        }
      }
      m_target.display();
      const sf::Image image = m_target.getTexture().copyToImage();
      for (unsigned i = 0; i < W * H; ++i) ref.push_back(bright(image.getPixel(i % W, i / W)));
    }
    const sf::IntRect area = cells(float(col), float(row), float(col), float(row));
    long total = 0, n = 0;
    for (int y = std::max(area.top, 0); y < std::min(area.top + area.height, int(shot.getSize().y)); ++y)
      for (int x = std::max(area.left, 0); x < std::min(area.left + area.width, int(shot.getSize().x)); ++x, ++n)
        total += std::abs(ref[std::size_t(y - row / 3 * 64 + MARGIN) * W + std::size_t(x + MARGIN)] - bright(shot.getPixel(unsigned(x), unsigned(y))));
    return n > 0 ? total / n : LONG_MAX;
  }
  bool same(const sf::Image& shot, int col, int row, char c) { return distance(shot, col, row, c) < 12; }
  sf::Font m_font;
  sf::RenderTexture m_target;
  unsigned m_size = 15;
  std::map<char, std::vector<sf::Uint8>> m_refs;
};

// Where the ducks fly: the game never seeds rand(), so this replays glibc's (or the Windows
// runtime's) generator and the flight rules.
struct DuckPath {
  std::vector<float> x, y;  // the centre after the k-th move (k = 0: the start), in screen cells
  int exit_move = -1;       // the move that takes the box out of the world
};

class Ducks {
 public:
  Ducks() : m_windows(windowsProgram()) {
    m_r.push_back(1);  // glibc's seed 1: 34 words of state, then additive feedback
    for (int i = 1; i < 31; ++i) m_r.push_back(int(16807LL * m_r.back() % 2147483647));
    for (int i = 31; i < 34; ++i) m_r.push_back(m_r[std::size_t(i - 31)]);
    for (int i = 34; i < 344 && !m_windows; ++i) rand();  // discarded by glibc
  }
  DuckPath next(int level) {  // in launch order, two per wave
    DuckPath p;
    const bool rightwards = rand() % 2 == 1;
    float y = float(rand() % 5 + 5), x = rightwards ? float(rand() % 60) : float(double(rand() % 60) + 180.0);
    float dx = 120.f - x, dy = float(rand() % 5 + 5) - y;
    const float len = float(std::sqrt(double(dx) * dx + double(dy) * dy)), speed = float(level) * 0.05f + 2.0f;
    float vx = speed * (dx / len), vy = speed * (dy / len);
    const auto inWorld = [&] { return x - 7 <= 240 && x + 7 >= 0 && y - 2.5f <= 36 && y + 2.5f >= 0; };
    for (int k = 0; k <= 2000 && p.exit_move < 0; ++k) {
      const bool was_in = inWorld();
      if (k > 0) vy += 0.005f, x += vx, y += vy;  // gravity joins the velocity before the move
      p.x.push_back(x - 60), p.y.push_back(y);
      if (was_in && !inWorld()) p.exit_move = k;
    }
    return p;
  }

 private:
  int rand() {
    if (m_windows) return int((m_state = m_state * 214013u + 2531011u) >> 16 & 0x7fff);
    const std::size_t n = m_r.size();
    m_r.push_back(int(unsigned(m_r[n - 31]) + unsigned(m_r[n - 3])));
    return int(unsigned(m_r.back()) >> 1);
  }
  bool m_windows;
  unsigned m_state = 1;
  std::vector<int> m_r;
};

double rms(const std::string& wav, double from, double to) {
  const std::string stat = capture("sh -c 'sox " + wav + " -n trim " + std::to_string(from) + " " + std::to_string(to - from) + " stat 2>&1'");
  const std::size_t at = stat.find("RMS     amplitude:");
  return at == std::string::npos ? -1 : std::atof(stat.c_str() + at + 18);
}

const double AUDIBLE = 0.02, QUIET = 0.002;  // rms

class Play : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(lkt::privateDisplay()) << "Xvfb did not start"; }
  void TearDown() override {  // no sanitizer report
    const std::string errors = game ? game->errors() : "";
    EXPECT_TRUE(errors.find("Sanitizer") == std::string::npos && errors.find("runtime error") == std::string::npos) << errors;
  }
  void start(Lines missing = {}, std::function<void(const std::string&)> prepare = nullptr) {
    game = std::make_unique<Game>(std::move(missing), std::move(prepare));
    ASSERT_TRUE(game->ready()) << game->errors();
    for (const std::string& line : game->log())
      if (line.rfind(SIZE_LINE, 0) == 0) size = unsigned(std::atoi(line.c_str() + SIZE_LINE.size()));
    ASSERT_GT(size, 0u) << "no character size in the log";
    screen.prepare(size);
  }
  bool see(const std::string& name, const std::function<bool(const sf::Image&)>& condition) {
    sf::Image last;
    const bool seen = waitFor([&] { return game->screenshot(last) && condition(last); }, 60000, 50);
    last.saveToFile(game->dir + "/" + name + (seen ? ".png" : "-timeout.png"));
    return seen;
  }
  bool title(const sf::Image& i) {
    const std::string motto = "-=  A  DUCK  SHOOT  IN  THE  MARSH  =-";
    return colorCount(i, cells(0, 4, 119, 30), "yellow") > 10000 && screen.read(i, 17, 41, motto) == motto;
  }
  static bool endScreen(const sf::Image& i) { return colorCount(i, cells(4, 12, 115, 24), "red") > 8000; }
  bool hud(const sf::Image& i, int missed, int round, int points) {
    return screen.hud(i, "Ducks Missed:", missed, 20, "yellow") && screen.hud(i, "ROUND", round, 60, "white") &&
           screen.hud(i, "Points:", points, 100, "yellow");
  }
  // Q ends the program normally, its shut-down line last.
  void quit() {
    ASSERT_TRUE(game->key("q"));
    EXPECT_EQ(game->exitStatus(60000), 0) << game->errors();
    EXPECT_EQ(game->log().back(), "GameManager::shutDown(): All managers are shutting down.");
  }
  // Q in play leads to the end screen, then the title, where Q ends the program.
  void endAndQuit() {
    ASSERT_TRUE(game->key("q"));
    ASSERT_TRUE(see("end-by-q", endScreen));
    ASSERT_TRUE(see("title-last", [&](const sf::Image& i) { return title(i); }));
    quit();
  }

  Screen screen;
  unsigned size = 0;  // the characters' size, from the log
  std::unique_ptr<Game> game;
};

}  // namespace

// An earlier log replaced; title, music, paced frames; two escapes, a predicted hit, the third
// escape ends the game; a fresh game, which Q ends; Q ends the program.
TEST_F(Play, AShotHitsADuckAndThreeMissesEndTheGame) {
  start({}, [](const std::string& dir) { lkt::writeFile(dir + "/lark.log", "an earlier run\n"); });
  ASSERT_TRUE(see("title", [&](const sf::Image& i) { return title(i); }));
  const int from = game->lastStep() + 1;
  ASSERT_TRUE(game->waitStep(from));
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(game->waitStep(from + 30));
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(900)) << "30 frames too fast";
  ASSERT_TRUE(waitFor([&] { return game->recorded() >= 1.5; }, 30000)) << "the recording is stuck";
  Ducks ducks;
  const DuckPath first[2] = {ducks.next(1), ducks.next(1)}, target = ducks.next(1), other = ducks.next(1);
  const int key_step = game->lastStep();
  const double key_time = game->recorded();
  ASSERT_TRUE(game->key("1"));
  const int key_sent = game->lastStep();
  ASSERT_TRUE(see("play", [&](const sf::Image& i) { return hud(i, 0, 1, 0); }));

  ASSERT_TRUE(game->waitCount(MISSED, 2)) << "the first two ducks never left";
  const std::vector<int> misses = game->stepsOf(MISSED);
  const int start_step = misses[0] - std::min(first[0].exit_move, first[1].exit_move) + 1;
  EXPECT_EQ(misses[1] - std::max(first[0].exit_move, first[1].exit_move) + 1, start_step);
  EXPECT_GT(start_step, key_step);
  EXPECT_LE(start_step, key_sent + 5) << "the key was not acted on at once";
  EXPECT_EQ(game->count("Gun::eventHandler(): duck missed"), 2);
  const int launch = misses[1];  // the next wave came in the step of the last report

  // Fire two steps ahead (the bullet lives three), nearest the middle, away from the other duck.
  int aim = -1;
  for (int k = game->lastStep() - launch + 8; k + 3 < target.exit_move; ++k) {
    bool clear = target.x[k] >= 7 && target.x[k] <= 113 && target.y[k] >= 6.5f && target.y[k] <= 24.5f;  // the 14 x 5 box in view
    for (int j = k - 3; j <= k + 4 && j < int(other.x.size()); ++j)
      clear = clear && (std::abs(other.x[j] - target.x[k]) >= 9 || std::abs(other.y[j] - target.y[k]) >= 4.5f);
    if (clear && (aim < 0 || std::abs(target.x[k] - 60) < std::abs(target.x[aim] - 60))) aim = k;
  }
  ASSERT_GE(aim, 0) << "the predicted duck never flies in the open";
  ASSERT_TRUE(game->waitStep(launch + aim - 2));
  ASSERT_TRUE(game->click(target.x[aim], target.y[aim]));
  ASSERT_TRUE(see("hit", [&](const sf::Image& i) { return hud(i, 2, 1, 100) || hud(i, 3, 1, 100); })) << "no hit";

  // The other duck's escape, the third, ends the game and the quacking (timed off the log).
  ASSERT_TRUE(game->waitCount(MISSED, 3));
  const double end_time = game->recorded();
  EXPECT_EQ(game->stepsOf(MISSED).back(), launch + other.exit_move);
  ASSERT_TRUE(see("end", [&](const sf::Image& i) { return endScreen(i) && hud(i, 3, 1, 100); }));
  EXPECT_EQ(game->count("Gun::eventHandler(): duck missed"), 3);
  ASSERT_TRUE(see("title-again", [&](const sf::Image& i) { return title(i); }));
  const double again_time = game->recorded();
  ASSERT_TRUE(waitFor([&] { return game->recorded() >= again_time + 0.5; }, 30000));
  ASSERT_TRUE(game->key("1"));
  ASSERT_TRUE(see("play-again", [&](const sf::Image& i) { return hud(i, 0, 1, 0); }));
  ASSERT_NO_FATAL_FAILURE(endAndQuit());
  // A fresh log: the start-up lines, then the steps in order, each paced to 33,333 us.
  const Lines log = game->log(), start_up = {
      "LogManager::startUp(): lark.log was opened successfully.", "LogManager::startUp(): LogManager was successfully started.",
      SIZE_LINE + std::to_string(size) + ", the largest at which every glyph fits its cell.",
      "DisplayManager::startUp(): DisplayManager was successfully started.", "InputManager::startUp(): InputManager was successfully started.",
      "WorldManager::startUp(): WorldManager was successfully started.", "GameManager::startUp(): All managers successfully started.", ""};
  EXPECT_EQ(Lines(log.begin(), log.begin() + long(std::min(log.size(), start_up.size()))), start_up);
  EXPECT_EQ(game->count("GameManager::run(): game loop started."), 1);
  const std::regex step_line(R"(GameManager::run\(\): \(step #(\d+)\) loop_time = (\d+) microseconds, sleep_time = (\d+) milliseconds\.)");
  int step = 0;
  for (const std::string& line : log) {
    std::smatch m;
    if (!std::regex_match(line, m, step_line)) continue;
    EXPECT_EQ(std::stoi(m[1]), step++);
    EXPECT_EQ(std::stoi(m[2]) % 1000, 0) << line;  // the clock counts milliseconds
    EXPECT_EQ(std::stoi(m[3]), std::max(0, (33333 - std::stoi(m[2])) / 1000)) << line;
  }
  EXPECT_GE(step, from + 30);
  EXPECT_EQ(game->output().find("unable"), std::string::npos);

  const std::string audio = game->dir + "/audio.wav";
  EXPECT_GT(rms(audio, key_time - 1.0, key_time), AUDIBLE) << "no start music";
  EXPECT_GT(rms(audio, key_time + 0.8, key_time + 1.8), AUDIBLE) << "no quacking";
  EXPECT_GT(rms(audio, end_time - 3.0, end_time - 1.0), AUDIBLE) << "quacking was not playing";
  EXPECT_LT(rms(audio, end_time + 0.3, end_time + 2.0), QUIET) << "the quacking goes on on the end screen";
  EXPECT_GT(rms(audio, again_time, again_time + 0.5), AUDIBLE) << "no start music again";
}

// Another window focused for five seconds, longer than the first ducks take to leave: still
// picture under "PAUSED", no step, escape or quacking; the focus back, the ducks leave on time.
TEST_F(Play, LosingTheFocusPausesTheGameUntilItComesBack) {
  start();
  Ducks ducks;
  const DuckPath first[2] = {ducks.next(1), ducks.next(1)};
  ASSERT_TRUE(game->key("1"));
  ASSERT_TRUE(see("play", [&](const sf::Image& i) { return hud(i, 0, 1, 0); }));
  ASSERT_TRUE(game->waitStep(game->lastStep() + 20));
  const double before = game->recorded();
  ASSERT_TRUE(lkt::run("timeout 60 xmessage -title Cover -geometry 240x120+148+650 away >/dev/null 2>&1 & true"));
  ASSERT_TRUE(lkt::run("timeout 20 xdotool search --sync --name '^Cover$' windowraise windowfocus --sync"));
  ASSERT_TRUE(game->waitCount("GameManager::setPaused(): The game is paused.", 1));
  const auto paused = [&](const sf::Image& i) { return screen.read(i, 18, 56, " PAUSED ") == " PAUSED "; };
  ASSERT_TRUE(see("paused", [&](const sf::Image& i) { return paused(i) && hud(i, 0, 1, 0); }));
  const int step = game->lastStep();
  const double from = game->recorded();
  // Pictures half a second apart: a duck's wing beat (12 draws, two of its four frames alike)
  // cannot bring all ten back to the first.
  sf::Image still, later;
  int moved = 0;
  ASSERT_TRUE(game->screenshot(still));
  for (int i = 0; i < 10; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(game->screenshot(later));
    moved += !std::equal(still.getPixelsPtr(), still.getPixelsPtr() + 1024 * 768 * 4, later.getPixelsPtr());
  }
  const double to = game->recorded();
  EXPECT_EQ(game->lastStep(), step);
  EXPECT_EQ(game->count(MISSED), 0);
  EXPECT_EQ(moved, 0) << "the picture moved while paused";
  EXPECT_GT(rms(game->dir + "/audio.wav", before - 0.6, before), AUDIBLE) << "no quacking before the pause";
  EXPECT_LT(rms(game->dir + "/audio.wav", from + 0.2, to), QUIET) << "the quacking goes on while paused";

  ASSERT_TRUE(game->ready());  // the focus back
  ASSERT_TRUE(see("resumed", [&](const sf::Image& i) { return !paused(i) && hud(i, 0, 1, 0); }));
  const double resumed = game->recorded();
  ASSERT_TRUE(waitFor([&] { return game->recorded() >= resumed + 0.5; }, 30000)) << "the recording is stuck";
  EXPECT_GT(rms(game->dir + "/audio.wav", resumed, resumed + 0.5), AUDIBLE) << "no quacking after the pause";
  ASSERT_TRUE(game->waitCount(MISSED, 2));
  const std::vector<int> misses = game->stepsOf(MISSED);
  EXPECT_GT(misses[0], step);
  EXPECT_EQ(misses[1] - misses[0], std::abs(first[1].exit_move - first[0].exit_move));
  const std::size_t k = std::size_t(step - (misses[0] - std::min(first[0].exit_move, first[1].exit_move)));
  EXPECT_TRUE(std::any_of(first, first + 2, [&](const DuckPath& d) { return k < d.x.size() && d.x[k] >= 7 && d.x[k] <= 113; }))
      << "no duck in view while paused, so the still picture shows little";
  EXPECT_EQ(game->count("GameManager::setPaused(): The game goes on."), 1);
  endAndQuit();
}

// No font, no log or no X server: status 1 at once, these lines out, its reason in the log.
TEST_F(Play, NoFontNoLogOrNoXServerEndsWithStatus1) {
  const std::string failed = "GameManager::startUp(): ERROR: Not all managers were successfully started.\n\n"
                             "ERROR: The GameManager could not start up successfully.\n";
  const std::string display = "DisplayManager was unable to successfully start up.\nInputManager was unable to successfully start up.\n";
  const struct {
    std::function<void(const std::string&)> prepare;
    std::string output, log;
  } cases[] = {
      {[](const std::string& dir) { fs::remove(dir + "/lk-font.ttf"); }, display + failed,
       "DisplayManager::startUp(): Font 'lk-font.ttf' could not be located or loaded."},
      {[](const std::string& dir) { fs::create_directory(dir + "/lark.log"); }, "LogManager was unable to successfully start up.\n" + failed, ""},
      {[](const std::string&) {
         int n = 200;
         while (fs::exists("/tmp/.X11-unix/X" + std::to_string(n))) ++n;
         setenv("DISPLAY", (":" + std::to_string(n)).c_str(), 1);
       }, display + failed, "DisplayManager::startUp(): The SFML graphics window could not be rendered."}};
  for (const auto& c : cases) {
    if (windowsProgram() && &c == &cases[2]) break;  // Wine itself needs the X server
    game = std::make_unique<Game>(Lines{}, c.prepare);
    EXPECT_EQ(game->exitStatus(60000), 1) << game->errors();
    EXPECT_EQ(game->output(), c.output);
    EXPECT_EQ(game->count(c.log), c.log.empty() ? 0 : 1) << c.log;
  }
}

// No audio device: one log line says so, a game is played in silence, the audio library's
// complaints neither on standard error nor in the log. The close button does nothing.
TEST_F(Play, NoAudioDevicePlaysSilently) {
  start({}, [](const std::string& dir) {
    lkt::writeFile(dir + "/alsoft.conf", "[general]\ndrivers=wave\n[wave]\nfile=" + dir + "/no/such/folder/audio.wav\n");
  });
  ASSERT_TRUE(game->key("1"));
  ASSERT_TRUE(see("play", [&](const sf::Image& i) { return hud(i, 0, 1, 0); }));
  ASSERT_TRUE(game->closeRequest());
  ASSERT_TRUE(game->waitStep(game->lastStep() + 60));
  endAndQuit();
  EXPECT_LT(game->errors().size(), 4096u) << game->errors();
  std::string log = lkt::readFile(game->dir + "/lark.log");  // the audio library's lines too
  std::transform(log.begin(), log.end(), log.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  std::istringstream in(log);
  int audio_lines = 0;
  for (std::string line; std::getline(in, line);) audio_lines += line.find("audio") != line.npos || line.find("openal") != line.npos;
  EXPECT_EQ(audio_lines, 1);
  EXPECT_EQ(game->count("ResourceManager::startUp(): No audio device could be opened. The game plays without sound."), 1);
  EXPECT_EQ(game->count("Music::loadMusic(): music successfully opened from ../sounds/ducks-quacking.wav."), 1);
}

// The wall clock set back (libfaketime): OpenAL Soft's null output, whose mixer then spins,
// must not keep Q from ending the program within 2 s, with status 0 and the log complete.
TEST_F(Play, QEndsTheProgramAfterTheClockIsSetBack) {
  const std::string library = capture("sh -c 'ls /usr/lib/*/faketime/libfaketime.so.1'");
  if (windowsProgram() || library.empty()) GTEST_SKIP() << "libfaketime is the Linux build's";
  const std::string offset = fs::current_path().parent_path().string() + "/clock-offset";
  lkt::writeFile(offset, "+0\n");
  setenv("LD_PRELOAD", library.substr(0, library.find('\n')).c_str(), 1);
  setenv("FAKETIME_TIMESTAMP_FILE", offset.c_str(), 1), setenv("FAKETIME_CACHE_DURATION", "1", 1), setenv("FAKETIME_DONT_FAKE_MONOTONIC", "1", 1);
  setenv("ASAN_OPTIONS", (std::string(std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "") + ":verify_asan_link_order=0").c_str(), 1);
  start({}, [](const std::string& dir) { lkt::writeFile(dir + "/alsoft.conf", "[general]\ndrivers=null\n"); });
  unsetenv("LD_PRELOAD");
  ASSERT_TRUE(see("title", [&](const sf::Image& i) { return title(i); }));
  lkt::writeFile(offset, "-120\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));  // the library reads the file each second
  ASSERT_TRUE(game->key("q"));
  ASSERT_TRUE(game->waitCount("GameManager::shutDown(): All managers are shutting down.", 1));
#ifdef __SANITIZE_ADDRESS__
  EXPECT_EQ(game->exitStatus(5000), 0);  // the sanitizers' own work at the exit, on a busy machine
#else
  EXPECT_EQ(game->exitStatus(2000), 0);
#endif
  EXPECT_EQ(game->log().back(), "GameManager::shutDown(): All managers are shutting down.");
}

namespace {

const Lines ASSETS = {"sprites/gun-spr.txt", "sprites/duck-flyleft-spr.txt", "sprites/duck-flyright-spr.txt",
                      "sprites/duck-shot-spr.txt", "sprites/ground-spr.txt", "sprites/start-game-alt-spr.txt",
                      "sprites/start-game-spr.txt", "sprites/end-game-spr.txt", "sprites/new-round-spr.txt",
                      "sounds/gun-shot.wav", "sounds/new-round.mp3", "sounds/start-music.wav", "sounds/ducks-quacking.wav"};

std::string refusal(const std::string& file) {
  return file == "sounds/start-music.wav" || file == "sounds/ducks-quacking.wav"
             ? "ResourceManager::loadMusic(): Unable to associate music object with file ../" + file + "."
             : "ResourceManager::loadSound(): Unable to load sound from file ../" + file + ".";
}

class Assets : public Play {
 protected:
  // A game of a shot and two seconds, Q, then Q again; the ROUND box, no asset, marks play.
  void playAndQuit() {
    const auto inPlay = [&](bool expected) {
      return see(expected ? "play" : "start", [&](const sf::Image& i) { return (screen.read(i, 1, 55, "| ROUND") == "| ROUND") == expected; });
    };
    ASSERT_TRUE(game->key("1"));
    ASSERT_TRUE(inPlay(true)) << "no play after 1";
    const int started = game->lastStep();
    ASSERT_TRUE(game->click(60, 14) && game->waitStep(started + 60));
    ASSERT_TRUE(game->key("q"));
    ASSERT_TRUE(inPlay(false)) << "the game never left play after Q";
    quit();
  }
};

class MissingAsset : public Assets, public testing::WithParamInterface<std::string> {};
class BrokenAssets : public Assets, public testing::WithParamInterface<int> {};

}  // namespace

// Without one of its asset files the game logs the failure, plays and quits.
TEST_P(MissingAsset, GameStillPlaysAndQuits) {
  const std::string file = GetParam();
  start({file});
  EXPECT_EQ(game->count(file[1] == 'p' ? "ResourceManager::loadSprite(): Sprite file ../" + file + " could not be opened." : refusal(file)), 1);
  playAndQuit();
}

INSTANTIATE_TEST_SUITE_P(EachFile, MissingAsset, testing::ValuesIn(ASSETS));

// Every sound emptied, halved, random or with lying WAV chunk sizes, and a third of the sprites
// random: each named in the log, the game plays on; halved music loops its half.
TEST_P(BrokenAssets, AreNamedInTheLogAndTheGamePlaysOn) {
  const int way = GetParam();  // 0 empty, 1 first half, 2 random bytes, 3 lying chunk sizes
  Lines sprites;
  start({}, [&](const std::string& dir) {
    std::mt19937 random(11 + unsigned(way));
    for (std::size_t i = 0; i < ASSETS.size(); ++i) {
      const bool sound = ASSETS[i][1] == 'o';
      if (!sound && int(i % 3) != way) continue;
      std::string content = lkt::readFile(dir + "/" + ASSETS[i]);
      if (sound && way == 3)  // RIFF, WAVE, then a chunk of 0xFFFFFFF8 or 100 bytes; 44 bytes in all
        content = std::string("RIFF\x24\0\0\0WAVE", 12) + (i % 2 ? "LIST\xf8\xff\xff\xff" : "fmt \x64\0\0\0") + std::string(24, 'x');
      else if (sound && way < 2)
        content.resize(way == 0 ? 0 : content.size() / 2);
      else
        for (char& c : content) c = char(random());
      lkt::writeFile(dir + "/" + ASSETS[i], content);
      if (!sound) sprites.push_back("../" + ASSETS[i]);
    }
  });
  for (const std::string& file : ASSETS)
    if (file[1] == 'o') {
      const bool music = refusal(file).find("loadMusic") != std::string::npos;
      EXPECT_EQ(game->count(refusal(file)), way == 1 && music ? 0 : 1) << file;
    }
  if (way == 1) {  // the 4 s tune's first 2 s, looped
    ASSERT_TRUE(waitFor([&] { return game->recorded() >= 4.5; }, 30000));
    EXPECT_GT(rms(game->dir + "/audio.wav", 3.0, 4.5), AUDIBLE);
  }
  // Random bytes in under five lines still make a sprite: either way the file is named.
  const Lines log = game->log();
  for (const std::string& file : sprites)
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const std::string& l) {
      return l.rfind("ResourceManager::loadSprite(): ", 0) == 0 && l.find(file) != std::string::npos;
    })) << file;
  playAndQuit();
}

INSTANTIATE_TEST_SUITE_P(EmptyHalfRandomLying, BrokenAssets, testing::Values(0, 1, 2, 3));
