#include "win32dialogwindow.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "desktoptrace.h"
#include "edittext.h"
#include "screentext.h"
#include "win32/wide.h"

namespace {

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  int got = GetWindowTextW(window, buffer.data(), length + 1);
  return std::wstring(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

std::string ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return WideToUtf8(name);
}

// The framework's GetKeyState answers with what a front end reported; this
// loop is where the report comes from: the keyboard's own state.
#undef GetKeyState

// The modifiers held with the key message being dispatched.
unsigned HeldModifiers() {
  return (GetKeyState(VK_SHIFT) < 0 ? kModShift : 0u) | (GetKeyState(VK_CONTROL) < 0 ? kModCtrl : 0u) |
         (GetKeyState(VK_MENU) < 0 ? kModAlt : 0u);
}

// Puts window in the middle of the owner, or of the work area without one.
void Centre(HWND window, HWND owner) {
  RECT area;
  if (owner == nullptr || !GetWindowRect(owner, &area)) {
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) return;
  }
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  int x = area.left + ((area.right - area.left) - (r.right - r.left)) / 2;
  int y = area.top + ((area.bottom - area.top) - (r.bottom - r.top)) / 2;
  SetWindowPos(window, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Win32DialogWindow::Win32DialogWindow(CDialog& dlg, HWND owner) : dlg_(dlg), owner_(owner) {
  CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dlg.Template()->id), owner, DialogProc,
                     reinterpret_cast<LPARAM>(this));
}

Win32DialogWindow::~Win32DialogWindow() {
  // The owner takes the activation back when the dialog goes.
  if (owner_disabled_) EnableWindow(owner_, TRUE);
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

INT_PTR CALLBACK Win32DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Win32DialogWindow* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Win32DialogWindow*>(lparam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (self == nullptr) return FALSE;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    return FALSE;
  }
  return self->OnMessage(message, wparam, lparam);
}

INT_PTR Win32DialogWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      Centre(hwnd_, owner_);
      ShowState();
      TraceLayout();
      return FALSE;  // the focus is the dialog's, set by ShowState
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return TRUE;
    case WM_ACTIVATE:
      // A message box or the chooser took the activation: where the focus
      // is when the dialog has it back is traced anew.
      if (LOWORD(wparam) == WA_INACTIVE) traced_focus_ = -1;
      return FALSE;
    case WM_CLOSE:
      DesktopTrace("close box");
      if (!dlg_.IsEnded()) dlg_.UserClosed();
      AfterInput();
      return TRUE;
    default:
      return FALSE;
  }
}

void Win32DialogWindow::OnCommand(int id, int code, HWND control) {
  if (control == nullptr) {
    // The system menu's close and the dialog manager's cancel.
    if (id == IDCANCEL) {
      if (!dlg_.IsEnded()) dlg_.UserClosed();
      AfterInput();
    }
    return;
  }
  const ControlState* state = dlg_.Control(id);
  if (state == nullptr || dlg_.IsEnded()) return;
  if (state->tmpl->kind == ControlKind::kPushButton && code == BN_CLICKED) {
    dlg_.UserClicked(id);
    AfterInput();
  } else if (state->tmpl->kind == ControlKind::kEdit && code == EN_CHANGE) {
    OnEditChanged(id, control);
  }
}

void Win32DialogWindow::OnEditChanged(int id, HWND edit) {
  const ControlState* state = dlg_.Control(id);
  if (showing_ || state == nullptr) return;
  EditFit fit = FitEditText(WideToUtf8(shown_text_[id]), WideToUtf8(WindowText(edit)), state->limit);
  std::wstring kept = ScreenTextOfUtf8(fit.utf8);
  if (fit.changed) {
    showing_ = true;
    SetWindowTextW(edit, kept.c_str());
    SendMessageW(edit, EM_SETSEL, fit.caret, static_cast<LPARAM>(fit.caret));
    showing_ = false;
    MessageBeep(MB_OK);
    char line[64];
    std::snprintf(line, sizeof line, "edit %d kept %zu bytes", id, fit.cp932.size());
    DesktopTrace(line);
  }
  shown_text_[id] = kept;
  dlg_.UserTyped(id, fit.cp932);
}

bool Win32DialogWindow::KeyToDialog(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (hwnd_ == nullptr || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  int vk = static_cast<int>(msg.wParam);
  unsigned modifiers = HeldModifiers();
  int id = ControlId(msg.hwnd);
  // The dialog's own keys never reach the window; the others go on to it
  // once the dialog has seen them.
  bool dialog_key = vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_TAB || vk == VK_F12;
  if (dialog_key) {
    char line[48];
    std::snprintf(line, sizeof line, "key %d in %d mods %u", vk, id, modifiers);
    DesktopTrace(line);
  }
  dlg_.UserKeyDown(id, vk, modifiers);
  AfterInput();
  return dialog_key;
}

void Win32DialogWindow::RunUntilEnded() {
  if (hwnd_ == nullptr) return;
  if (owner_ != nullptr && IsWindowEnabled(owner_)) {
    EnableWindow(owner_, FALSE);
    owner_disabled_ = true;
  }
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  ShowState();
  NoteFocus();
  DesktopTrace("shown");
  MSG msg;
  while (!dlg_.IsEnded() && hwnd_ != nullptr) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // Whoever asked the program to quit still gets the message.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!KeyToDialog(msg) && (hwnd_ == nullptr || !IsDialogMessageW(hwnd_, &msg))) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (!dlg_.IsEnded()) NoteFocus();
  }
  if (!dlg_.IsEnded()) {
    DesktopTrace("window gone");
    dlg_.UserClosed();
  }
}

