// A seeded, randomized check of a patch's life: installs and removals mixed with what happens to a
// patch folder and a simulator between them (an updated patch unpacked over the installed one, a
// backup deleted or damaged, a scenery file changed by the product's updater, the install record
// deleted while nothing is installed), with these invariants after every step:
// - no original is lost by the program: each file's latest own version (the product's) is in place
//   or in its backup, unless the user destroyed the only copy (deleted or damaged the backup of a
//   patched file);
// - verify never passes a removal that did not bring every file's own version back;
// - a run that shows no message leaves the disk so, and verify then passes;
// and so when a write fails part-way through a run (a copy, or the record itself).
// OVPATCH_RANDOM_SEED repeats a run; OVPATCH_RANDOM_CASES sets how many lives it has.
#include <cstdlib>
#include <random>

#include "support/random_seed.h"

#include "engine_fixture.h"
#include "patch/audit/patch_verify.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"
#include "platform/files.h"

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

constexpr int kFiles = 3;
constexpr int kStepsPerLife = 14;

class InstallRecordLifecycleTest : public EngineFixture {
protected:
  // What the test knows of each scenery file the patch replaces.
  struct File {
    std::string own;          // the product's latest version of it
    std::string replacement;  // what the patch folder holds for it now
    bool lostByUser = false;  // its only copy of `own` was destroyed by the user
  };
  File files[kFiles];
  bool installed = false;
  std::mt19937 rng;
  int version = 0;

  std::string Name(int i) { return "Scenery\\F" + std::to_string(i); }
  std::string FsFile(int i) { return Fs(Name(i) + ".BGL"); }
  std::string Backup(int i) { return App("F" + std::to_string(i) + "_ORIG.BGL"); }
  std::string Replacement(int i) { return App("F" + std::to_string(i) + "_NEW.BGL"); }
  std::string Fresh(const std::string& what) { return what + " v" + std::to_string(++version); }
  bool Chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; }

  void StartLife() {
    for (int i = 0; i < kFiles; ++i) {
      std::filesystem::remove(testsupport::HostPath(Backup(i)));
      files[i] = {Fresh("own " + std::to_string(i)), Fresh("patched " + std::to_string(i))};
      WriteFile(FsFile(i), files[i].own);
      WriteFile(Replacement(i), files[i].replacement);
    }
    std::filesystem::remove(testsupport::HostPath(App("OVPATCH.REC")));
    installed = false;
  }

  // The disk as the patch says it should be now.
  bool DiskAsThePatchSays() {
    for (int i = 0; i < kFiles; ++i) {
      const std::string now = ReadFile(FsFile(i));
      if (installed ? now != files[i].replacement : now != files[i].own) return false;
    }
    return true;
  }

  void ExpectNoOriginalLost(const std::string& when) {
    for (int i = 0; i < kFiles; ++i) {
      if (files[i].lostByUser) continue;
      const bool inPlace = ReadFile(FsFile(i)) == files[i].own;
      const bool backedUp = testsupport::FileExists(Backup(i)) && ReadFile(Backup(i)) == files[i].own;
      EXPECT_TRUE(inPlace || backedUp) << "the own version of F" << i << " is lost " << when;
    }
  }

  // Runs an install or removal and checks what verify says of the disk it leaves. Now and then a
  // write fails part-way (a full disk), a copy's or the install record's alike.
  void Run(bool install, std::string& trace) {
    view.messages.clear();
    // Only while a record exists: without one, the files' contents decide as before the record
    // was kept, and a run cut short there can leave what no rule tells apart.
    if (testsupport::FileExists(App("OVPATCH.REC")) && Chance(20)) {
      const int skip = std::uniform_int_distribution<int>(0, 12)(rng);
      trace += "(write " + std::to_string(skip) + " fails)";
      platform::InjectStreamFault(platform::StreamFault::Write, skip);
    }
    VersionedDisk versioned;
    platform::Disk& disk = Chance(50) ? versioned : platform::HostDisk();
    OperationOutcome outcome;
    if (install)
      InstallPatch(context, view, outcome, disk);
    else
      RemovePatch(context, view, outcome, disk);
    platform::ClearStreamFaults();
    installed = install;
    const bool quiet = view.messages.empty();
    const bool asSaid = DiskAsThePatchSays();
    const bool verified = VerifyPatch(context, platform::HostDisk(), install).failures.empty();
    const char* what = install ? "install" : "removal";
    // After an install verify holds the disk to what the installs wrote, which a run cut short
    // may leave older than the patch folder's files; after a removal, to the originals.
    if (verified && !install) {
      EXPECT_TRUE(asSaid) << "verify passed a disk the removal did not leave";
    }
    if (quiet) {
      EXPECT_TRUE(asSaid) << "the " << what << " said nothing, yet left the disk otherwise";
      EXPECT_TRUE(verified) << "the " << what << " said nothing, yet verify fails";
    }
  }

  void Step(std::string& trace) {
    const int i = std::uniform_int_distribution<int>(0, kFiles - 1)(rng);
    File& file = files[i];
    switch (std::uniform_int_distribution<int>(0, 6)(rng)) {
      case 0:
      case 1:
        trace += " apply";
        Run(true, trace);
        break;
      case 2:
        trace += " remove";
        Run(false, trace);
        break;
      case 3:  // an updated patch unpacked over the patch folder
        trace += " update-patch" + std::to_string(i);
        file.replacement = Fresh("patched " + std::to_string(i));
        WriteFile(Replacement(i), file.replacement);
        break;
      case 4:  // the product's updater replaces its file, whatever it held
        trace += " update-product" + std::to_string(i);
        file.own = Fresh("own " + std::to_string(i));
        file.lostByUser = false;
        WriteFile(FsFile(i), file.own);
        if (installed) installed = false;  // the patch is no longer whole: a removal is next
        break;
      case 5:  // a backup deleted or damaged by the user
        if (Chance(50)) {
          trace += " delete-backup" + std::to_string(i);
          std::filesystem::remove(testsupport::HostPath(Backup(i)));
        } else if (testsupport::FileExists(Backup(i))) {
          trace += " damage-backup" + std::to_string(i);
          WriteFile(Backup(i), ReadFile(Backup(i)).substr(0, 3) + "damage");
        }
        if (ReadFile(FsFile(i)) != file.own) file.lostByUser = true;
        break;
      case 6:  // the record deleted while the simulator holds nothing of the patch
        if (!installed && DiskAsThePatchSays()) {
          trace += " delete-record";
          std::filesystem::remove(testsupport::HostPath(App("OVPATCH.REC")));
        }
        break;
    }
    ExpectNoOriginalLost("after" + trace);
  }
};

