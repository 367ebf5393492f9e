#include "SfmlErrorLog.h"

#include <SFML/System/Err.hpp>

#include "LogManager.h"

namespace lk {

namespace {

// Past this many different messages, new ones are still written but no longer
// counted, so a stream of distinct messages cannot grow the table for ever.
const std::size_t MAX_COUNTED_MESSAGES = 256;

// SFML's messages span several lines (an OpenAL failure names the call and the
// error on lines of their own); the log keeps one line per message.
std::string oneLine(const std::string& text) {
  std::string line;
  bool space = false;
  for (const char c : text) {
    if (c == '\n' || c == '\r' || c == '\t' || c == ' ') {
      space = !line.empty();
      continue;
    }
    if (space) line.push_back(' ');
    space = false;
    line.push_back(c);
  }
  return line;
}

}  // namespace

SfmlErrorLog::SfmlErrorLog() : m_p_previous(nullptr) {}

SfmlErrorLog::~SfmlErrorLog() { detach(); }

void SfmlErrorLog::attach() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_p_previous != nullptr) return;
  m_p_previous = sf::err().rdbuf(this);
}

void SfmlErrorLog::detach() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_p_previous == nullptr) return;
  sf::err().rdbuf(m_p_previous);
  m_p_previous = nullptr;
  endMessage();
  for (const auto& entry : m_seen)
    if (entry.second > 1)
      LogManager::getInstance().writeLog("SFML::err(): %ld times in all: %s\n", entry.second,
                                         entry.first.c_str());
  m_seen.clear();
}

SfmlErrorLog::int_type SfmlErrorLog::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  std::lock_guard<std::mutex> lock(m_mutex);
  m_pending.push_back(traits_type::to_char_type(c));
  return c;
}

std::streamsize SfmlErrorLog::xsputn(const char* text, std::streamsize count) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_pending.append(text, static_cast<std::size_t>(count));
  return count;
}

int SfmlErrorLog::sync() {
  std::lock_guard<std::mutex> lock(m_mutex);
  endMessage();
  return 0;
}

void SfmlErrorLog::endMessage() {
  const std::string message = oneLine(m_pending);
  m_pending.clear();
  if (message.empty()) return;
  auto found = m_seen.find(message);
  if (found != m_seen.end()) {
    ++found->second;
    return;
  }
  if (m_seen.size() < MAX_COUNTED_MESSAGES) m_seen.emplace(message, 1);
  LogManager::getInstance().writeLog("SFML::err(): %s\n", message.c_str());
}

}  // namespace lk
