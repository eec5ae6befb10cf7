#include "support/wine_prefix.h"

namespace testsupport {

void MakePrefixWithRootDrive(const std::string&) {}

}  // namespace testsupport
