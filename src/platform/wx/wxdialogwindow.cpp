#include "wxdialogwindow.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <cstdio>

#include "wxdialogfont.h"
#include "edittext.h"
#include "wxscreentext.h"
#include "desktoptrace.h"

namespace {

// The virtual-key code of a key event's key; 0 for keys the dialog ignores.
int VirtualKey(int key) {
  if (key >= 'A' && key <= 'Z') return key;
  if (key >= 'a' && key <= 'z') return key - 'a' + 'A';
  if (key >= '0' && key <= '9') return key;
  if (key >= WXK_F1 && key <= WXK_F24) return 0x70 + (key - WXK_F1);
  switch (key) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: return VK_RETURN;
    case WXK_ESCAPE: return VK_ESCAPE;
    case WXK_TAB: return VK_TAB;
    case WXK_SHIFT: return VK_SHIFT;
    case WXK_CONTROL: return VK_CONTROL;
    case WXK_ALT: return VK_MENU;
    case WXK_SPACE: return 0x20;
    case WXK_BACK: return 0x08;
    case WXK_DELETE: return 0x2E;
    case WXK_LEFT: return 0x25;
    case WXK_UP: return 0x26;
    case WXK_RIGHT: return 0x27;
    case WXK_DOWN: return 0x28;
    case WXK_HOME: return 0x24;
    case WXK_END: return 0x23;
    default: return 0;
  }
}

// The key, upper-cased, that follows the '&' of a control text; 0 when none.
int MnemonicKey(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    char c = text[i + 1];
    if (c == '&') {
      ++i;
      continue;
    }
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return 0;
  }
  return 0;
}

}  // namespace

WxDialogWindow::WxDialogWindow(CDialog& dlg, wxWindow* parent) : dlg_(dlg) {
  const DialogTemplate& tmpl = *dlg.Template();
  Create(parent, wxID_ANY, ScreenText(tmpl.caption ? tmpl.caption : ""), wxDefaultPosition,
         wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);
  // Dialog units are measured in the dialog's own font: set it first.
  SetFont(DialogFont(tmpl.font ? tmpl.font : "", tmpl.point_size));
  SetClientSize(ConvertDialogToPixels(wxSize(tmpl.cx, tmpl.cy)));
  CreateControls();
  Bind(wxEVT_ACTIVATE, &WxDialogWindow::OnActivate, this);
  Bind(wxEVT_CHAR_HOOK, &WxDialogWindow::OnCharHook, this);
  Bind(wxEVT_BUTTON, &WxDialogWindow::OnButton, this);
  Bind(wxEVT_TEXT, &WxDialogWindow::OnText, this);
  Bind(wxEVT_CLOSE_WINDOW, &WxDialogWindow::OnClose, this);
  Centre();
  if (DesktopTraceOn()) {
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    wxSize alphabet = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    wxSize client = GetClientSize();
    char line[160];
    std::snprintf(line, sizeof line, " points=%d alphabet=%d,%d client=%d,%d",
                  GetFont().GetPointSize(), alphabet.x, alphabet.y, client.x, client.y);
    DesktopTrace("dialog face=" + Utf8Of(GetFont().GetFaceName()) + line);
    for (const auto& [id, window] : windows_) {
      wxRect r = window->GetRect();
      std::snprintf(line, sizeof line, "control %d %d,%d,%d,%d", id, r.x, r.y, r.width, r.height);
      DesktopTrace(line);
    }
  }
}

