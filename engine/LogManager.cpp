#include "LogManager.h"

#include <cstdarg>

#include <SFML/System/Err.hpp>

#include "Platform.h"

namespace lk {

LogManager::LogManager() : m_do_flush(true), m_do_time_stamp(true), m_p_file(nullptr) {
  setType("LogManager");
}

LogManager::~LogManager() { LogManager::shutDown(); }

LogManager& LogManager::getInstance() {
  // SFML's error stream is made first, so that it is destroyed after the
  // log, which hands the stream its own buffer back on the way out.
  sf::err();
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
  m_sfml_errors.attach();
  Manager::startUp();
  writeLog("LogManager::startUp(): LogManager was successfully started.\n");
  return 0;
}

void LogManager::shutDown() {
  m_sfml_errors.detach();
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
  const int text = std::vfprintf(m_p_file, format, args);
  va_end(args);
  if (text > 0) written += text;
  if (m_do_flush) std::fflush(m_p_file);
  return written;
}

void LogManager::setFlush(bool do_flush) { m_do_flush = do_flush; }

void LogManager::setTimeStamp(bool do_time_stamp) { m_do_time_stamp = do_time_stamp; }

}  // namespace lk
