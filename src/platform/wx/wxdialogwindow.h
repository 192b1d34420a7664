// The desktop window of a framework dialog (winframe.h): built from the
// dialog's template with the template's font, it shows the dialog's state
// and reports what the user does back to the dialog.
#pragma once
#include <wx/dialog.h>

#include <map>
#include <set>
#include <string>

#include "winframe.h"

class WxDialogWindow : public wxDialog {
 public:
  // Builds the window of dlg (which must have a template), modal to parent
  // (null: none): the caption, the client area and every control placed in
  // dialog units converted with the template's font, in template order.
  WxDialogWindow(CDialog& dlg, wxWindow* parent);

  // Shows the window until dlg has ended.
  void RunUntilEnded();
  // Brings the window up to dlg's state: texts, enabled states, the focus,
  // and the edit selections that the program set since the last call.
  void ShowState();
  // The program changed control id while the window is shown.
  void ProgramChanged(int id);
  // The window of control id; null when the template has none.
  wxWindow* ControlWindow(int id) const;

 private:
  void CreateControls();
  void OnCharHook(wxKeyEvent& event);
  void OnButton(wxCommandEvent& event);
  void OnText(wxCommandEvent& event);
  void OnFocus(wxFocusEvent& event);
  void OnActivate(wxActivateEvent& event);
  void OnClose(wxCloseEvent& event);
  // Handles Alt+key as the dialog's mnemonics; true when one matched.
  bool Mnemonic(int key);
  // After the dialog handled user input: shows its state and closes the
  // window once the dialog has ended.
  void AfterInput();
  int FocusedControlId() const;

  CDialog& dlg_;
  std::map<int, wxWindow*> windows_;       // by control id
  std::map<int, std::string> shown_text_;  // UTF-8 text each control shows
  std::set<int> sel_pending_;  // edits whose selection the program set
  bool showing_ = false;    // inside ShowState: focus events are the program's
  bool activated_ = false;  // the window has had the focus once
};
