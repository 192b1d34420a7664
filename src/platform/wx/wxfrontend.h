// The desktop front end: the program's dialog and message boxes as real
// windows (wxWidgets), for a person at a graphical desktop.
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frontend.h"

class WxDialogWindow;
class WxTextViewer;
class WxProgressWindow;
class wxWindow;

class WxFrontEnd : public FrontEnd {
 public:
  // Requires the desktop toolkit to be running (see StartDesktop); stops it
  // when destroyed.
  WxFrontEnd();
  ~WxFrontEnd() override;
  WxFrontEnd(const WxFrontEnd&) = delete;
  WxFrontEnd& operator=(const WxFrontEnd&) = delete;

  int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override;
  void RunModal(CDialog& dlg) override;
  void ControlChanged(CDialog& dlg, int id) override;
  bool ChooseFile(const FileChooserRequest& request, std::string* path) override;
  void SetWaitCursor(bool on) override;
  bool OnDesktop() const override;
  // Shows the file in a window of its own (WxTextViewer) beside what follows;
  // the front end waits for the user to close it before it goes.
  bool ShowTextFile(const std::string& native_path) override;
  // The progress window, shown on the first call.
  bool ShowProgress(long done, long total, long rate) override;
  void EndProgress() override;

 private:
  // The window shown for the window handle owner; null when none is.
  wxWindow* OwnerWindow(HWND owner) const;

  // The dialogs being run, innermost last.
  std::vector<std::pair<const CDialog*, WxDialogWindow*>> shown_;
  int wait_depth_ = 0;
  // The text windows shown, owned until the front end goes.
  std::vector<std::unique_ptr<WxTextViewer>> viewers_;
  std::unique_ptr<WxProgressWindow> progress_;  // while an export shows its progress
};

// Starts the desktop toolkit for the process once. Returns false with a
// one-line reason (UTF-8) in *why when no display can be opened.
bool StartDesktop(std::string* why);
// Shuts the toolkit down again after the last front end is gone.
void StopDesktop();
