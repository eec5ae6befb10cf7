#pragma once
// Environment variables set for one test and put back afterwards.
#include <optional>
#include <string>

namespace testsupport {

// Sets `name` to `value` (nullopt: removes it) for the owner's lifetime, then restores the value
// it had before, or removes it again when it had none.
class ScopedEnvironmentVariable {
public:
  ScopedEnvironmentVariable(std::string name, const std::optional<std::string>& value);
  ~ScopedEnvironmentVariable();
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
  std::string name_;
  std::optional<std::string> previous_;
};

// Sets (or, with nullopt, removes) one variable of this process; each host's set_environment.cpp.
void SetEnvValue(const std::string& name, const std::optional<std::string>& value);

}  // namespace testsupport
