#include <cstdlib>

#include "support/environment.h"

namespace testsupport {

// The C runtime's copy of the environment is what getenv reads; an empty value removes the name.
void SetEnvValue(const std::string& name, const std::optional<std::string>& value) {
  _putenv_s(name.c_str(), value ? value->c_str() : "");
}

}  // namespace testsupport
