#include "platform/file_services.h"

#include "platform/files.h"
#include "platform/host_files.h"

namespace platform {
namespace {

class HostServices : public FileServices {
public:
  bool PathExists(const std::string& path) override { return host::PathExists(path); }
  bool IsFolder(const std::string& path) override { return host::IsFolder(path); }
  bool IsReadOnlyFile(const std::string& path) override { return host::IsReadOnlyFile(path); }
  bool FolderAcceptsChanges(const std::string& folder) override {
    return host::FolderAcceptsChanges(folder);
  }
  std::optional<uint64_t> FileSize(const std::string& path) override {
    return host::FileSize(path);
  }
  std::vector<std::string> FolderEntryNames(const std::string& folder) override {
    return host::FolderEntryNames(folder);
  }
  bool CreateFolder(const std::string& path) override { return host::CreateFolder(path); }
  bool RemoveFile(const std::string& path) override { return host::RemoveFile(path); }
  bool MovePath(const std::string& from, const std::string& to) override {
    return host::MovePath(from, to);
  }
  bool ReplaceFileWith(const std::string& from, const std::string& to) override {
    return host::ReplaceFileWith(from, to);
  }
  FILE* OpenStream(const std::string& path, const char* mode) override {
    return host::OpenStream(path, mode);
  }
  bool ChangesHostFiles() const override { return true; }
};

FileServices* g_activeServices = nullptr;

}  // namespace

FileServices& HostFileServices() {
  static HostServices services;
  return services;
}

FileServices& ActiveFileServices() {
  return g_activeServices ? *g_activeServices : HostFileServices();
}

ScopedFileServices::ScopedFileServices(FileServices& services) : previous_(g_activeServices) {
  g_activeServices = &services;
}

ScopedFileServices::~ScopedFileServices() { g_activeServices = previous_; }

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
void NoteAppend(const std::string& path, const std::string& what) {
  ActiveFileServices().NoteAppend(path, what);
}

std::optional<uint64_t> FreeDiskSpace(const std::string& folder) {
  return host::FreeDiskSpace(folder);
}
bool FlushToDisk(FILE* stream, std::optional<uint64_t> expectedSize) {
  return host::FlushToDisk(stream, expectedSize, true);
}
bool FlushToSystem(FILE* stream, std::optional<uint64_t> expectedSize) {
  return host::FlushToDisk(stream, expectedSize, false);
}
bool SetCurrentFolder(const std::string& path) { return host::SetCurrentFolder(path); }
std::string CurrentFolder() { return host::CurrentFolder(); }

}  // namespace platform
