#include "patch/audit/patch_verify.h"

#include <cstdio>
#include <cstring>

#include "patch/engine/scenery_files.h"
#include "patch/engine/scenery_library.h"
#include "patch/lists/list_files.h"
#include "platform/files.h"
#include "platform/stream_io.h"
#include "platform/text.h"

namespace {

// True when both files can be read and hold the same bytes.
bool SameContent(const std::string& a, const std::string& b) {
  platform::UniqueStream first(platform::OpenStream(a, "rb"));
  platform::UniqueStream second(platform::OpenStream(b, "rb"));
  if (!first || !second) return false;
  char left[4096];
  char right[4096];
  for (;;) {
    const size_t n = std::fread(left, 1, sizeof left, first.get());
    const size_t m = std::fread(right, 1, sizeof right, second.get());
    if (n != m || std::memcmp(left, right, n) != 0) return false;
    if (n < sizeof left) return !std::ferror(first.get()) && !std::ferror(second.get());
  }
}

class Checker {
public:
  explicit Checker(PatchVerification& result) : result_(result) {}
  void Check(bool holds, const std::string& failure) {
    ++result_.checks;
    if (!holds) result_.failures.push_back(failure);
  }

private:
  PatchVerification& result_;
};

// The file `copy` equal to `original`.
void CheckCopy(Checker& checker, const std::string& copy, const std::string& original,
               const char* what, const char* ofWhat) {
  if (!platform::PathExists(copy)) {
    checker.Check(false, std::string(what) + " " + copy + " is missing");
    return;
  }
  if (!platform::PathExists(original)) {
    checker.Check(false, std::string(what) + " " + copy + " cannot be compared: its " + ofWhat +
                             " " + original + " is missing");
    return;
  }
  checker.Check(SameContent(copy, original),
                std::string(what) + " " + copy + " differs from its " + ofWhat + " " + original);
}

void CheckRenames(PatchContext& context, Checker& checker, bool installed) {
  ForEachListRecord("REN.OV", ListLayout::Column, [&](const std::string& line, int /*lineNumber*/) {
    const std::string first = ExtractColumn(line, kFirstColumn);
    const std::string second = ExtractColumn(line, kSecondColumn);
    // As the renames themselves: records with a missing or unchanged name do nothing.
    if (first.empty() || second.empty()) return;
    const std::string original = ResolvePatchPath(context, first);
    const std::string patched = ResolvePatchPath(context, second);
    if (SameFileName(original, patched)) return;
    const std::string& present = installed ? patched : original;
    const std::string& gone = installed ? original : patched;
    const char* state = installed ? "renamed" : "back";
    checker.Check(platform::PathExists(present),
                  std::string("not ") + state + ": " + present + " is missing");
    checker.Check(!platform::PathExists(gone),
                  std::string("not ") + state + ": " + gone + " is still there");
  });
}

void CheckInstalledFiles(PatchContext& context, Checker& checker) {
  ForEachListRecord("INST.OV", ListLayout::Column, [&](const std::string& line, int /*lineNumber*/) {
    const std::string name = ExtractColumn(line, kFirstColumn);
    const std::string replacement =
        ScenerySubPath(context.m_strAppDir, ExtractColumn(line, kSecondColumn), "BGL");
    const std::string target = ExtractColumn(line, kThirdColumn);
    const auto form = CurrentSceneryForm(context.m_strFsPath, name);
    if (!form) {
      checker.Check(false, "not installed: neither " +
                               ScenerySubPath(context.m_strFsPath, name, "BGL") +
                               " nor its .XXX form exists");
      return;
    }
    CheckCopy(checker, ScenerySubPath(context.m_strFsPath, target, *form), replacement,
              "installed file", "replacement");
  });
  ForEachListRecord("BAK.OV", ListLayout::Column, [&](const std::string& line, int /*lineNumber*/) {
    const std::string backup =
        ScenerySubPath(context.m_strAppDir, ExtractColumn(line, kSecondColumn), "BGL");
    checker.Check(platform::PathExists(backup), "backup " + backup + " is missing");
  });
}

void CheckExclusionArea(PatchContext& context, Checker& checker) {
  if (!platform::PathExists("CREATE.OV")) return;
  LoadSceneryAreas(context);
  const std::string wanted = platform::UpperCase(kExcludeAreaLocal);
  int count = 0;
  for (int n = 1; n <= kHighestAreaNumber; ++n)
    if (g_sceneryAreaTable[n].areaNumber != 0 &&
        platform::UpperCase(g_sceneryAreaTable[n].local) == wanted)
      ++count;
  checker.Check(count == 1, std::string("the exclusion area ") + kExcludeAreaLocal +
                                " is registered " + std::to_string(count) + " times in " +
                                context.m_strFsPath + "\\SCENERY.CFG, not once");
}

void CheckRemovedFiles(PatchContext& context, Checker& checker) {
  ForEachListRecord("BAK.OV", ListLayout::Column, [&](const std::string& line, int /*lineNumber*/) {
    const std::string name = ExtractColumn(line, kFirstColumn);
    const std::string backup =
        ScenerySubPath(context.m_strAppDir, ExtractColumn(line, kSecondColumn), "BGL");
    // Without a backup no install has replaced the file.
    if (!platform::PathExists(backup)) return;
    const auto form = CurrentSceneryForm(context.m_strFsPath, name);
    CheckCopy(checker, ScenerySubPath(context.m_strFsPath, name, form.value_or("BGL")), backup,
              "restored file", "backup");
  });
  ForEachListRecord("REM.OV", ListLayout::Column, [&](const std::string& line, int /*lineNumber*/) {
    const std::string name = ExtractColumn(line, kFirstColumn);
    for (const char* extension : {"BGL", "XXX"}) {
      const std::string path = ScenerySubPath(context.m_strFsPath, name, extension);
      checker.Check(!platform::PathExists(path), "not removed: " + path + " is still there");
    }
  });
}

}  // namespace

PatchVerification VerifyPatch(PatchContext& context, bool installed) {
  PatchVerification result;
  Checker checker(result);
  if (installed) {
    CheckInstalledFiles(context, checker);
    CheckRenames(context, checker, true);
    CheckExclusionArea(context, checker);
  } else {
    CheckRemovedFiles(context, checker);
    CheckRenames(context, checker, false);
  }
  return result;
}
