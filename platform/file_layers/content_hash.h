#pragma once
// The hash the install record keeps of each file it backs up or writes: XXH3 with 128 bits (the
// distribution's xxHash, used as a header on every host), as 32 hex digits. It tells a file's
// bytes apart from any other file's, as a check of content; it is no defence against a forger.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_layers/disk_interface.h"

namespace platform {

// Hashes bytes handed to it piece by piece, as a copy reads them.
class ContentHasher {
public:
  ContentHasher();
  ~ContentHasher();
  ContentHasher(const ContentHasher&) = delete;
  ContentHasher& operator=(const ContentHasher&) = delete;

  void Add(const void* data, size_t size);
  // The stamp of every byte added so far.
  ContentStamp Stamp() const;

private:
  struct State;
  std::unique_ptr<State> state_;
  uint64_t size_ = 0;
};

// The stamp of the whole text `bytes`.
ContentStamp StampOfBytes(const std::string& bytes);

// The stamp of the file `path` on `disk`, read once; nullopt when it is no readable file.
std::optional<ContentStamp> StampOfFile(Disk& disk, const std::string& path);

// The index of the first of `candidates` that is a readable file with the same bytes as the
// readable file `path` on `disk`; nullopt when none is. Each file is opened and read once at most,
// and only as far as some candidate may still match.
std::optional<size_t> FirstWithSameBytes(Disk& disk, const std::string& path,
                                         const std::vector<std::string>& candidates);

// True when `a` and `b` are readable files with the same bytes on `disk`.
bool SameFileBytes(Disk& disk, const std::string& a, const std::string& b);

}  // namespace platform