void WxDialogWindow::CreateControls() {
  wxWindow* last_focusable = nullptr;
  for (const ControlTemplate& c : dlg_.Template()->controls) {
    wxPoint pos = ConvertDialogToPixels(wxPoint(c.x, c.y));
    wxSize size = ConvertDialogToPixels(wxSize(c.cx, c.cy));
    wxWindowID id = c.id >= 0 ? c.id : wxID_ANY;
    const ControlState* state = c.id >= 0 ? dlg_.Control(c.id) : nullptr;
    std::string cp932 = state != nullptr ? state->text : (c.text ? c.text : "");
    wxString text = ScreenText(cp932);
    wxWindow* window = nullptr;
    switch (c.kind) {
      case ControlKind::kStatic: {
        long style = wxST_NO_AUTORESIZE | ((c.style & kStyleRight) ? wxALIGN_RIGHT : wxALIGN_LEFT);
        auto* label = new wxStaticText(this, id, wxString(), pos, size, style);
        label->SetLabelText(text);  // shown as it stands, '&' included
        window = label;
        break;
      }
      case ControlKind::kGroupBox:
        window = new wxStaticBox(this, id, text, pos, size);
        break;
      case ControlKind::kEdit:
        window = new wxTextCtrl(this, id, text, pos, size, wxTE_LEFT);
        break;
      case ControlKind::kPushButton:
        window = new wxButton(this, id, text, pos, size);
        break;
    }
    if (c.kind == ControlKind::kEdit || c.kind == ControlKind::kPushButton) {
      window->Bind(wxEVT_SET_FOCUS, &WxDialogWindow::OnFocus, this);
      // The toolkit's own focus order (its first focus, too) is the
      // template's, not the controls' places on the screen.
      if (last_focusable != nullptr) window->MoveAfterInTabOrder(last_focusable);
      last_focusable = window;
    }
    if (c.id >= 0) {
      windows_[c.id] = window;
      shown_text_[c.id] = Utf8Of(text);
    }
  }
}

wxWindow* WxDialogWindow::ControlWindow(int id) const {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : it->second;
}

void WxDialogWindow::RunUntilEnded() {
  CallAfter([this] { ShowState(); });
  ShowModal();
  if (!dlg_.IsEnded()) dlg_.UserClosed();
}

void WxDialogWindow::ShowState() {
  showing_ = true;
  for (const ControlTemplate& c : dlg_.Template()->controls) {
    const ControlState* state = c.id >= 0 ? dlg_.Control(c.id) : nullptr;
    wxWindow* window = ControlWindow(c.id);
    if (state == nullptr || window == nullptr) continue;
    if (window->IsEnabled() != state->enabled) window->Enable(state->enabled);
    wxString text = ScreenText(state->text);
    std::string utf8 = Utf8Of(text);
    bool text_changed = shown_text_[c.id] != utf8;
    if (text_changed) {
      shown_text_[c.id] = utf8;
      if (auto* edit = dynamic_cast<wxTextCtrl*>(window)) {
        edit->ChangeValue(text);
      } else if (auto* label = dynamic_cast<wxStaticText*>(window)) {
        label->SetLabelText(text);
      } else {
        window->SetLabel(text);
      }
    }
    auto* edit = dynamic_cast<wxTextCtrl*>(window);
    if (edit != nullptr && (text_changed || sel_pending_.count(c.id))) {
      long from = static_cast<long>(Cp932CharCount(state->text, static_cast<size_t>(state->sel_start)));
      long to = static_cast<long>(Cp932CharCount(state->text, static_cast<size_t>(state->sel_end)));
      edit->SetSelection(from, to);
      if (state->caret_scrolled) edit->ShowPosition(to);
      char line[64];
      std::snprintf(line, sizeof line, "select %d %ld-%ld", c.id, from, to);
      DesktopTrace(line);
    }
  }
  sel_pending_.clear();
  wxWindow* focus = ControlWindow(dlg_.FocusId());
  if (focus != nullptr && focus != wxWindow::FindFocus()) focus->SetFocus();
  showing_ = false;
}

void WxDialogWindow::ProgramChanged(int id) {
  sel_pending_.insert(id);
  if (!showing_) ShowState();
}

int WxDialogWindow::FocusedControlId() const {
  wxWindow* focus = wxWindow::FindFocus();
  for (const auto& [id, window] : windows_) {
    if (window == focus) return id;
  }
  return 0;
}

void WxDialogWindow::AfterInput() {
  if (dlg_.IsEnded()) {
    if (IsModal()) EndModal(dlg_.EndCode());
    return;
  }
  ShowState();
}

