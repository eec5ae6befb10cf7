#pragma once
// The main dialog (template 102): start-up, apply or remove on a click of "Apply Patch", the two
// folder changes, the system-menu About item and the minimised icon. It owns the run's
// PatchContext and is the PatchView through which the patch logic reaches the user.
#include <cstdint>

#include <optional>

#include "patch/context/patch_context.h"
#include "patch/engine/operation_outcome.h"
#include "patch/patch_view.h"
#include "platform/file_layers/disk_interface.h"
#include "ui/framework/dialog.h"

class CPatchDlg : public CDialog, public PatchView {
public:
  // Every file the dialog's operations look at or change is reached through `disk`.
  explicit CPatchDlg(CDialog* parent = nullptr, platform::Disk& disk = platform::HostDisk());
  ~CPatchDlg() override;

  // Window set-up, context start-up and the start-up chain (scenery check, search list, product),
  // then the controls show the context; the status line says when another instance is changing
  // the same folders (start-up then writes nothing). Returns true (focus to the first tab stop).
  bool InitializeDialog() override;
  // "Apply Patch" clicked: installs when the box is now ticked, removes when clear, and records
  // the state; the status line ends saying so, or that messages were shown on the way. A click
  // while an install or removal is running (in this instance or, with a "Warning", in another on
  // the same folders), or while the FS2004 folder has no SCENERY.CFG, is refused and the tick put
  // back; so is one that a foreseeable cause would leave half done (FindRunObstacles: a "Warning"
  // lists the causes, nothing is changed).
  void ApplyOrRemovePatch();
  // "Change FS2004 Path": picks, remembers and checks a new FS2004 folder. The two folder changes
  // are refused with a "Warning" while another instance changes the same folders.
  void ChangeFsPath();
  // "Change Install Path": picks and remembers the product folder.
  void ChangeProductPath();
  // System command: 16..31 open the About box; everything else gets the default handling.
  void HandleSysCommand(unsigned id, intptr_t position);
  // Default painting, or the icon centred in the client area while minimised.
  void PaintDialog();
  IconHandle QueryDragIcon();

  PatchContext& Context() { return m_context; }
  platform::Disk& Disk() { return m_disk; }
  // The outcome of the install or removal the last click on "Apply Patch" ran; nullptr when that
  // click was refused (or none was made).
  const OperationOutcome* LastOutcome() const { return m_lastOutcome ? &*m_lastOutcome : nullptr; }

  // PatchView.
  void ShowStopMessage(const std::string& text, const std::string& caption) override;
  void RefreshControls() override;
  void ReadControls() override;
  void EnableApplyCheckbox(bool enable) override;
  std::optional<std::string> BrowseForFolder(const std::string& title) override;
  int PumpMessagesFor(unsigned timerId, unsigned milliseconds) override;
  void BeginBusy() override;
  void EndBusy() override;

protected:
  std::span<const EventEntry> GetEventTable() const override;
  void DoDataExchange(DataExchange& exchange) override;

private:
  void AddAboutItemAndIcons();
  void PutTickBack();

  CButton m_checkApplyPatch;
  PatchContext m_context;
  platform::Disk& m_disk;
  bool m_bOperationRunning = false;  // an install or removal is in progress
  std::optional<OperationOutcome> m_lastOutcome;
};
