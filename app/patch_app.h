#pragma once
// The application object: its start-up runs the main dialog modally and then ends the program.
#include "platform/file_layers/disk_interface.h"
#include "ui/framework/win_app.h"

class CPatchApp : public CWinApp {
public:
  // The dialog reaches every file through `disk`: the host's, or a plan's for commands that must
  // change nothing.
  explicit CPatchApp(platform::Disk& disk = platform::HostDisk());
  ~CPatchApp() override;

  // Platform set-up, then the main dialog as the main window, run modally; returns false (no
  // message loop afterwards: the program ends).
  bool StartApplication() override;

protected:
  // Routes the standard Help command to the framework's help handler.
  std::span<const EventEntry> GetEventTable() const override;

private:
  platform::Disk& m_disk;
};
