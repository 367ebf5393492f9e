#ifndef LK_SFML_ERROR_LOG_H
#define LK_SFML_ERROR_LOG_H

#include <map>
#include <mutex>
#include <streambuf>
#include <string>

namespace lk {

/// Carries SFML's error stream into the log: each message once, in the log's
/// own style, and at the end how often each repeated. The audio library's
/// threads write to the same stream, so the buffer takes a lock.
class SfmlErrorLog : public std::streambuf {
 public:
  SfmlErrorLog();
  ~SfmlErrorLog() override;
  SfmlErrorLog(const SfmlErrorLog&) = delete;
  SfmlErrorLog& operator=(const SfmlErrorLog&) = delete;

  /// Sends sf::err() here until detach(), which writes the repeat counts.
  void attach();
  /// Gives sf::err() back its previous stream and logs the repeat counts.
  void detach();

 protected:
  /// Takes one character of SFML's error text.
  int_type overflow(int_type c) override;
  /// Takes a run of SFML's error text.
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  /// Ends the message in progress; 0.
  int sync() override;

 private:
  /// Writes the text gathered since the last flush as one message.
  void endMessage();

  std::mutex m_mutex;
  std::streambuf* m_p_previous;
  std::string m_pending;
  std::map<std::string, long> m_seen;  ///< message -> times written by SFML
};

}  // namespace lk

#endif
