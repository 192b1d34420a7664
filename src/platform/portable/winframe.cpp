#include "winframe.h"

#include <cstring>
#include <set>

#include "mbcs.h"
#include "messagebox.h"

namespace {

std::set<const CWnd*>& LiveWindows() {
  static std::set<const CWnd*> live;
  return live;
}

HWND HandleOf(CWnd* wnd) { return reinterpret_cast<HWND>(wnd); }

// Modifier keys held with the key-down being dispatched.
unsigned g_modifiers = 0;

}  // namespace

SHORT GetKeyState(int vk) {
  unsigned bit = 0;
  if (vk == VK_SHIFT) bit = kModShift;
  if (vk == VK_CONTROL) bit = kModCtrl;
  if (vk == VK_MENU) bit = kModAlt;
  return (g_modifiers & bit) != 0 ? static_cast<SHORT>(-32768) : 0;
}

// ---- CWnd ----

CWnd::CWnd() = default;

CWnd::~CWnd() { LiveWindows().erase(this); }

BOOL CWnd::IsWindowEnabled() const {
  if (dialog_ == nullptr || m_hWnd == nullptr) return FALSE;
  if (id_ == 0) return TRUE;
  const ControlState* c = dialog_->Control(id_);
  return c != nullptr && c->enabled ? TRUE : FALSE;
}

BOOL CWnd::EnableWindow(BOOL enable) {
  if (dialog_ == nullptr || id_ == 0) return FALSE;
  auto it = dialog_->controls_.find(id_);
  if (it == dialog_->controls_.end()) return FALSE;
  BOOL was_disabled = it->second.enabled ? FALSE : TRUE;
  it->second.enabled = enable != FALSE;
  if (!it->second.enabled && dialog_->focus_id_ == id_) dialog_->focus_id_ = 0;
  dialog_->Notify(id_);
  return was_disabled;
}

CWnd* CWnd::SetFocus() {
  if (dialog_ == nullptr || m_hWnd == nullptr) return nullptr;
  int old = dialog_->focus_id_;
  CWnd* previous = old != 0 ? dialog_->Window(old) : nullptr;
  if (id_ != 0) {
    dialog_->focus_id_ = id_;
    if (old != 0 && old != id_) dialog_->Notify(old);
    dialog_->Notify(id_);
  }
  return previous;
}

void CWnd::SetWindowText(const char* text) {
  if (dialog_ == nullptr || id_ == 0) return;
  auto it = dialog_->controls_.find(id_);
  if (it == dialog_->controls_.end()) return;
  it->second.text = text ? text : "";
  it->second.sel_start = it->second.sel_end = 0;
  it->second.caret_scrolled = false;
  dialog_->Notify(id_);
}

void CWnd::GetWindowText(CString& text) const {
  const ControlState* c = dialog_ != nullptr && id_ != 0 ? dialog_->Control(id_) : nullptr;
  text = c != nullptr ? c->text.c_str() : "";
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (dialog_ == nullptr || id_ == 0) return 0;
  auto it = dialog_->controls_.find(id_);
  if (it == dialog_->controls_.end()) return 0;
  ControlState& c = it->second;
  int length = static_cast<int>(c.text.size());
  switch (msg) {
    case EM_LIMITTEXT:
      c.limit = static_cast<UINT>(wParam);
      break;
    case EM_SETSEL: {
      long long start = static_cast<long long>(static_cast<intptr_t>(wParam));
      long long end = lParam;
      if (start < 0) {
        // A negative start removes the selection, leaving the caret.
        c.sel_start = c.sel_end;
      } else {
        if (end < 0 || end > length) end = length;
        if (start > length) start = length;
        c.sel_start = static_cast<int>(start < end ? start : end);
        c.sel_end = static_cast<int>(start < end ? end : start);
      }
      c.caret_scrolled = false;
      break;
    }
    case EM_SCROLLCARET:
      c.caret_scrolled = true;
      break;
    default:
      return 0;
  }
  dialog_->Notify(id_);
  return 0;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  CWnd* wnd = reinterpret_cast<CWnd*>(hwnd);
  return hwnd != nullptr && LiveWindows().count(wnd) != 0 ? wnd : nullptr;
}

// ---- data exchange ----

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  CDialog* dlg = dx->m_pDlgWnd;
  if (control.m_hWnd != nullptr || dlg->controls_.count(id) == 0) return;
  control.dialog_ = dlg;
  control.id_ = id;
  control.m_hWnd = HandleOf(&control);
  LiveWindows().insert(&control);
  dlg->bound_[id] = &control;
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  CWnd* wnd = dx->m_pDlgWnd->GetDlgItem(id);
  if (wnd == nullptr) return;
  if (dx->m_bSaveAndValidate) {
    wnd->GetWindowText(value);
  } else {
    wnd->SetWindowText(value);
  }
}

// ---- dialog templates ----

namespace {
std::set<const DialogTemplate*>& Templates() {
  static std::set<const DialogTemplate*> templates;
  return templates;
}
}  // namespace

void RegisterDialogTemplate(const DialogTemplate* tmpl) {
  if (tmpl != nullptr) Templates().insert(tmpl);
}

// ---- CDialog ----

CDialog::CDialog(UINT template_id, CWnd*) : template_id_(template_id) { dialog_ = this; }

CDialog::~CDialog() {
  for (auto& [id, wnd] : own_) delete wnd;
}

CWnd* CDialog::Window(int id) {
  auto b = bound_.find(id);
  if (b != bound_.end()) return b->second;
  auto o = own_.find(id);
  return o != own_.end() ? o->second : nullptr;
}

CWnd* CDialog::GetDlgItem(int id) const { return const_cast<CDialog*>(this)->Window(id); }

