// Throughput of CopyPatchFile, which flushes every file it writes to the disk before putting it in
// place, next to the standard library's copy_file without and with that flush (baselines measured
// in the same run): one 64 MiB file, and 100 files of 256 KiB as a patch set holds them.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "bench_support.h"
#include "patch/engine/copy_patch_file.h"
#include "platform/files.h"

namespace {

constexpr int kRounds = 5;

void WriteSource(const std::string& path, size_t size) {
  std::vector<char> block(std::min<size_t>(size, 1 << 20));
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>((i * 2654435761u) >> 13);
  std::ofstream out(path, std::ios::binary);
  for (size_t written = 0; written < size; written += block.size())
    out.write(block.data(), block.size());
}

// The system's copy, then the same flush to disk that CopyPatchFile does.
void CopyFileAndFlush(const std::string& source, const std::string& destination) {
  std::filesystem::copy_file(source, destination);
  FILE* stream = platform::OpenStream(destination, "r+b");
  if (!stream || !platform::FlushToDisk(stream)) std::exit(1);
  std::fclose(stream);
}

struct Timings {
  double ours = 1e9, copyFile = 1e9, copyFileFlushed = 1e9;
};

// Best of kRounds for `count` files of `size` bytes each.
Timings Measure(bench::ScratchFolder& folder, size_t size, int count) {
  const std::string source = folder / "source.bgl";
  WriteSource(source, size);
  bench::SilentView view;
  Timings best;
  auto copies = [&](const char* name, auto&& copy) {
    std::filesystem::remove_all(folder / name);
    std::filesystem::create_directory(folder / name);
    return bench::Seconds([&] {
      for (int i = 0; i < count; ++i)
        copy(folder / (std::string(name) + "/" + std::to_string(i) + ".bgl"));
    });
  };
  for (int round = 0; round < kRounds; ++round) {
    best.ours = std::min(best.ours, copies("ours", [&](const std::string& to) {
                           if (CopyPatchFile(view, source, to) != 0) std::exit(1);
                         }));
    best.copyFile = std::min(best.copyFile, copies("plain", [&](const std::string& to) {
                               std::filesystem::copy_file(source, to);
                             }));
    best.copyFileFlushed =
        std::min(best.copyFileFlushed,
                 copies("flushed", [&](const std::string& to) { CopyFileAndFlush(source, to); }));
  }
  if (std::filesystem::file_size(folder / "ours/0.bgl") != size) std::exit(1);
  return best;
}

void Report(const char* what, size_t size, int count, const Timings& t) {
  const double mib = static_cast<double>(size) * count / (1024.0 * 1024.0);
  std::printf("%s: CopyPatchFile %.1f MiB/s, copy_file %.1f MiB/s, copy_file + flush %.1f MiB/s\n",
              what, mib / t.ours, mib / t.copyFile, mib / t.copyFileFlushed);
  std::printf("  ratio CopyPatchFile / copy_file time: %.2f; / copy_file + flush time: %.2f\n",
              t.ours / t.copyFile, t.ours / t.copyFileFlushed);
}

}  // namespace

int main() {
  bench::ScratchFolder folder("ovpatch-copy-bench");
  const size_t big = 64u * 1024 * 1024;
  Report("one 64 MiB file", big, 1, Measure(folder, big, 1));
  const size_t small = 256u * 1024;
  Report("100 files of 256 KiB", small, 100, Measure(folder, small, 100));
  return 0;
}
