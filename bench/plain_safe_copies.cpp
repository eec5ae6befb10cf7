// The copies of an apply or a removal of the large patch (large_patch.h), made the plainest way
// that gives the program's guarantee on Windows: each copy is written to a new file beside its
// target, flushed to the disk, and moved over the target with write-through. The baseline that
// bench/windows_vs_plain.sh times ovpatch-cli.exe against.
//
//   plain_safe_copies.exe apply|remove TREE [N]
//       TREE holds FS2004\ and patch\ as `bench_install_removal_time --generate` writes them;
//       N patched files (default 2000). apply: every backup, then every replacement over the
//       simulator's file; remove: every backup back over the simulator's file.
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

// Copies `from` over `to` through a new file beside `to`.
void SafeCopy(const std::string& from, const std::string& to) {
  static char buffer[64 * 1024];
  const std::string scratch = to.substr(0, to.size() - 1) + "~";
  UniqueHandle in(CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in.IsOpen()) Fail("opening", from);
  UniqueHandle out(CreateFileA(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.IsOpen()) Fail("creating", scratch);
  for (;;) {
    DWORD read = 0, written = 0;
    if (!ReadFile(in.Get(), buffer, sizeof buffer, &read, nullptr)) Fail("reading", from);
    if (read == 0) break;
    if (!WriteFile(out.Get(), buffer, read, &written, nullptr) || written != read)
      Fail("writing", scratch);
  }
  if (!FlushFileBuffers(out.Get())) Fail("flushing", scratch);
  if (!out.Close()) Fail("closing", scratch);
  in.Close();
  if (!MoveFileExA(scratch.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Fail("moving over", to);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode != "apply" && mode != "remove") {
    std::fprintf(stderr, "usage: plain_safe_copies.exe apply|remove TREE [N]\n");
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
  if (mode == "apply") {
    for (int i = 0; i < files; ++i) SafeCopy(simulatorFile(i), backup(i));
    for (int i = 0; i < files; ++i)
      SafeCopy(patch + bench::PatchedFileName(i) + ".BGL", simulatorFile(i));
  } else {
    for (int i = 0; i < files; ++i) SafeCopy(backup(i), simulatorFile(i));
  }
  return 0;
}
