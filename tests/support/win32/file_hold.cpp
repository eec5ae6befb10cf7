#include "support/file_hold.h"

#include <windows.h>

#include "support/temp_folder.h"

namespace testsupport {

FileHold::FileHold(const std::string& path) {
  const HANDLE file = CreateFileA(HostPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) handle_ = reinterpret_cast<intptr_t>(file);
}

FileHold::~FileHold() {
  if (Held()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace testsupport