const ControlState* CDialog::Control(int id) const {
  auto it = controls_.find(id);
  return it != controls_.end() ? &it->second : nullptr;
}

void CDialog::Notify(int id) {
  FrontEnd* fe = CurrentFrontEnd();
  if (running_ && fe != nullptr) fe->ControlChanged(*this, id);
}

INT_PTR CDialog::DoModal() {
  tmpl_ = nullptr;
  for (const DialogTemplate* t : Templates()) {
    if (t->id == template_id_) tmpl_ = t;
  }
  FrontEnd* fe = CurrentFrontEnd();
  if (tmpl_ == nullptr || fe == nullptr) return -1;

  controls_.clear();
  for (auto& [id, wnd] : own_) delete wnd;
  own_.clear();
  bound_.clear();
  for (const ControlTemplate& ct : tmpl_->controls) {
    if (ct.id <= 0) continue;
    ControlState& state = controls_[ct.id];
    state.tmpl = &ct;
    state.text = ct.text ? ct.text : "";
    CWnd* wnd = new CWnd;
    wnd->dialog_ = this;
    wnd->id_ = ct.id;
    wnd->m_hWnd = HandleOf(wnd);
    LiveWindows().insert(wnd);
    own_[ct.id] = wnd;
  }
  m_hWnd = HandleOf(this);
  LiveWindows().insert(this);
  ended_ = false;
  end_code_ = 0;
  focus_id_ = 0;

  OnInitDialog();
  if (!ended_) {
    running_ = true;
    fe->RunModal(*this);
    // A front end that gave up without ending the dialog cancels it.
    if (!ended_) UserClosed();
    running_ = false;
  }

  for (auto& [id, wnd] : bound_) {
    LiveWindows().erase(wnd);
    wnd->m_hWnd = nullptr;
    wnd->dialog_ = nullptr;
    wnd->id_ = 0;
  }
  bound_.clear();
  LiveWindows().erase(this);
  m_hWnd = nullptr;
  return end_code_;
}

void CDialog::EndDialog(int result) {
  ended_ = true;
  end_code_ = result;
}

BOOL CDialog::UpdateData(BOOL save_and_validate) {
  CDataExchange dx(this, save_and_validate);
  DoDataExchange(&dx);
  return TRUE;
}

void CDialog::GotoDlgCtrl(CWnd* control) {
  if (control != nullptr) control->SetFocus();
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  for (const ControlTemplate& ct : tmpl_->controls) {
    if (ct.id > 0 && (ct.style & kStyleTabStop) != 0 && controls_[ct.id].enabled) {
      focus_id_ = ct.id;
      break;
    }
  }
  return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG*) { return FALSE; }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(int) { return FALSE; }

bool CDialog::UserTyped(int id, const std::string& text) {
  auto it = controls_.find(id);
  if (ended_ || it == controls_.end() || it->second.tmpl->kind != ControlKind::kEdit) return true;
  ControlState& c = it->second;
  size_t keep = c.limit != 0 ? MbcsCutLength(text.data(), text.size(), c.limit) : text.size();
  c.text.assign(text, 0, keep);
  c.sel_start = c.sel_end = static_cast<int>(c.text.size());
  c.caret_scrolled = false;
  if (keep != text.size()) Notify(id);
  return keep == text.size();
}

void CDialog::UserFocused(int id) {
  auto it = controls_.find(id);
  if (ended_ || it == controls_.end() || !it->second.enabled) return;
  focus_id_ = id;
}

void CDialog::UserKeyDown(int id, int vk, unsigned modifiers) {
  if (ended_) return;
  if (id == 0) id = focus_id_;
  CWnd* wnd = id != 0 ? Window(id) : this;
  if (wnd == nullptr) return;
  MSG msg = {wnd->GetSafeHwnd(), WM_KEYDOWN, static_cast<WPARAM>(vk), 0};
  g_modifiers = modifiers;
  if (!PreTranslateMessage(&msg)) DefaultKeyDown(msg, id);
  g_modifiers = 0;
}

void CDialog::DefaultKeyDown(const MSG& msg, int id) {
  const ControlState* c = Control(id);
  switch (msg.wParam) {
    case VK_ESCAPE:
      OnCancel();
      break;
    case VK_RETURN:
      // Enter clicks the push button that has the focus; there is no default
      // button, so elsewhere it does nothing.
      if (c != nullptr && c->tmpl->kind == ControlKind::kPushButton && c->enabled) UserClicked(id);
      break;
    case VK_TAB: {
      std::vector<int> stops;
      for (const ControlTemplate& ct : tmpl_->controls) {
        if (ct.id > 0 && (ct.style & kStyleTabStop) != 0 && controls_[ct.id].enabled) {
          stops.push_back(ct.id);
        }
      }
      if (stops.empty()) break;
      size_t at = 0;
      while (at < stops.size() && stops[at] != focus_id_) ++at;
      bool back = (g_modifiers & kModShift) != 0;
      size_t next = at == stops.size() ? 0
                    : back             ? (at + stops.size() - 1) % stops.size()
                                       : (at + 1) % stops.size();
      GotoDlgCtrl(Window(stops[next]));
      break;
    }
    default:
      break;
  }
}

void CDialog::UserClicked(int id) {
  const ControlState* c = Control(id);
  if (ended_ || c == nullptr || !c->enabled) return;
  if (!OnCommand(id) && id == IDCANCEL) OnCancel();
}

void CDialog::UserClosed() {
  if (!ended_) OnCancel();
}

// ---- CWinApp ----

CWinApp::CWinApp(const char*) {}

CWinApp::~CWinApp() = default;

BOOL CWinApp::InitInstance() { return FALSE; }

int CWinApp::ExitInstance() { return 0; }

int RunWinApp(CWinApp& app) {
  app.InitInstance();
  return app.ExitInstance();
}
