#pragma once
// Windows profile (INI) files, with the observable results of GetPrivateProfileStringA and
// WritePrivateProfileStringA for the shapes this program reads and writes. Each call reads the
// file as it is on disk at that moment.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The value of `key` in `section` of `file`, or `fallback` when the file, section or key is missing.
// Section and key match without regard to case; blanks around the value are trimmed, and matching
// quotes around it removed. The result is cut to bufferSize - 1 characters.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& fallback, size_t bufferSize,
                              const std::string& file);

// Sets `key` in `section` of `file` to `value`: replaced in place when present, otherwise added at
// the end of the section; a missing section is appended, a missing file created. True on success.
bool WriteProfileValue(const std::string& section, const std::string& key,
                       const std::string& value, const std::string& file);

// The names of the sections of `file`, in file order (as GetPrivateProfileSectionNamesA); empty when
// the file is missing.
std::vector<std::string> ReadProfileSectionNames(const std::string& file);

// Many reads of one file in a row, for a caller that asks about thousands of keys at once. Answers
// as ReadProfileString and ReadProfileSectionNames do, for the file as it was when the snapshot was
// made or as it is at each call (the platform decides): keep one only for the length of such a run.
class ProfileSnapshot {
public:
  explicit ProfileSnapshot(const std::string& file);
  ~ProfileSnapshot();
  ProfileSnapshot(const ProfileSnapshot&) = delete;
  ProfileSnapshot& operator=(const ProfileSnapshot&) = delete;

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback, size_t bufferSize) const;
  std::vector<std::string> SectionNames() const;

private:
  struct Contents;
  std::unique_ptr<const Contents> contents_;
};

}  // namespace platform
