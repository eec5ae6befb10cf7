// Apply and remove of a patch of a real add-on's size (2000 backups, 2000 installs, 2000 restores
// of 64 KiB files) into a scenery folder of 2000 and of 20000 files, through ovpatch-cli's own
// session in this process, next to the same copies made by a plain copy loop; printed as ratios.
//
//   bench_install_removal_time [ROUNDS]     (default 3; the best round of each is kept)
//   bench_install_removal_time --generate DIR M [N]
//       only writes the patch for a folder of M files into DIR (FS2004/ and patch/), for runs by
//       hand or of other programs; N patched files instead of 2000
//   bench_install_removal_time --plain DIR M [N]
//       writes that patch into DIR and times only the plain copies of its apply and remove, each
//       copy put on the disk, best of 3 rounds: prints "plain APPLY_S REMOVE_S" (for
//       ovpatch_exe_time.sh)
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>
#include <vector>

#include "app/cli_options.h"
#include "app/cli_session.h"
#include "bench_support.h"
#include "large_patch.h"

namespace {

// What a small program does to copy a file: open both, read and write 64 KiB at a time, close;
// with `flush`, the copy is put on the disk before it is closed.
void PlainCopy(const std::string& from, const std::string& to, bool flush) {
  static char buffer[64 * 1024];
  const int in = open(from.c_str(), O_RDONLY);
  const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (in < 0 || out < 0) {
    std::fprintf(stderr, "cannot copy %s to %s\n", from.c_str(), to.c_str());
    std::exit(1);
  }
  for (ssize_t n; (n = read(in, buffer, sizeof buffer)) > 0;) {
    if (write(out, buffer, static_cast<size_t>(n)) != n) std::exit(1);
  }
  if (flush && fsync(out) != 0) std::exit(1);
  close(in);
  close(out);
}

// How the copies are put on the disk: not at all (left to the system), each file before it is
// closed, all at once at the end (one sync of the file system), or as the program's guarantee asks:
// each copy made as a new file beside its target, one sync, then every new file renamed in place.
enum class Flush { None, EachFile, AtTheEnd, BesideThenRename };

void SyncFileSystemOf(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0 || syncfs(fd) != 0) std::exit(1);
  close(fd);
}

// Reads `fd` until `size` bytes or its end; the count read.
size_t ReadUpTo(int fd, char* buffer, size_t size) {
  size_t count = 0;
  for (ssize_t n; count < size && (n = read(fd, buffer + count, size - count)) > 0;)
    count += static_cast<size_t>(n);
  return count;
}

// Opens `path` for reading; stops the benchmark when it cannot.
int OpenToRead(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    std::exit(1);
  }
  return fd;
}

// The program's content check before a copy, made plainly: `file` against each of `others`, first
// 4 KiB, then the rest of the files still alike. True when one of them holds the same bytes.
bool PlainContentCheck(const std::string& file, const std::vector<std::string>& others) {
  constexpr size_t kFirst = 4096;
  static char mine[bench::kPatchedFileSize + 1], theirs[bench::kPatchedFileSize + 1];
  const int in = OpenToRead(file);
  std::vector<int> alike;
  for (const std::string& other : others) alike.push_back(OpenToRead(other));
  size_t count = ReadUpTo(in, mine, kFirst);
  for (size_t chunk = kFirst;; chunk = sizeof mine) {
    std::erase_if(alike, [&](int fd) {
      const bool differs = ReadUpTo(fd, theirs, chunk) != count || memcmp(mine, theirs, count) != 0;
      if (differs) close(fd);
      return differs;
    });
    if (alike.empty() || count < chunk) break;
    count = ReadUpTo(in, mine, sizeof mine);
  }
  close(in);
  for (int fd : alike) close(fd);
  return !alike.empty();
}

// One copy, and the content check the program makes before it: the simulator's file against
// `checkedAgainst`, which finds the same bytes or not as `expectSame` says.
struct PlainCopyStep {
  std::string from, to;
  std::string simulatorFile;
  std::vector<std::string> checkedAgainst;
  bool expectSame = false;
};

