#ifndef LK_LOG_MANAGER_H
#define LK_LOG_MANAGER_H

#include <cstdio>
#include <mutex>

#include "Manager.h"
#if defined(LK_BACKEND_SFML)
#include "SfmlErrorLog.h"
#endif

#if defined(__GNUC__)
#define LK_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define LK_PRINTF_FORMAT(f, a)
#endif

namespace lk {

const char LOGFILE_NAME[] = "../lark.log";
// A game left running writes a step line every frame, about 11 MB an hour:
// past this size the step lines stop (one line says so) and all others go on.
const long long MAX_LOG_BYTES = 64LL * 1024 * 1024;

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
  /// entry is dropped and 0 is returned. Any thread may call it: an entry goes
  /// to the file in one piece, never mixed with another. A file that cannot be
  /// written (a full disk) is reported once on standard error.
  int writeLog(const char* format, ...) LK_PRINTF_FORMAT(2, 3);

  /// Whether the game loop's step lines are still wanted: false once the log
  /// has passed its bound, which the first such call says in the log.
  bool stepLinesWanted();
  /// Sets the bound, MAX_LOG_BYTES unless changed (tests use a small one).
  void setBound(long long bytes);

  /// Writes every entry to the file at once (true), so a crash loses nothing.
  void setFlush(bool do_flush = true);
  /// Starts every entry with its local time (true, the default).
  void setTimeStamp(bool do_time_stamp = true);

 private:
  LogManager();

  bool m_do_flush;
  bool m_do_time_stamp;
  std::FILE* m_p_file;
  std::mutex m_mutex;
  long long m_bytes;  // written to the file since it was opened
  long long m_bound;
  bool m_bound_said;
  bool m_failure_said;
#if defined(LK_BACKEND_SFML)
  /// SFML's error stream, sent to this log while the log is started.
  SfmlErrorLog m_sfml_errors;
#endif
};

}  // namespace lk

#endif
