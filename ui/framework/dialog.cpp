#include "ui/framework/dialog.h"

#include "ui/framework/win_app.h"

void CControl::Enable(bool enable) {
  if (window_) window_->EnableControl(id_, enable);
}

void CButton::SetCheck(int state) {
  if (window_) window_->SetCheck(id_, state);
}

void DataExchange::Control(int id, CControl& control) {
  if (control.window_ != nullptr) return;
  control.window_ = &window_;
  control.id_ = id;
  if (attached_) attached_->push_back(&control);
}

void DataExchange::Text(int id, std::string& value) {
  if (saving_) {
    value = window_.GetControlText(id);
  } else {
    window_.SetControlText(id, value);
  }
}

void DataExchange::Check(int id, int32_t& value) {
  if (saving_) {
    value = window_.GetCheck(id);
    return;
  }
  if (value < 0 || value > 2) value = 0;
  window_.SetCheck(id, value);
}

CDialog::CDialog(const DialogTemplate& dialogTemplate, CDialog* parent)
    : template_(dialogTemplate), parent_(parent) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
  DialogWindow* owner = nullptr;
  if (parent_ != nullptr) {
    owner = parent_->window_;
  } else if (CWinApp* app = CWinApp::Current(); app && app->m_pMainWnd && app->m_pMainWnd != this) {
    owner = app->m_pMainWnd->window_;
  }
  return ActiveDialogBackend().RunModal(template_, *this, owner);
}

bool CDialog::UpdateData(bool save) {
  if (window_ == nullptr) return false;
  DataExchange exchange(*window_, save, &attached_);
  DoDataExchange(exchange);
  return true;
}

void CDialog::EndDialog(int result) {
  if (window_) window_->EndDialog(result);
}

int CDialog::ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) {
  return window_ ? window_->ShowMessageBox(text, caption, type) : kMessageBoxAnswerOk;
}

std::optional<std::string> CDialog::PickFolder(const std::string& title) {
  if (window_ == nullptr) return std::nullopt;
  return window_->BrowseForFolder(title);
}

int CDialog::PauseFor(unsigned timerId, unsigned milliseconds) {
  return window_ ? window_->PumpMessagesFor(timerId, milliseconds) : -1;
}

void CDialog::BeginWaitCursor() {
  if (window_) window_->BeginBusy();
}

void CDialog::EndWaitCursor() {
  if (window_) window_->EndBusy();
}

void CDialog::OnWindowCreated(DialogWindow& window) { window_ = &window; }

bool CDialog::InitializeDialog() {
  UpdateData(false);
  return true;
}

EventResult CDialog::OnEvent(const Event& event) {
  if (EventResult routed = RouteEvent(event); routed.handled) return routed;
  if (event.kind != EventKind::Command) return {};
  if (event.id == kIdOk && event.code == kNotifyClicked) {
    OnOK();
    return EventResult::Handled();
  }
  if (event.id == kIdCancel && event.code == kNotifyClicked) {
    OnCancel();
    return EventResult::Handled();
  }
  if (CWinApp* app = CWinApp::Current()) return app->RouteEvent(event);
  return {};
}

void CDialog::OnWindowDestroyed() {
  for (CControl* control : attached_) control->window_ = nullptr;
  attached_.clear();
  window_ = nullptr;
}

void CDialog::DoDataExchange(DataExchange&) {}

void CDialog::OnOK() {
  UpdateData(true);
  EndDialog(kIdOk);
}

void CDialog::OnCancel() { EndDialog(kIdCancel); }
