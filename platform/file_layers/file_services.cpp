#include "platform/file_layers/file_services.h"

#include "platform/disk.h"
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

}  // namespace platform
