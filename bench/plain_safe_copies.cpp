// The copies of an apply or a removal of the large patch (large_patch.h), made the plainest ways
// that give the program's guarantee on Windows (a crash never leaves a damaged original). The
// baselines that bench/windows_vs_plain.sh times ovpatch-cli.exe against.
//
//   plain_safe_copies.exe apply|apply-direct|remove TREE [N]
//       TREE holds FS2004\ and patch\ as `bench_install_removal_time --generate` writes them;
//       N patched files (default 2000). apply: every backup, then every replacement over the
//       simulator's file, each copy written to a new file beside its target, flushed, and moved
//       over the target with write-through; apply-direct: the same, but each backup (a file that
//       does not exist yet) written directly and flushed, the cheapest way with that guarantee;
//       remove: every backup back over the simulator's file, as apply makes its copies.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/large_patch.h"
#include "platform/win32/handles.h"

namespace {

using platform::win32::UniqueHandle;

[[noreturn]] void Fail(const char* what, const std::string& path) {
  std::fprintf(stderr, "plain_safe_copies: %s %s failed (error %lu)\n", what, path.c_str(),
               GetLastError());
  std::exit(1);
}

// Copies `from` to the file `to`, created with `creation` (CREATE_ALWAYS, CREATE_NEW), and puts
// it on the disk.
void FlushedCopy(const std::string& from, const std::string& to, DWORD creation) {
  static char buffer[64 * 1024];
  UniqueHandle in(CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in.IsOpen()) Fail("opening", from);
  UniqueHandle out(
      CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.IsOpen()) Fail("creating", to);
  for (;;) {
    DWORD read = 0, written = 0;
    if (!ReadFile(in.Get(), buffer, sizeof buffer, &read, nullptr)) Fail("reading", from);
    if (read == 0) break;
    if (!WriteFile(out.Get(), buffer, read, &written, nullptr) || written != read)
      Fail("writing", to);
  }
  if (!FlushFileBuffers(out.Get())) Fail("flushing", to);
  if (!out.Close()) Fail("closing", to);
}

// Copies `from` over `to` through a new file beside `to`.
void SafeCopy(const std::string& from, const std::string& to) {
  const std::string scratch = to.substr(0, to.size() - 1) + "~";
  FlushedCopy(from, scratch, CREATE_ALWAYS);
  if (!MoveFileExA(scratch.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Fail("moving over", to);
}

// Copies `from` to `to`, which must not exist yet: a crash can leave only an unfinished new file.
void NewFileCopy(const std::string& from, const std::string& to) {
  FlushedCopy(from, to, CREATE_NEW);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode != "apply" && mode != "apply-direct" && mode != "remove") {
    std::fprintf(stderr, "usage: plain_safe_copies.exe apply|apply-direct|remove TREE [N]\n");
    return 2;
  }
  const std::string tree = argv[2];
  const int files = argc > 3 ? std::atoi(argv[3]) : bench::kPatchedFiles;
  std::string scenery = tree + "\\FS2004\\" + bench::kProductSceneryFolder;
  for (char& c : scenery)
    if (c == '/') c = '\\';
  const std::string patch = tree + "\\patch\\";
  const auto simulatorFile = [&](int i) {
    return scenery + "\\" + bench::PatchedFileName(i) + (bench::PatchedFileDisabled(i) ? ".XXX" : ".bgl");
  };
  const auto backup = [&](int i) { return patch + bench::PatchedFileName(i) + "_ORIG.BGL"; };
  if (mode == "apply" || mode == "apply-direct") {
    const auto backUp = mode == "apply" ? SafeCopy : NewFileCopy;
    for (int i = 0; i < files; ++i) backUp(simulatorFile(i), backup(i));
    for (int i = 0; i < files; ++i)
      SafeCopy(patch + bench::PatchedFileName(i) + ".BGL", simulatorFile(i));
  } else {
    for (int i = 0; i < files; ++i) SafeCopy(backup(i), simulatorFile(i));
  }
  return 0;
}
