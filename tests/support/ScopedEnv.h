#pragma once
// An environment variable set or unset for the life of the object, then
// restored.
#include <cstdlib>
#include <optional>
#include <string>

namespace zem::testing {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_saved = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (m_saved)
      setenv(m_name.c_str(), m_saved->c_str(), 1);
    else
      unsetenv(m_name.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_name;
  std::optional<std::string> m_saved;
};

}  // namespace zem::testing
