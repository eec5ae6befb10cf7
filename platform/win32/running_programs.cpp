// platform/running_programs.h on Windows: the system's list of processes.
#include "platform/running_programs.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "platform/strings.h"
#include "platform/text.h"
#include "platform/win32/handles.h"
#include "platform/win32/name_index.h"

namespace platform {
namespace {

// `path` as a full path with long names, in the spelling two spellings of it share; "" when the
// file does not exist.
std::string ComparableLongPath(const std::string& path) {
  std::vector<char> full(MAX_PATH + 1), longName(MAX_PATH + 1);
  const DWORD fullLength =
      GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (fullLength == 0 || fullLength >= full.size()) return "";
  const DWORD longLength =
      GetLongPathNameA(full.data(), longName.data(), static_cast<DWORD>(longName.size()));
  if (longLength == 0 || longLength >= longName.size()) return "";
  return ComparablePath(longName.data(), TrailingSeparator::kDrop);
}

// The image file of process `id`; "" when it cannot be asked (a process of another user, or one
// that has ended).
std::string ProcessImage(DWORD id) {
  const win32::UniqueHandle process(
      win32::FromNullable(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)));
  if (!process.IsOpen()) return "";
  std::vector<char> image(32768);
  DWORD size = static_cast<DWORD>(image.size());
  if (!QueryFullProcessImageNameA(process.Get(), 0, image.data(), &size)) return "";
  return std::string(image.data(), size);
}

}  // namespace

bool ProgramFileRunning(const std::string& exePath) {
  const std::string wanted = ComparableLongPath(win32::SpellAsOnDisk(exePath).path);
  if (wanted.empty()) return false;
  const std::string wantedName = UpperCase(LastPathComponent(wanted));
  const win32::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.IsOpen()) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.Get(), &entry); more;
       more = Process32Next(snapshot.Get(), &entry)) {
    // The list names each process's file; only those of the wanted name are asked for their path.
    if (UpperCase(entry.szExeFile) != wantedName) continue;
    const std::string image = ProcessImage(entry.th32ProcessID);
    if (!image.empty() && ComparableLongPath(image) == wanted) return true;
  }
  return false;
}

}  // namespace platform