// One run of copies: in place, or beside each target (its name with the last character replaced
// by '~', as the program names it) and renamed in place after one sync; with `checks`, each after
// its content check.
void PlainCopies(const std::vector<PlainCopyStep>& copies, const std::string& folder, Flush flush,
                 bool checks) {
  const bool beside = flush == Flush::BesideThenRename;
  for (const PlainCopyStep& copy : copies) {
    if (checks &&
        PlainContentCheck(copy.simulatorFile, copy.checkedAgainst) != copy.expectSame) {
      std::fprintf(stderr, "the content check of %s went wrong\n", copy.simulatorFile.c_str());
      std::exit(1);
    }
    const std::string& to = copy.to;
    PlainCopy(copy.from, beside ? to.substr(0, to.size() - 1) + "~" : to,
              flush == Flush::EachFile);
  }
  if (!beside) return;
  SyncFileSystemOf(folder);
  for (const PlainCopyStep& copy : copies) {
    const std::string& to = copy.to;
    if (rename((to.substr(0, to.size() - 1) + "~").c_str(), to.c_str()) != 0) std::exit(1);
  }
}

// The copies of an apply: every backup (after checking that the simulator's file is not the
// replacement already), then every replacement over the simulator's file (after checking that it
// holds its backup or the replacement).
void PlainApplyCopies(const bench::LargePatch& patch, Flush flush, bool checks = false) {
  std::vector<PlainCopyStep> backups, installs;
  for (const bench::PatchedFile& file : patch.files) {
    backups.push_back(
        {file.simulatorFile, file.backup, file.simulatorFile, {file.replacement}, false});
    installs.push_back({file.replacement, file.simulatorFile, file.simulatorFile,
                        {file.backup, file.replacement}, true});
  }
  PlainCopies(backups, patch.patchFolder, flush, checks);
  PlainCopies(installs, patch.patchFolder, flush, checks);
  if (flush == Flush::AtTheEnd) SyncFileSystemOf(patch.patchFolder);
}

// The copies of a removal: every backup back over the simulator's file (after checking that it
// holds its backup or the replacement).
void PlainRemoveCopies(const bench::LargePatch& patch, Flush flush, bool checks = false) {
  std::vector<PlainCopyStep> restores;
  for (const bench::PatchedFile& file : patch.files)
    restores.push_back({file.backup, file.simulatorFile, file.simulatorFile,
                        {file.backup, file.replacement}, true});
  PlainCopies(restores, patch.patchFolder, flush, checks);
  if (flush == Flush::AtTheEnd) SyncFileSystemOf(patch.patchFolder);
}

// Seconds taken by `work`, started with nothing left to write to the disk, so that no side pays
// for what the one before left in the system's cache.
template <typename Work>
double TimedFromClean(Work&& work) {
  sync();
  return bench::Seconds(std::forward<Work>(work));
}

// Backups are never overwritten, so they go before each apply to make it take them again. They
// are moved aside, not deleted: on some file systems (ext4 without a journal) every recently
// freed inode slows each later file creation, which would load whichever side runs later.
void MoveBackupsAside(const bench::LargePatch& patch, const std::string& aside) {
  static int batch = 0;
  const std::filesystem::path folder = std::filesystem::path(aside) / std::to_string(++batch);
  std::filesystem::create_directories(folder);
  for (const bench::PatchedFile& file : patch.files) {
    std::error_code missing;
    std::filesystem::rename(file.backup, folder / std::filesystem::path(file.backup).filename(), missing);
  }
}

void RunCli(const bench::LargePatch& patch, CliCommand command) {
  CliOptions options;
  options.patchDir = patch.patchFolder;
  options.command = command;
  std::ostringstream out, err;
  const int status = RunCliSession(options, out, err);
  if (status != kCliDone) {
    std::fprintf(stderr, "ovpatch-cli %s ended with %d:\n%s", command == CliCommand::Apply ? "apply" : "remove",
                 status, err.str().c_str());
    std::exit(1);
  }
}

// Samples every 97th patched file: replaced after an apply, original again after a removal.
void Check(const bench::LargePatch& patch, bool applied) {
  for (size_t i = 0; i < patch.files.size(); i += 97) {
    std::ifstream in(patch.files[i].simulatorFile, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes != bench::PatchedBytes(static_cast<int>(i), applied)) {
      std::fprintf(stderr, "%s has the wrong bytes after %s\n", patch.files[i].simulatorFile.c_str(),
                   applied ? "apply" : "remove");
      std::exit(1);
    }
  }
}

