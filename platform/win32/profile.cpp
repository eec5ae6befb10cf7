#include "platform/profile.h"

#include "platform/files.h"

#include <windows.h>

#include "platform/win32/name_index.h"

namespace platform {

// The system reads the file at every call, so a snapshot only remembers which file it is.
struct ProfileSnapshot::Contents {
  std::string file;
};

ProfileSnapshot::ProfileSnapshot(const std::string& file)
    : contents_(std::make_unique<const Contents>(Contents{file})) {}

ProfileSnapshot::~ProfileSnapshot() = default;

std::string ProfileSnapshot::ReadString(const std::string& section, const std::string& key,
                                        const std::string& fallback, size_t bufferSize) const {
  return ReadProfileString(section, key, fallback, bufferSize, contents_->file);
}

std::vector<std::string> ProfileSnapshot::SectionNames() const {
  return ReadProfileSectionNames(contents_->file);
}

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& fallback, size_t bufferSize,
                              const std::string& file) {
  if (bufferSize == 0) return {};
  std::string buffer(bufferSize, '\0');
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                                                buffer.data(), static_cast<DWORD>(bufferSize),
                                                file.c_str());
  buffer.resize(length < bufferSize ? length : bufferSize - 1);
  return buffer;
}

bool WriteProfileValue(const std::string& section, const std::string& key,
                       const std::string& value, const std::string& file) {
  // Windows refuses to rewrite a read-only file; Wine run as root would rewrite it anyway.
  if (IsReadOnlyFile(file)) return false;
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) == 0)
    return false;
  win32::NoteCreated(file);  // the system creates a missing file
  return true;
}

std::vector<std::string> ReadProfileSectionNames(const std::string& file) {
  // The call reports a list cut short by returning the buffer size minus two: grow until it fits.
  std::string buffer(4096, '\0');
  DWORD length = 0;
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    length = GetPrivateProfileSectionNamesA(buffer.data(), size, file.c_str());
    if (length + 2 < size) break;
    buffer.assign(buffer.size() * 2, '\0');
  }
  // Names follow each other, each ending with a zero.
  std::vector<std::string> names;
  for (size_t at = 0; at < length;) {
    const size_t end = buffer.find('\0', at);
    if (end == std::string::npos || end > length) break;
    names.emplace_back(buffer, at, end - at);
    at = end + 1;
  }
  return names;
}

}  // namespace platform
