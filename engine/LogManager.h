#ifndef LK_LOG_MANAGER_H
#define LK_LOG_MANAGER_H

#include <cstdio>

#include "Manager.h"
#include "SfmlErrorLog.h"

#if defined(__GNUC__)
#define LK_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define LK_PRINTF_FORMAT(f, a)
#endif

namespace lk {

const char LOGFILE_NAME[] = "../lark.log";

/// The engine's single log, "../lark.log", rewritten on every run.
class LogManager : public Manager {
 public:
  /// The one log manager.
  static LogManager& getInstance();
  ~LogManager() override;

  /// Opens "../lark.log", rewritten; 0, or -1 when it cannot be opened.
  int startUp() override;
  /// Closes the log.
  void shutDown() override;

  /// Writes one printf-style entry, prefixed with "hh:mm:ss  " local time when
  /// time stamps are on. Returns the characters written; with no open file the
  /// entry is dropped and 0 is returned.
  int writeLog(const char* format, ...) LK_PRINTF_FORMAT(2, 3);

  /// Writes every entry to the file at once (true), so a crash loses nothing.
  void setFlush(bool do_flush = true);
  /// Starts every entry with its local time (true, the default).
  void setTimeStamp(bool do_time_stamp = true);

 private:
  LogManager();

  bool m_do_flush;
  bool m_do_time_stamp;
  std::FILE* m_p_file;
  /// SFML's error stream, sent to this log while the log is started.
  SfmlErrorLog m_sfml_errors;
};

}  // namespace lk

#endif