void Win32DialogWindow::ProgramChanged(int id) {
  sel_pending_.insert(id);
  if (!showing_) ShowState();
}

int Win32DialogWindow::ControlId(HWND control) const {
  while (control != nullptr && GetParent(control) != hwnd_) control = GetParent(control);
  if (control == nullptr) return 0;
  int id = GetDlgCtrlID(control);
  return dlg_.Control(id) != nullptr ? id : 0;
}

void Win32DialogWindow::AfterInput() {
  if (!dlg_.IsEnded()) ShowState();
}

void Win32DialogWindow::NoteFocus() {
  HWND focus = GetFocus();
  int id = focus != nullptr && hwnd_ != nullptr && IsChild(hwnd_, focus) ? ControlId(focus) : 0;
  if (id == traced_focus_) return;
  traced_focus_ = id;
  if (id == 0) return;
  char line[32];
  std::snprintf(line, sizeof line, "focus %d", id);
  DesktopTrace(line);
  if (!showing_ && id != dlg_.FocusId()) dlg_.UserFocused(id);
}

void Win32DialogWindow::ShowState() {
  if (hwnd_ == nullptr) return;
  showing_ = true;
  std::vector<int> edits;
  for (const ControlTemplate& c : dlg_.Template()->controls) {
    const ControlState* state = c.id > 0 ? dlg_.Control(c.id) : nullptr;
    HWND window = c.id > 0 ? GetDlgItem(hwnd_, c.id) : nullptr;
    if (state == nullptr || window == nullptr) continue;
    if ((IsWindowEnabled(window) != FALSE) != state->enabled) EnableWindow(window, state->enabled ? TRUE : FALSE);
    std::wstring text = ScreenText(state->text);
    bool text_changed = shown_text_.count(c.id) == 0 || shown_text_[c.id] != text;
    if (text_changed) {
      shown_text_[c.id] = text;
      SetWindowTextW(window, text.c_str());
    }
    if (c.kind != ControlKind::kEdit) continue;
    if (shown_limit_.count(c.id) == 0 || shown_limit_[c.id] != state->limit) {
      shown_limit_[c.id] = state->limit;
      SendMessageW(window, EM_LIMITTEXT, state->limit, 0);
    }
    if (text_changed || sel_pending_.count(c.id) != 0) edits.push_back(c.id);
  }
  sel_pending_.clear();
  HWND focus = dlg_.FocusId() != 0 ? GetDlgItem(hwnd_, dlg_.FocusId()) : nullptr;
  if (focus != nullptr && GetFocus() != focus) {
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
  }
  // The program's selection, after the focus: the dialog manager selects
  // the whole text of an edit that it gives the focus to.
  for (int id : edits) {
    const ControlState* state = dlg_.Control(id);
    HWND edit = GetDlgItem(hwnd_, id);
    size_t from = Cp932CharCount(state->text, static_cast<size_t>(state->sel_start));
    size_t to = Cp932CharCount(state->text, static_cast<size_t>(state->sel_end));
    SendMessageW(edit, EM_SETSEL, from, static_cast<LPARAM>(to));
    if (state->caret_scrolled) SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    char line[64];
    std::snprintf(line, sizeof line, "select %d %zu-%zu", id, from, to);
    DesktopTrace(line);
  }
  showing_ = false;
}

void Win32DialogWindow::TraceLayout() const {
  if (!DesktopTraceOn()) return;
  RECT units = {0, 0, 4, 8};
  MapDialogRect(hwnd_, &units);
  RECT client = {};
  GetClientRect(hwnd_, &client);
  LOGFONTW font = {};
  HFONT handle = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  if (handle != nullptr) GetObjectW(handle, sizeof font, &font);
  int points = 0;
  if (HDC dc = GetDC(hwnd_)) {
    points = MulDiv(std::abs(font.lfHeight), 72, GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(hwnd_, dc);
  }
  char line[200];
  std::snprintf(line, sizeof line, " points=%d charset=%d units=%ld,%ld client=%ld,%ld style=0x%08lx", points,
                font.lfCharSet, units.right, units.bottom, client.right, client.bottom,
                static_cast<unsigned long>(GetWindowLongW(hwnd_, GWL_STYLE)));
  DesktopTrace("dialog face=" + WideToUtf8(font.lfFaceName) + line);
  DesktopTrace("caption " + WideToUtf8(WindowText(hwnd_)));
  for (HWND child = GetWindow(hwnd_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    std::snprintf(line, sizeof line, "control %d class=%s style=0x%08lx exstyle=0x%08lx rect=%ld,%ld,%ld,%ld text=",
                  GetDlgCtrlID(child), ClassName(child).c_str(),
                  static_cast<unsigned long>(GetWindowLongW(child, GWL_STYLE)),
                  static_cast<unsigned long>(GetWindowLongW(child, GWL_EXSTYLE)), r.left, r.top,
                  r.right - r.left, r.bottom - r.top);
    DesktopTrace(line + WideToUtf8(WindowText(child)));
  }
}
