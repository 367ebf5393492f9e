// Carries SFML's error stream into the log: each message once, in the log's
// own style, and at the end how often each repeated. The audio library's
// threads write to the same stream, so the buffer takes a lock.
#ifndef LK_SFML_ERROR_LOG_H
#define LK_SFML_ERROR_LOG_H

#include <map>
#include <mutex>
#include <streambuf>
#include <string>

namespace lk {

class SfmlErrorLog : public std::streambuf {
 public:
  SfmlErrorLog();
  ~SfmlErrorLog() override;
  SfmlErrorLog(const SfmlErrorLog&) = delete;
  SfmlErrorLog& operator=(const SfmlErrorLog&) = delete;

  // Sends sf::err() here until detach(), which writes the repeat counts.
  void attach();
  void detach();

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  // Writes the text gathered since the last flush as one message.
  void endMessage();

  std::mutex m_mutex;
  std::streambuf* m_p_previous;
  std::string m_pending;
  std::map<std::string, long> m_seen;  // message -> times written by SFML
};

}  // namespace lk

#endif
