#include "support/environment.h"

#include <cstdlib>
#include <utility>

namespace testsupport {

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name,
                                                     const std::optional<std::string>& value)
    : name_(std::move(name)) {
  if (const char* old = std::getenv(name_.c_str())) previous_ = old;
  SetEnvValue(name_, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() { SetEnvValue(name_, previous_); }

}  // namespace testsupport
