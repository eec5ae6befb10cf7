// The calls of platform/files.h: those that look at or change files go to the active file services,
// the others straight to the host.
#include "platform/files.h"

#include "platform/disk.h"
#include "platform/file_layers/file_services.h"
#include "platform/host_files.h"

namespace platform {

bool PathExists(const std::string& path) { return ActiveFileServices().PathExists(path); }
bool IsFolder(const std::string& path) { return ActiveFileServices().IsFolder(path); }
bool IsReadOnlyFile(const std::string& path) { return ActiveFileServices().IsReadOnlyFile(path); }
std::optional<uint64_t> FileSize(const std::string& path) {
  return ActiveFileServices().FileSize(path);
}
std::vector<std::string> FolderEntryNames(const std::string& folder) {
  return ActiveFileServices().FolderEntryNames(folder);
}
bool CreateFolder(const std::string& path) { return ActiveFileServices().CreateFolder(path); }
bool RemoveFile(const std::string& path) { return ActiveFileServices().RemoveFile(path); }
bool MovePath(const std::string& from, const std::string& to) {
  return ActiveFileServices().MovePath(from, to);
}
bool ReplaceFileWith(const std::string& from, const std::string& to) {
  return ActiveFileServices().ReplaceFileWith(from, to);
}
FILE* OpenStream(const std::string& path, const char* mode) {
  return ActiveFileServices().OpenStream(path, mode);
}

std::optional<uint64_t> FreeDiskSpace(const std::string& folder) {
  return host::FreeDiskSpace(folder);
}
bool FlushToDisk(FILE* stream, std::optional<uint64_t> expectedSize) {
  return host::FlushStream(stream, expectedSize, host::FlushDepth::kToDisk);
}
bool FlushToSystem(FILE* stream, std::optional<uint64_t> expectedSize) {
  return host::FlushStream(stream, expectedSize, host::FlushDepth::kToSystem);
}
bool SetCurrentFolder(const std::string& path) { return host::SetCurrentFolder(path); }
std::string CurrentFolder() { return host::CurrentFolder(); }

}  // namespace platform