void WxDialogWindow::OnCharHook(wxKeyEvent& event) {
  int key = event.GetKeyCode();
  unsigned modifiers = (event.ShiftDown() ? kModShift : 0u) | (event.RawControlDown() ? kModCtrl : 0u) |
                       (event.AltDown() ? kModAlt : 0u);
  if ((modifiers & kModAlt) && !(modifiers & kModCtrl) && Mnemonic(key)) {
    AfterInput();
    return;
  }
  int vk = VirtualKey(key);
  if (vk == 0) {
    event.Skip();
    return;
  }
  // The dialog's own keys never reach the widgets; the others go on to them
  // once the dialog has seen them.
  bool dialog_key = vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_TAB || vk == VK_F12;
  if (dialog_key) {
    char line[48];
    std::snprintf(line, sizeof line, "key %d in %d mods %u", vk, FocusedControlId(), modifiers);
    DesktopTrace(line);
  }
  dlg_.UserKeyDown(FocusedControlId(), vk, modifiers);
  if (!dialog_key) event.Skip();
  AfterInput();
}

bool WxDialogWindow::Mnemonic(int key) {
  int wanted = VirtualKey(key);
  if (wanted == 0) return false;
  const auto& controls = dlg_.Template()->controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    const ControlState* state = controls[i].id >= 0 ? dlg_.Control(controls[i].id) : nullptr;
    std::string text = state != nullptr ? state->text : (controls[i].text ? controls[i].text : "");
    if (MnemonicKey(text) != wanted) continue;
    if (controls[i].kind == ControlKind::kPushButton) {
      if (state == nullptr || !state->enabled) return true;
      dlg_.UserClicked(controls[i].id);
      return true;
    }
    // A label or group box gives the focus to the next tab stop after it.
    for (size_t j = i + 1; j < controls.size(); ++j) {
      const ControlState* next = controls[j].id >= 0 ? dlg_.Control(controls[j].id) : nullptr;
      if ((controls[j].style & kStyleTabStop) && next != nullptr && next->enabled) {
        dlg_.UserFocused(controls[j].id);
        return true;
      }
    }
    return true;
  }
  return false;
}

void WxDialogWindow::OnButton(wxCommandEvent& event) {
  if (ControlWindow(event.GetId()) == nullptr) return;
  dlg_.UserClicked(event.GetId());
  AfterInput();
}

void WxDialogWindow::OnText(wxCommandEvent& event) {
  auto* edit = dynamic_cast<wxTextCtrl*>(ControlWindow(event.GetId()));
  const ControlState* state = dlg_.Control(event.GetId());
  if (edit == nullptr || state == nullptr) return;
  EditFit fit = FitEditText(shown_text_[event.GetId()], Utf8Of(edit->GetValue()), state->limit);
  if (fit.changed) {
    edit->ChangeValue(wxString::FromUTF8(fit.utf8));
    edit->SetInsertionPoint(static_cast<long>(fit.caret));
    wxBell();
    char line[64];
    std::snprintf(line, sizeof line, "edit %d kept %zu bytes", event.GetId(), fit.cp932.size());
    DesktopTrace(line);
  }
  shown_text_[event.GetId()] = fit.utf8;
  dlg_.UserTyped(event.GetId(), fit.cp932);
  // The program's own reaction, if any, shows at the next input.
  if (dlg_.IsEnded()) AfterInput();
}

void WxDialogWindow::OnActivate(wxActivateEvent& event) {
  event.Skip();
  if (!event.GetActive() || dlg_.IsEnded()) return;
  // Whatever the toolkit focused on the way, the dialog's focus holds.
  CallAfter([this] {
    if (dlg_.IsEnded()) return;
    ShowState();
    if (!activated_) DesktopTrace("shown");
    activated_ = true;
  });
}

void WxDialogWindow::OnFocus(wxFocusEvent& event) {
  event.Skip();
  int id = event.GetId();
  char line[32];
  std::snprintf(line, sizeof line, "focus %d", id);
  DesktopTrace(line);
  if (showing_ || !activated_ || id == dlg_.FocusId()) return;
  dlg_.UserFocused(id);
}

void WxDialogWindow::OnClose(wxCloseEvent& event) {
  DesktopTrace("close box");
  if (!dlg_.IsEnded()) dlg_.UserClosed();
  if (dlg_.IsEnded()) {
    if (IsModal()) EndModal(dlg_.EndCode());
    return;
  }
  if (event.CanVeto()) event.Veto();
  ShowState();
}
