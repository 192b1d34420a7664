// The desktop front end on Windows: the program's dialog from its resource
// template, message boxes, the file chooser and the wait cursor as Win32
// windows, for a person at a Windows desktop.
#pragma once
#include <utility>
#include <vector>

#include "frontend.h"

class Win32DialogWindow;

class Win32FrontEnd : public FrontEnd {
 public:
  Win32FrontEnd() = default;
  // Takes away a wait cursor still shown.
  ~Win32FrontEnd() override;
  Win32FrontEnd(const Win32FrontEnd&) = delete;
  Win32FrontEnd& operator=(const Win32FrontEnd&) = delete;

  int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
  // Runs dlg in the window made from the resource template of its id, owned
  // by the innermost dialog being run. A template missing from the
  // program's resources ends dlg as the close box does, with a line on the
  // standard error.
  void RunModal(CDialog& dlg) override;
  void ControlChanged(CDialog& dlg, int id) override;
  bool ChooseFile(const FileChooserRequest& request, std::string* path) override;
  void SetWaitCursor(bool on) override;
  // True: the viewer (Notepad) is started as a program of its own.
  bool OnDesktop() const override;

 private:
  // The window shown for the framework's window handle owner; null when
  // none is.
  HWND WindowOf(HWND owner) const;

  // The dialogs being run, innermost last.
  std::vector<std::pair<const CDialog*, Win32DialogWindow*>> shown_;
  int wait_depth_ = 0;
  HCURSOR before_wait_ = nullptr;  // the cursor the first wait replaced
};
