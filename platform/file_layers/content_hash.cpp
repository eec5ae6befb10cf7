#include "platform/file_layers/content_hash.h"

#include <cstring>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "platform/stream_io.h"

namespace platform {

// content_hash_avx2.cpp: the same XXH3 for processors with AVX2 (the state is the same struct, and
// every variant of XXH3 gives the same hash).
namespace content_hash_avx2 {
bool Usable();
void Update(void* state, const void* data, size_t size);
}  // namespace content_hash_avx2

namespace {
bool HashWithAvx2() {
  static const bool usable = content_hash_avx2::Usable();
  return usable;
}
}  // namespace

struct ContentHasher::State {
  XXH3_state_t xxh;
};

ContentHasher::ContentHasher() : state_(std::make_unique<State>()) {
  XXH3_128bits_reset(&state_->xxh);
}

ContentHasher::~ContentHasher() = default;

void ContentHasher::Add(const void* data, size_t size) {
  if (HashWithAvx2())
    content_hash_avx2::Update(&state_->xxh, data, size);
  else
    XXH3_128bits_update(&state_->xxh, data, size);
  size_ += size;
}

ContentStamp ContentHasher::Stamp() const {
  const XXH128_hash_t hash = XXH3_128bits_digest(&state_->xxh);
  char text[33];
  std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(hash.high64),
                static_cast<unsigned long long>(hash.low64));
  return {size_, text};
}

ContentStamp StampOfBytes(const std::string& bytes) {
  ContentHasher hasher;
  hasher.Add(bytes.data(), bytes.size());
  return hasher.Stamp();
}

std::optional<ContentStamp> StampOfFile(Disk& disk, const std::string& path) {
  if (!disk.FileSize(path)) return std::nullopt;
  const UniqueStream stream(disk.OpenToRead(path, true));
  if (!stream) return std::nullopt;
  setvbuf(stream.get(), nullptr, _IONBF, 0);  // read straight into the chunk
  static char chunk[64 * 1024];
  ContentHasher hasher;
  size_t count;
  while ((count = ReadBytes(stream.get(), chunk, sizeof chunk)) > 0) hasher.Add(chunk, count);
  if (ReadFailed(stream.get())) return std::nullopt;
  return hasher.Stamp();
}

std::optional<size_t> FirstWithSameBytes(Disk& disk, const std::string& path,
                                         const std::vector<std::string>& candidates) {
  const std::optional<std::uint64_t> size = disk.FileSize(path);
  if (!size) return std::nullopt;
  struct Candidate {
    size_t index;
    UniqueStream stream;
  };
  // Read straight into the chunks, without stream buffers.
  const auto openUnbuffered = [&disk](const std::string& file) {
    UniqueStream stream(disk.OpenToRead(file, true));
    if (stream) setvbuf(stream.get(), nullptr, _IONBF, 0);
    return stream;
  };
  std::vector<Candidate> matching;
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (disk.FileSize(candidates[i]) != size) continue;
    if (UniqueStream stream = openUnbuffered(candidates[i]))
      matching.push_back({i, std::move(stream)});
  }
  if (matching.empty()) return std::nullopt;
  const UniqueStream file = openUnbuffered(path);
  if (!file) return std::nullopt;
  // The first chunks are small, since files that differ mostly differ early.
  constexpr size_t kFirstChunk = 4 * 1024;
  constexpr size_t kChunk = 64 * 1024;
  static char chunkOfPath[kChunk], chunkOfCandidate[kChunk];
  for (size_t chunk = kFirstChunk;; chunk = kChunk) {
    const size_t count = ReadBytes(file.get(), chunkOfPath, chunk);
    if (ReadFailed(file.get())) return std::nullopt;
    std::erase_if(matching, [&](Candidate& candidate) {
      const size_t other = ReadBytes(candidate.stream.get(), chunkOfCandidate, chunk);
      return other != count || ReadFailed(candidate.stream.get()) ||
             std::memcmp(chunkOfPath, chunkOfCandidate, count) != 0;
    });
    if (matching.empty()) return std::nullopt;
    // A read comes back short only at the end: every file left ended here too.
    if (count < chunk) return matching.front().index;
  }
}

bool SameFileBytes(Disk& disk, const std::string& a, const std::string& b) {
  return FirstWithSameBytes(disk, a, {b}).has_value();
}

bool SameFileBytes(const std::string& a, const std::string& b) {
  return SameFileBytes(HostDisk(), a, b);
}

}  // namespace platform
