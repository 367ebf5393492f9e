#include "LogManager.h"

#include <cstdarg>

#if defined(LK_BACKEND_SFML)
#include <SFML/System/Err.hpp>
#endif

#include "Platform.h"
#if defined(LK_BACKEND_WEB)
#include "BrowserCalls.h"
#endif

namespace lk {

#if defined(LK_BACKEND_WEB)
namespace {
void echoToConsole(const char* format, va_list args) {
  char line[1024];
  std::vsnprintf(line, sizeof line, format, args);
  lk_web_console(line);
}
}  // namespace
#endif

LogManager::LogManager() : m_do_flush(true), m_do_time_stamp(true), m_p_file(nullptr) {
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
  m_p_file = std::fopen(LOGFILE_NAME, "w");
  if (m_p_file == nullptr) return -1;
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
  m_sfml_errors.detach();
#endif
  if (m_p_file != nullptr) {
    std::fclose(m_p_file);
    m_p_file = nullptr;
  }
  Manager::shutDown();
}

int LogManager::writeLog(const char* format, ...) {
  // Before start-up and after shut-down there is nowhere to write.
  if (m_p_file == nullptr) return 0;
  int written = 0;
  if (m_do_time_stamp) {
    int hour = 0, minute = 0, second = 0;
    platform::localTimeOfDay(&hour, &minute, &second);
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d", hour, minute, second);
    const int prefix = std::fprintf(m_p_file, "%s  ", stamp);
    if (prefix > 0) written += prefix;
  }
  va_list args;
  va_start(args, format);
#ifdef LK_BACKEND_WEB
  // On a page the lines go to the browser's console as well.
  va_list copy;
  va_copy(copy, args);
  echoToConsole(format, copy);
  va_end(copy);
#endif
  const int text = std::vfprintf(m_p_file, format, args);
  va_end(args);
  if (text > 0) written += text;
  if (m_do_flush) std::fflush(m_p_file);
  return written;
}

void LogManager::setFlush(bool do_flush) { m_do_flush = do_flush; }

void LogManager::setTimeStamp(bool do_time_stamp) { m_do_time_stamp = do_time_stamp; }

}  // namespace lk