// Bytes this process has read through the system so far (rchar of /proc/self/io).
uint64_t BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  uint64_t value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return 0;
}

struct Times {
  double apply = 1e9, remove = 1e9;
  uint64_t removeBytesRead = 0;  // by the program's last removal
  double plainApply = 1e9, plainRemove = 1e9;    // left to the system to write
  double syncedApply = 1e9, syncedRemove = 1e9;  // then one sync of the file system
  double safeApply = 1e9, safeRemove = 1e9;      // beside each target, one sync, renamed in place
  double checkedApply = 1e9, checkedRemove = 1e9;  // safe, after the program's content checks
  // Ours against safe within each round: the machine's speed drifts between rounds, and a
  // round's two sides share it.
  std::vector<double> roundApplyRatios, roundRemoveRatios;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void KeepBest(double& best, double seconds) { best = std::min(best, seconds); }

// One round: the plain copies and the program's apply and remove, in alternating order.
void Round(const bench::LargePatch& patch, const std::string& aside, bool plainFirst, Times& best) {
  double oursApply = 0, oursRemove = 0, safeApply = 0, safeRemove = 0;
  auto plain = [&] {
    MoveBackupsAside(patch, aside);
    KeepBest(best.plainApply, TimedFromClean([&] { PlainApplyCopies(patch, Flush::None); }));
    KeepBest(best.plainRemove, TimedFromClean([&] { PlainRemoveCopies(patch, Flush::None); }));
    MoveBackupsAside(patch, aside);
    KeepBest(best.syncedApply, TimedFromClean([&] { PlainApplyCopies(patch, Flush::AtTheEnd); }));
    KeepBest(best.syncedRemove,
             TimedFromClean([&] { PlainRemoveCopies(patch, Flush::AtTheEnd); }));
    MoveBackupsAside(patch, aside);
    safeApply = TimedFromClean([&] { PlainApplyCopies(patch, Flush::BesideThenRename); });
    KeepBest(best.safeApply, safeApply);
    safeRemove = TimedFromClean([&] { PlainRemoveCopies(patch, Flush::BesideThenRename); });
    KeepBest(best.safeRemove, safeRemove);
    MoveBackupsAside(patch, aside);
    KeepBest(best.checkedApply,
             TimedFromClean([&] { PlainApplyCopies(patch, Flush::BesideThenRename, true); }));
    KeepBest(best.checkedRemove,
             TimedFromClean([&] { PlainRemoveCopies(patch, Flush::BesideThenRename, true); }));
  };
  auto ours = [&] {
    MoveBackupsAside(patch, aside);
    oursApply = TimedFromClean([&] { RunCli(patch, CliCommand::Apply); });
    KeepBest(best.apply, oursApply);
    Check(patch, true);
    const uint64_t readBefore = BytesReadSoFar();
    oursRemove = TimedFromClean([&] { RunCli(patch, CliCommand::Remove); });
    KeepBest(best.remove, oursRemove);
    best.removeBytesRead = BytesReadSoFar() - readBefore;
    Check(patch, false);
  };
  if (plainFirst) {
    plain();
    ours();
  } else {
    ours();
    plain();
  }
  best.roundApplyRatios.push_back(oursApply / safeApply);
  best.roundRemoveRatios.push_back(oursRemove / safeRemove);
}

// The best of 3 rounds of the plain copies of an apply and a removal of `patch`, each copy
// flushed as the Windows program flushes it.
void PrintPlainCopies(const bench::LargePatch& patch, const std::string& aside) {
  double apply = 1e9, remove = 1e9;
  for (int round = 0; round < 3; ++round) {
    MoveBackupsAside(patch, aside);
    KeepBest(apply, TimedFromClean([&] { PlainApplyCopies(patch, Flush::EachFile); }));
    KeepBest(remove, TimedFromClean([&] { PlainRemoveCopies(patch, Flush::EachFile); }));
  }
  std::printf("plain %.3f %.3f\n", apply, remove);
}

void PrintRow(int folderFiles, const char* operation, double ours, double plain, double synced,
              double safe, double checked) {
  std::printf("%-7d %-7s %7.3f %8.3f %6.2fx %9.3f %6.2fx %7.3f %6.2fx %9.3f %6.2fx\n", folderFiles,
              operation, ours, plain, ours / plain, synced, ours / synced, safe, ours / safe,
              checked, ours / checked);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if ((argc == 4 || argc == 5) && (mode == "--generate" || mode == "--plain")) {
    const std::filesystem::path root = std::filesystem::absolute(argv[2]);
    std::filesystem::create_directories(root);
    const int patchedFiles = argc == 5 ? std::atoi(argv[4]) : bench::kPatchedFiles;
    const bench::LargePatch patch =
        bench::MakeLargePatch(root.string(), std::atoi(argv[3]), patchedFiles);
    if (mode == "--plain") PrintPlainCopies(patch, (root / "aside").string());
    return 0;
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::printf("%d backups + %d installs, then %d restores, of %zu KiB files; best of %d rounds\n",
              bench::kPatchedFiles, bench::kPatchedFiles, bench::kPatchedFiles,
              bench::kPatchedFileSize / 1024, rounds);
  std::printf("plain: the same copies in place, left to the system to write; plain+sync: the same,\n"
              "then one sync of the file system, so that they are on the disk as the program's are;\n"
              "safe: each copy a new file beside its target, one sync, then renamed in place, as the\n"
              "program makes them (the baseline with the program's guarantee); +checks: safe, each\n"
              "copy after the content check the program makes before it\n");
  std::printf("%-7s %-7s %7s %8s %7s %9s %7s %7s %7s %9s %7s\n", "folder", "", "ours s", "plain s",
              "ratio", "+sync s", "ratio", "safe s", "ratio", "+checks s", "ratio");
  // Both trees first and nothing deleted before the end, for the reason given at MoveBackupsAside.
  bench::ScratchFolder scratch("ovpatch-install-bench");
  setenv("WINEPREFIX", (scratch / "wineprefix").c_str(), 1);  // no registry value: OVPATCH.INI names FS2004
  std::filesystem::create_directories(scratch / "wineprefix");
  const std::string cwd = std::filesystem::current_path().string();
  const int sizes[] = {2000, 20000};
  std::vector<bench::LargePatch> patches;
  for (int folderFiles : sizes)
    patches.push_back(bench::MakeLargePatch(scratch / std::to_string(folderFiles), folderFiles));
  Times times[2];
  for (int round = 0; round < rounds; ++round) {
    for (int i = 0; i < 2; ++i) {
      Round(patches[i], scratch / "aside", round % 2 == 0, times[i]);
      std::filesystem::current_path(cwd);
    }
  }
  for (int i = 0; i < 2; ++i) {
    PrintRow(sizes[i], "apply", times[i].apply, times[i].plainApply, times[i].syncedApply,
             times[i].safeApply, times[i].checkedApply);
    PrintRow(sizes[i], "remove", times[i].remove, times[i].plainRemove, times[i].syncedRemove,
             times[i].safeRemove, times[i].checkedRemove);
  }
  // A removal reads each installed file and each backup once: no replacement is read to decide.
  const double filesAndBackups = 2.0 * bench::kPatchedFiles * bench::kPatchedFileSize;
  for (const Times& time : times)
    std::printf("removal read %.1f MiB: %.3fx the bytes of the installed files and backups\n",
                time.removeBytesRead / 1048576.0, time.removeBytesRead / filesAndBackups);
  for (int i = 0; i < 2; ++i) {
    const std::vector<double>& apply = times[i].roundApplyRatios;
    const std::vector<double>& remove = times[i].roundRemoveRatios;
    std::printf("M=%d, ours against safe within each round, median of %d (lowest-highest): apply "
                "%.2fx (%.2f-%.2f), remove %.2fx (%.2f-%.2f)\n",
                sizes[i], rounds, Median(apply), *std::min_element(apply.begin(), apply.end()),
                *std::max_element(apply.begin(), apply.end()), Median(remove),
                *std::min_element(remove.begin(), remove.end()),
                *std::max_element(remove.begin(), remove.end()));
  }
  std::printf("M=20000 against M=2000: apply %.2fx, remove %.2fx\n", times[1].apply / times[0].apply,
              times[1].remove / times[0].remove);
  std::printf("aims: at most 1.5x safe, M=20000 at most 1.2x M=2000, a removal reading at most 1.05x\n");
  return 0;
}
