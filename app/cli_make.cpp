#include "app/cli_make.h"

#include "app/cli_session.h"
#include "patch/authoring/patch_maker.h"
#include "platform/files.h"

namespace {

constexpr int kCliCouldNotWrite = 1;

// "1 folder", "3 folders".
std::string Count(size_t count, const std::string& what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

int RunMakeCommand(const CliOptions& options, std::ostream& out, std::ostream& err) {
  const std::string folder = options.out ? *options.out : platform::CurrentFolder();
  if (std::string problem = PatchFolderProblem(folder); !problem.empty()) {
    err << "ovpatch-cli make: " << problem << "\n";
    return kCliUsageError;
  }
  const PatchDraft draft = DraftPatch(
      {*options.original, *options.patched, *options.product, *options.title, options.identify});
  if (!draft.error.empty()) {
    err << "ovpatch-cli make: " << draft.error << "\n";
    return kCliUsageError;
  }
  if (!draft.refused.empty()) {
    out << "The list files cannot express " << Count(draft.refused.size(), "change")
        << "; nothing was written:\n";
    for (const RefusedChange& change : draft.refused) out << RefusedChangeLine(change) << "\n";
    return kCliRanWithMessages;
  }
  if (draft.ChangesNothing()) {
    out << "The folders " << *options.original << " and " << *options.patched
        << " do not differ: there is nothing to patch; nothing was written.\n";
    return kCliRanWithMessages;
  }
  if (std::string failure = WritePatchFolder(draft, folder); !failure.empty()) {
    err << "ovpatch-cli make: " << failure << "\n";
    return kCliCouldNotWrite;
  }
  out << "Patch written to " << folder << ": " << Count(draft.folders.size(), "folder") << ", "
      << Count(draft.renames.size(), "rename") << ", " << Count(draft.backups.size(), "backup")
      << ", " << Count(draft.installs.size(), "install") << ", "
      << Count(draft.removals.size(), "removal") << ", " << Count(draft.ReplacementBytes(), "byte")
      << " of replacement files.\n";
  return kCliDone;
}
