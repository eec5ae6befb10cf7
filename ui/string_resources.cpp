#include "ui/string_resources.h"

#include "ui/res/resource.h"

const std::map<int, std::string>& StringResources() {
  static const std::map<int, std::string> strings = {{IDS_ABOUTBOX, "&About OVPatch..."}};
  return strings;
}