TEST_F(InstallRecordLifecycleTest, NoUpdateDamagedBackupOrChangedFileCostsAnOriginal) {
  testsupport::MakeDirs(Fs("Scenery"));
  WriteFile(Fs("SCENERY.CFG"), "[General]\r\n");
  std::string bak, inst;
  for (int i = 0; i < kFiles; ++i) {
    bak += testsupport::ColumnLine({Name(i), "F" + std::to_string(i) + "_ORIG"}) + "\r\n";
    inst += testsupport::ColumnLine({Name(i), "F" + std::to_string(i) + "_NEW", Name(i)}) + "\r\n";
  }
  Write("BAK.OV", bak);
  Write("INST.OV", inst);

  const uint32_t seed = testsupport::SeedOfThisRun();
  const int lives = testsupport::CasesOfThisRun(30);
  for (int life = 0; life < lives && !HasFailure(); ++life) {
    const uint32_t lifeSeed = seed + static_cast<uint32_t>(life);
    SCOPED_TRACE("OVPATCH_RANDOM_SEED=" + std::to_string(lifeSeed) + " OVPATCH_RANDOM_CASES=1");
    rng.seed(lifeSeed);
    StartLife();
    std::string trace;
    for (int step = 0; step < kStepsPerLife && !HasFailure(); ++step) Step(trace);
    if (HasFailure()) ADD_FAILURE() << "steps:" << trace;
  }
  if (HasFailure()) ADD_FAILURE() << "seed of this run: " << seed;
}

}  // namespace
