#include "LogManager.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <string>

#if defined(LK_BACKEND_SFML)
#include <SFML/System/Err.hpp>
#endif

#include "Platform.h"
#if defined(LK_BACKEND_WEB)
#include "BrowserCalls.h"
#endif

namespace lk {

LogManager::LogManager()
    : m_do_flush(true),
      m_do_time_stamp(true),
      m_p_file(nullptr),
      m_mutex(),
      m_bytes(0),
      m_bound(MAX_LOG_BYTES),
      m_bound_said(false),
      m_failure_said(false) {
  setType("LogManager");
}

LogManager::~LogManager() { LogManager::shutDown(); }

LogManager& LogManager::getInstance() {
#if defined(LK_BACKEND_SFML)
  // SFML's error stream is made first, so that it is destroyed after the
  // log, which hands the stream its own buffer back on the way out.
  sf::err();
#endif
  static LogManager log_manager;
  return log_manager;
}

int LogManager::startUp() {
  // A file still open from an earlier start-up would otherwise stay open and
  // write its buffered entries into the new file when the program exits.
  LogManager::shutDown();
  // Text mode: a log read on Windows has that system's CR LF line ends.
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_p_file = std::fopen(LOGFILE_NAME, "w");
    if (m_p_file == nullptr) return -1;
    m_bytes = 0;
    m_bound_said = false;
    m_failure_said = false;
  }
  writeLog("LogManager::startUp(): lark.log was opened successfully.\n");
#if defined(LK_BACKEND_SFML)
  m_sfml_errors.attach();
#endif
  Manager::startUp();
  writeLog("LogManager::startUp(): LogManager was successfully started.\n");
  return 0;
}

void LogManager::shutDown() {
#if defined(LK_BACKEND_SFML)
  // Outside the lock: the error stream's last lines come through writeLog.
  m_sfml_errors.detach();
#endif
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_p_file != nullptr) {
    std::fclose(m_p_file);
    m_p_file = nullptr;
  }
  Manager::shutDown();
}

int LogManager::writeLog(const char* format, ...) {
  // The stamp and the text are formatted first and written in one call under
  // the lock, so that a line from the audio library's threads cannot split
  // one of the main thread's.
  char stamp[16] = "";
  if (m_do_time_stamp) {
    int hour = 0, minute = 0, second = 0;
    platform::localTimeOfDay(&hour, &minute, &second);
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d  ", hour % 100, minute % 100, second % 100);
  }
  char buffer[512];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (length < 0) return 0;
  std::string long_text;
  const char* p_text = buffer;
  if (static_cast<std::size_t>(length) >= sizeof buffer) {
    long_text.resize(static_cast<std::size_t>(length) + 1);
    va_start(args, format);
    std::vsnprintf(&long_text[0], long_text.size(), format, args);
    va_end(args);
    p_text = long_text.c_str();
  }
  const std::size_t prefix = std::strlen(stamp);
  std::string entry;
  entry.reserve(prefix + static_cast<std::size_t>(length));
  entry.append(stamp, prefix).append(p_text, static_cast<std::size_t>(length));

#if defined(LK_BACKEND_WEB)
  // On a page the lines go to the browser's console as well.
  lk_web_console(p_text);
#endif

  std::lock_guard<std::mutex> lock(m_mutex);
  // Before start-up and after shut-down there is nowhere to write.
  if (m_p_file == nullptr) return 0;
  const std::size_t written = std::fwrite(entry.data(), 1, entry.size(), m_p_file);
  const bool flushed = !m_do_flush || std::fflush(m_p_file) == 0;
  m_bytes += static_cast<long long>(written);
  if ((written != entry.size() || !flushed) && !m_failure_said) {
    m_failure_said = true;
    std::fprintf(stderr, "LogManager::writeLog(): lark.log could not be written. %s\n",
                 std::strerror(errno));
  }
  return static_cast<int>(written);
}

bool LogManager::stepLinesWanted() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bytes <= m_bound) return true;
    if (m_bound_said) return false;
    m_bound_said = true;
  }
  writeLog(
      "LogManager::stepLinesWanted(): lark.log has passed %lld bytes; the game loop's step lines "
      "are no longer "
      "written.\n",
      m_bound);
  return false;
}

void LogManager::setBound(long long bytes) { m_bound = bytes; }

void LogManager::setFlush(bool do_flush) { m_do_flush = do_flush; }

void LogManager::setTimeStamp(bool do_time_stamp) { m_do_time_stamp = do_time_stamp; }

}  // namespace lk
