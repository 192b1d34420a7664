// The Win32 window of a framework dialog (winframe.h): made from the dialog
// template of the same id among the program's resources, it shows the
// dialog's state and reports what the user does back to the dialog. Its own
// message loop gives every key to the dialog (PreTranslateMessage) before
// the window sees it, as the framework's loop does.
#pragma once
#include <windows.h>

#include <map>
#include <set>
#include <string>

#include "winframe.h"

class Win32DialogWindow {
 public:
  // Creates the window of dlg (which must have a template) from resource
  // template dlg.Template()->id, owned by owner (null: none), still hidden.
  Win32DialogWindow(CDialog& dlg, HWND owner);
  // Destroys the window; the owner is enabled again first.
  ~Win32DialogWindow();
  Win32DialogWindow(const Win32DialogWindow&) = delete;
  Win32DialogWindow& operator=(const Win32DialogWindow&) = delete;

  // The window; null when the template could not be made into one.
  HWND Handle() const { return hwnd_; }
  // Shows the window, disables the owner and runs the message loop until
  // dlg has ended. A window that goes or a quit message ends the dialog as
  // the close box does.
  void RunUntilEnded();
  // The program changed control id while the window is shown.
  void ProgramChanged(int id);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Gives a key-down for the dialog or one of its controls to the dialog;
  // true when the window must not see it (the dialog's own keys).
  bool KeyToDialog(const MSG& msg);
  void OnCommand(int id, int code, HWND control);
  void OnEditChanged(int id, HWND edit);
  // Brings the window up to dlg's state: texts, enabled states, limits,
  // the focus, and the edit selections that the program set.
  void ShowState();
  // Tells dlg (and the trace) where the user moved the focus.
  void NoteFocus();
  // After the dialog handled user input: shows its state unless it ended.
  void AfterInput();
  // The id of control among the dialog's controls; 0 when none.
  int ControlId(HWND control) const;
  void TraceLayout() const;

  CDialog& dlg_;
  HWND owner_;
  HWND hwnd_ = nullptr;
  bool owner_disabled_ = false;  // this window disabled the owner
  std::map<int, std::wstring> shown_text_;  // what each control shows
  std::map<int, UINT> shown_limit_;        // EM_LIMITTEXT given to edits
  std::set<int> sel_pending_;  // edits whose selection the program set
  bool showing_ = false;       // inside ShowState: changes are the program's
  int traced_focus_ = -1;      // the control last traced as focused
};
