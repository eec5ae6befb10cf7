// Throughput of CopyPatchFile on a 64 MiB file next to the system's own file copy (cp where the
// shell has it, otherwise the standard library's copy_file), as a ratio of the two.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "bench_support.h"
#include "patch/engine/copy_patch_file.h"

namespace {

constexpr size_t kFileSize = 64u * 1024 * 1024;
constexpr int kRounds = 9;

void WriteSource(const std::string& path) {
  std::vector<char> block(1 << 20);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>((i * 2654435761u) >> 13);
  std::ofstream out(path, std::ios::binary);
  for (size_t written = 0; written < kFileSize; written += block.size()) out.write(block.data(), block.size());
}

bool HaveCp() { return std::system("cp --version > /dev/null 2>&1") == 0; }

}  // namespace

int main() {
  bench::ScratchFolder folder("ovpatch-copy-bench");
  const std::string source = folder / "source.bgl";
  const std::string ours = folder / "ours.bgl";
  const std::string reference = folder / "reference.bgl";
  WriteSource(source);

  const bool cp = HaveCp();
  const std::string cpCommand = "cp '" + source + "' '" + reference + "'";
  bench::SilentView view;
  double bestOurs = 1e9, bestReference = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    std::filesystem::remove(ours);
    std::filesystem::remove(reference);
    bestOurs = std::min(bestOurs, bench::Seconds([&] {
                          if (CopyPatchFile(view, source, ours) != 0) std::exit(1);
                        }));
    bestReference = std::min(bestReference, bench::Seconds([&] {
                               if (cp) {
                                 if (std::system(cpCommand.c_str()) != 0) std::exit(1);
                               } else {
                                 std::filesystem::copy_file(source, reference);
                               }
                             }));
  }
  if (std::filesystem::file_size(ours) != kFileSize) return 1;
  const double mib = kFileSize / (1024.0 * 1024.0);
  std::printf("CopyPatchFile: %.1f MiB/s (best of %d)\n", mib / bestOurs, kRounds);
  std::printf("%s: %.1f MiB/s\n", cp ? "cp" : "copy_file", mib / bestReference);
  std::printf("ratio (CopyPatchFile / %s throughput): %.2f\n", cp ? "cp" : "copy_file",
              bestReference / bestOurs);
  return 0;
}
