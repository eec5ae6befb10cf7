#pragma once
// The About box (template 100): no routing of its own; OK, Escape and Close end it.
#include "ui/framework/dialog.h"

class CAboutDlg : public CDialog {
public:
  explicit CAboutDlg(CDialog* parent = nullptr);
  ~CAboutDlg() override;

protected:
  std::span<const EventEntry> GetEventTable() const override;
  void DoDataExchange(DataExchange& exchange) override;
};
