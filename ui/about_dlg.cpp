#include "ui/about_dlg.h"

#include "ui/dialog_templates.h"

CAboutDlg::CAboutDlg(CDialog* parent) : CDialog(AboutDialogTemplate(), parent) {}

CAboutDlg::~CAboutDlg() = default;

std::span<const EventEntry> CAboutDlg::GetEventTable() const { return {}; }

void CAboutDlg::DoDataExchange(DataExchange&) {}
